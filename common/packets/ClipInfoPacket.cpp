#include "common/packets/ClipInfoPacket.h"

#include "common/packets/PacketMagic.h"

namespace kvx {

void ClipInfoPacket::clipInfo::encodeInto(uchar* out) const
{
    wire::Writer w(out, Size);
    w.u32(0, cameraSerial);
    w.u32(4, unnamed4);
    w.u64(8, totalFrames);
    w.u64(16, clipUid);
    w.u32(24, frameBytes);
    w.f32(28, fps);
    w.u32(32, flags);
    w.u16(36, lineBytes);
    w.u16(38, lineCount);
    w.u16(40, width);
    w.u16(42, height);
    w.u16(44, clipNumber);
    w.u16(46, clipVersion);
}

ClipInfoPacket::clipInfo ClipInfoPacket::clipInfo::decodeFrom(const uchar* in)
{
    const wire::Reader r(in, Size);
    clipInfo c;
    c.cameraSerial = r.u32(0);
    c.unnamed4 = r.u32(4);
    c.totalFrames = r.u64(8);
    c.clipUid = r.u64(16);
    c.frameBytes = r.u32(24);
    c.fps = r.f32(28);
    c.flags = r.u32(32);
    c.lineBytes = r.u16(36);
    c.lineCount = r.u16(38);
    c.width = r.u16(40);
    c.height = r.u16(42);
    c.clipNumber = r.u16(44);
    c.clipVersion = r.u16(46);
    return c;
}

QByteArray ClipInfoPacket::encode() const
{
    QByteArray out = wire::zeroed(HeadSize + clipInfo::Size * entries.size());
    wire::Writer w(out);
    w.u32(0, magic::ClipInfo);
    w.u16(4, unnamed4);
    w.u16(6, listId);
    w.u16(8, totalClips);
    w.u16(10, quint16(entries.size()));
    w.u16(12, listTag);
    w.u16(14, unnamed14);
    auto* p = reinterpret_cast<uchar*>(out.data()) + HeadSize;
    for (const clipInfo& c : entries) {
        c.encodeInto(p);
        p += clipInfo::Size;
    }
    return out;
}

std::optional<ClipInfoPacket::Head> ClipInfoPacket::decodeHead(QByteArrayView datagram)
{
    const wire::Reader r(datagram);
    if (r.size() < HeadSize || r.u32(0) != magic::ClipInfo) {
        logRejected("ClipInfoPacket", r.size(), HeadSize);
        return std::nullopt;
    }
    return Head{r.u16(6), r.u16(8), r.u16(10), r.u16(12)};
}

std::optional<ClipInfoPacket> ClipInfoPacket::decode(QByteArrayView datagram)
{
    const auto head = decodeHead(datagram);
    if (!head)
        return std::nullopt;
    const qsizetype needed = HeadSize + clipInfo::Size * qsizetype(head->clipCount);
    if (datagram.size() < needed) {
        logRejected("ClipInfoPacket entries", datagram.size(), needed);
        return std::nullopt;
    }
    const wire::Reader r(datagram);
    ClipInfoPacket p;
    p.unnamed4 = r.u16(4);
    p.listId = head->listId;
    p.totalClips = head->totalClips;
    p.listTag = head->listTag;
    p.unnamed14 = r.u16(14);
    p.entries.reserve(head->clipCount);
    const auto* in = reinterpret_cast<const uchar*>(datagram.data()) + HeadSize;
    for (int i = 0; i < head->clipCount; ++i, in += clipInfo::Size)
        p.entries.append(clipInfo::decodeFrom(in));
    return p;
}

} // namespace kvx

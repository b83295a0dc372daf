#include "common/packets/StatusPacket.h"

#include "common/packets/PacketMagic.h"

QByteArray StatusPacket::encode() const
{
    QByteArray out = kvx::wire::zeroed(Size);
    kvx::wire::Writer w(out);
    w.u32(0, kvx::magic::Status);
    w.bytes(4, unnamed4.data(), qsizetype(unnamed4.size()));
    w.u64(16, playbackPosition);
    w.u64(24, clipFrames);
    w.bytes(32, unnamed32.data(), qsizetype(unnamed32.size()));
    w.u64(48, stateFlags);
    w.put(56, frameRate);
    w.put(64, shutterTime);
    w.u64(72, diskCapacity);
    w.u64(80, diskFree);
    w.u8(88, genlockFormat);
    w.u8(89, sdiFormat);
    w.bytes(90, unnamed90.data(), qsizetype(unnamed90.size()));
    w.put(96, selectedClip);
    w.bytes(100, unnamed100.data(), qsizetype(unnamed100.size()));
    return out;
}

std::optional<StatusPacket> StatusPacket::decode(QByteArrayView datagram)
{
    const kvx::wire::Reader r(datagram);
    if (r.size() < Size || r.u32(0) != kvx::magic::Status) {
        kvx::logRejected("StatusPacket", r.size(), Size);
        return std::nullopt;
    }
    StatusPacket p;
    r.copy(4, p.unnamed4.data(), qsizetype(p.unnamed4.size()));
    p.playbackPosition = r.u64(16);
    p.clipFrames = r.u64(24);
    r.copy(32, p.unnamed32.data(), qsizetype(p.unnamed32.size()));
    p.stateFlags = r.u64(48);
    p.frameRate = r.at<double>(56);
    p.shutterTime = r.at<double>(64);
    p.diskCapacity = r.u64(72);
    p.diskFree = r.u64(80);
    p.genlockFormat = r.u8(88);
    p.sdiFormat = r.u8(89);
    r.copy(90, p.unnamed90.data(), qsizetype(p.unnamed90.size()));
    p.selectedClip = r.at<qint32>(96);
    r.copy(100, p.unnamed100.data(), qsizetype(p.unnamed100.size()));
    return p;
}

#include "common/packets/RecorderInfoPacket.h"

#include "common/packets/PacketMagic.h"

namespace kvx {

QHostAddress RecorderInfoPacket::EthernetInfo::address() const
{
    return QHostAddress(quint32(ip[0]) << 24 | quint32(ip[1]) << 16 | quint32(ip[2]) << 8 | ip[3]);
}

void RecorderInfoPacket::EthernetInfo::setAddress(const QHostAddress& address)
{
    bool ok = false;
    const quint32 v4 = address.toIPv4Address(&ok);
    const quint32 value = ok ? v4 : 0;
    ip = {quint8(value >> 24), quint8(value >> 16), quint8(value >> 8), quint8(value)};
}

void RecorderInfoPacket::EthernetInfo::encodeInto(uchar* out) const
{
    wire::Writer w(out, Size);
    w.bytes(0, unnamed0.data(), 6);
    w.bytes(6, ip.data(), 4);
    w.u16(10, commandPort);
    w.u16(12, secondPort);
    w.u16(14, unnamed14);
    w.u16(16, transferPort);
    w.u8(18, linkFlags);
    w.u8(19, unnamed19);
}

RecorderInfoPacket::EthernetInfo RecorderInfoPacket::EthernetInfo::decodeFrom(const uchar* in)
{
    const wire::Reader r(in, Size);
    EthernetInfo e;
    r.copy(0, e.unnamed0.data(), 6);
    r.copy(6, e.ip.data(), 4);
    e.commandPort = r.u16(10);
    e.secondPort = r.u16(12);
    e.unnamed14 = r.u16(14);
    e.transferPort = r.u16(16);
    e.linkFlags = r.u8(18);
    e.unnamed19 = r.u8(19);
    return e;
}

QByteArray RecorderInfoPacket::encode() const
{
    QByteArray out = wire::zeroed(Size);
    wire::Writer w(out);
    w.u32(0, magic);
    w.u32(4, unnamed4);
    w.u64(8, recorderId);
    w.u32(16, versionDate);
    w.u32(20, cameraSerial);
    w.u32(24, unnamed24);
    w.i16(28, cameraModel);
    w.u16(30, unnamed30);
    w.u32(32, unnamed32);
    ethernet.encodeInto(reinterpret_cast<uchar*>(out.data()) + 36);
    return out;
}

std::optional<RecorderInfoPacket> RecorderInfoPacket::decode(QByteArrayView datagram)
{
    const wire::Reader r(datagram);
    if (r.size() < Size || r.u32(0) != magic::RecorderInfo) {
        logRejected("RecorderInfoPacket", r.size(), Size);
        return std::nullopt;
    }
    RecorderInfoPacket p;
    p.magic = r.u32(0);
    p.unnamed4 = r.u32(4);
    p.recorderId = r.u64(8);
    p.versionDate = r.u32(16);
    p.cameraSerial = r.u32(20);
    p.unnamed24 = r.u32(24);
    p.cameraModel = r.i16(28);
    p.unnamed30 = r.u16(30);
    p.unnamed32 = r.u32(32);
    p.ethernet = EthernetInfo::decodeFrom(reinterpret_cast<const uchar*>(datagram.data()) + 36);
    return p;
}

} // namespace kvx

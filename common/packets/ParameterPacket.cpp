#include "common/packets/ParameterPacket.h"

#include "common/packets/PacketMagic.h"

QByteArray ParameterPacket::encode() const
{
    QByteArray out = kvx::wire::zeroed(HeadSize);
    kvx::wire::Writer w(out);
    w.u32(0, kvx::magic::Parameter);
    w.u8(4, code);
    w.u8(5, form);
    w.u16(6, operation);
    w.u32(8, word);
    out.append(payload);
    return out;
}

std::optional<ParameterPacket> ParameterPacket::decode(QByteArrayView datagram)
{
    const kvx::wire::Reader r(datagram);
    if (r.size() < HeadSize || r.u32(0) != kvx::magic::Parameter) {
        kvx::logRejected("ParameterPacket", r.size(), HeadSize);
        return std::nullopt;
    }
    ParameterPacket p;
    p.code = r.u8(4);
    p.form = r.u8(5);
    p.operation = r.u16(6);
    p.word = r.u32(8);
    p.payload = r.view(HeadSize, r.size() - HeadSize).toByteArray();
    return p;
}

#include "common/packets/OutputStatePacket.h"

#include "common/packets/PacketMagic.h"

QByteArray OutputStatePacket::encode() const
{
    QByteArray out = kvx::wire::zeroed(Size);
    kvx::wire::Writer w(out);
    w.u32(0, kvx::magic::OutputState);
    for (int i = 0; i < ValueCount; ++i)
        w.i16(4 + 2 * i, values[size_t(i)]);
    return out;
}

std::optional<OutputStatePacket> OutputStatePacket::decode(QByteArrayView datagram)
{
    const kvx::wire::Reader r(datagram);
    if (r.size() < Size || r.u32(0) != kvx::magic::OutputState) {
        kvx::logRejected("OutputStatePacket", r.size(), Size);
        return std::nullopt;
    }
    OutputStatePacket p;
    for (int i = 0; i < ValueCount; ++i)
        p.values[size_t(i)] = r.i16(4 + 2 * i);
    return p;
}

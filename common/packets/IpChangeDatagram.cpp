#include "common/packets/IpChangeDatagram.h"

#include "common/packets/PacketMagic.h"
#include "common/packets/ParameterPacket.h"

QByteArray IpChangeDatagram::encode() const
{
    QByteArray out = kvx::wire::zeroed(Size);
    kvx::wire::Writer w(out);
    w.u32(0, kvx::magic::Parameter);
    w.u8(4, Code);
    w.u8(5, ParameterPacket::PayloadFollows);
    w.u16(6, ParameterPacket::Set);
    w.u32(8, 4);
    w.u32(12, newAddress);
    w.u64(16, recorderId);
    return out;
}

std::optional<IpChangeDatagram> IpChangeDatagram::decode(QByteArrayView datagram)
{
    const kvx::wire::Reader r(datagram);
    if (r.size() < Size || r.u32(0) != kvx::magic::Parameter || r.u8(4) != Code
        || r.u8(5) != ParameterPacket::PayloadFollows || r.u16(6) != ParameterPacket::Set || r.u32(8) != 4) {
        kvx::logRejected("IpChangeDatagram", r.size(), Size);
        return std::nullopt;
    }
    return IpChangeDatagram{r.u32(12), r.u64(16)};
}

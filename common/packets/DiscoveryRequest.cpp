#include "common/packets/DiscoveryRequest.h"

#include "common/packets/PacketMagic.h"

QByteArray DiscoveryRequest::encode() const
{
    QByteArray out = kvx::wire::zeroed(Size);
    kvx::wire::Writer w(out);
    w.u32(0, kvx::magic::DiscoveryRequest);
    w.u16(4, replyPort);
    return out;
}

std::optional<DiscoveryRequest> DiscoveryRequest::decode(QByteArrayView datagram)
{
    const kvx::wire::Reader r(datagram);
    if (r.size() < Size || r.u32(0) != kvx::magic::DiscoveryRequest) {
        kvx::logRejected("DiscoveryRequest", r.size(), Size);
        return std::nullopt;
    }
    return DiscoveryRequest{r.u16(4)};
}

// Every packet of the clip transfer, whichever side reads it.
#include "FuzzSupport.h"

#include "common/packets/TransferPackets.h"

using namespace kvx;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView datagram = fuzz::bytes(data, size);
    if (const auto request = TxDataRequest::decode(datagram))
        fuzz::requireStableEncoding(*request, TxDataRequest::decode);
    (void)TxDataRequest::decodeHead(datagram);
    if (const auto list = TxMissingList::decode(datagram)) {
        fuzz::require(list->indexes.size() <= (datagram.size() - TxMissingList::HeadSize) / 4);
        fuzz::requireStableEncoding(*list, TxMissingList::decode);
    }
    (void)TxPacketHead::decode(data, qsizetype(size));
    if (const auto event = TxEvent::decode(datagram))
        fuzz::requireStableEncoding(*event, TxEvent::decode);
    if (const auto status = TxStatus::decode(datagram))
        fuzz::requireStableEncoding(*status, TxStatus::decode);
    return 0;
}

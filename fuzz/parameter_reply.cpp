// Parameter packets: the replies to queries and the typed values they carry.
#include "FuzzSupport.h"

#include "common/packets/ParameterPacket.h"
#include "common/packets/TypedParameter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto packet = ParameterPacket::decode(fuzz::bytes(data, size));
    if (!packet)
        return 0;
    fuzz::requireStableEncoding(*packet, ParameterPacket::decode);
    if (const auto carried = TypedParameter::payloadSize(packet->code)) {
        fuzz::require(*carried >= 0);
        const quint64 word = packet->word;
        (void)TypedParameter::packValue(packet->code, word);
    }
    return 0;
}

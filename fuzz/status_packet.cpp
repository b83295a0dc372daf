// The recorder's status packet, as both programs read it.
#include "FuzzSupport.h"

#include "common/packets/StatusPacket.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (const auto status = StatusPacket::decode(fuzz::bytes(data, size)))
        fuzz::requireStableEncoding(*status, StatusPacket::decode);
    return 0;
}

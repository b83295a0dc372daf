// The output state a recorder sends after a paint-options query or a change.
#include "FuzzSupport.h"

#include "common/packets/OutputStatePacket.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (const auto state = OutputStatePacket::decode(fuzz::bytes(data, size)))
        fuzz::requireStableEncoding(*state, OutputStatePacket::decode);
    return 0;
}

// A recorder's answer to discovery, read by both programs.
#include "FuzzSupport.h"

#include "common/packets/RecorderInfoPacket.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto info = kvx::RecorderInfoPacket::decode(fuzz::bytes(data, size));
    if (info) {
        fuzz::requireStableEncoding(*info, kvx::RecorderInfoPacket::decode);
        (void)info->ethernet.address();
    }
    return 0;
}

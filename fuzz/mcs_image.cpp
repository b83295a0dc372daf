// A firmware image file (Intel HEX text) as the control program reads it before an update.
#include "FuzzSupport.h"

#include "control/firmware/McsImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    McsImage image;
    if (!image.parse(fuzz::bytes(data, size)))
        return 0;
    fuzz::require(quint64(image.bytes().size()) <= McsImage::Capacity);
    fuzz::require(image.totalPackets() <= McsImage::MaxPackets);
    quint32 packets = 0;
    for (const McsImage::Run& run : image.runs()) {
        fuzz::require(run.start <= run.end && run.end <= quint32(image.bytes().size()));
        fuzz::require(run.packetCount <= McsImage::RunPackets);
        packets += run.packetCount;
    }
    fuzz::require(packets == image.totalPackets());
    return 0;
}

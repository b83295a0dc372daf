// A recorder's paint-options document, read when a download starts.
#include "FuzzSupport.h"

#include "render/state/PaintOptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    (void)render::readPaintOptions(fuzz::writeScratchFile(fuzz::bytes(data, size)));
    return 0;
}

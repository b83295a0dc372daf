// A clip folder's "renderInfo.xml", applied to a render state. One state serves every input:
// making one registers every delegate, which would take most of the run.
#include "FuzzSupport.h"

#include "render/state/RenderState.h"

#include <QFile>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QFile file(fuzz::writeScratchFile(fuzz::bytes(data, size)));
    static RenderState state;
    state.loadStateXml(&file);
    (void)state.demosaicing();
    (void)state.calibrationMode();
    return 0;
}

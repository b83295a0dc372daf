// A clip folder's "clip.xml", and the frame ranges it holds.
#include "FuzzSupport.h"

#include "storage/ClipDescription.h"

#include <QFile>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QFile file(fuzz::writeScratchFile(fuzz::bytes(data, size)));
    ClipDescription description;
    clipxml::read(&file, description);
    for (const ClipSegment& range : description.presentFrames.value_or(QList<ClipSegment>()))
        fuzz::require(range.first <= range.last);
    return 0;
}

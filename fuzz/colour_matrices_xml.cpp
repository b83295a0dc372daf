// A clip folder's "ColorMatrices.xml" and the blend made of what it holds.
#include "FuzzSupport.h"

#include "render/colour/ColorMatrixSet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ColorMatrixSet set;
    if (set.load(fuzz::writeScratchFile(fuzz::bytes(data, size)))) {
        fuzz::require(quint32(set.records.size()) <= ColorMatrixSet::MaxRecords);
        for (const double t : {0.0, 0.3, 1.0})
            (void)set.interpolate(t);
    }
    return 0;
}

// A clip's "calib.bin" split into its coefficient planes. The first two bytes choose the
// stored width and height (1 to 64 each); the rest is the file.
#include "FuzzSupport.h"

#include "render/pipeline/CalibrationPlanes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const int width = data[0] % 64 + 1;
    const int height = data[1] % 64 + 1;
    const QByteArray file = fuzz::bytes(data + 2, size - 2).toByteArray();
    kvx::CalibrationPlanes planes;
    const bool split = kvx::splitCalibration(file, width, height, planes);
    fuzz::require(split == (file.size() == qsizetype(width) * height * 8));
    for (const auto& plane : planes.coefficients)
        fuzz::require(plane.size() == (split ? qsizetype(width) * height : 0));
    return 0;
}

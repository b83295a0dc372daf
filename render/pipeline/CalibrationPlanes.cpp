#include "render/pipeline/CalibrationPlanes.h"

#include "common/wire/LittleEndian.h"

namespace kvx {

bool splitCalibration(const QByteArray& data, int width, int height, CalibrationPlanes& planes)
{
    planes = CalibrationPlanes{};
    if (width <= 0 || height <= 0)
        return false;
    const qint64 pixels = qint64(width) * height;
    if (data.size() != pixels * 8)
        return false;

    const wire::Reader reader(data.constData(), data.size());
    for (auto& plane : planes.coefficients)
        plane.resize(pixels);
    for (qint64 p = 0; p < pixels; ++p) {
        for (int k = 0; k < 4; ++k)
            planes.coefficients[k][p] = float(reader.i16(p * 8 + k * 2)) / 1024.0f;
    }
    planes.width = width;
    planes.height = height;
    return true;
}

} // namespace kvx

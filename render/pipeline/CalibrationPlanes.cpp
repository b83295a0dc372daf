#include "render/pipeline/CalibrationPlanes.h"

#include "common/wire/LittleEndian.h"

namespace kvx {

bool calibrationTexels(const QByteArray& data, int width, int height, std::vector<float>& texels)
{
    texels.clear();
    if (width <= 0 || height <= 0 || data.size() != qint64(width) * height * 8)
        return false;
    const wire::Reader reader(data.constData(), data.size());
    texels.resize(size_t(data.size() / 2));
    for (size_t i = 0; i < texels.size(); ++i)
        texels[i] = float(reader.i16(qint64(i) * 2)) / 1024.0f;
    return true;
}

bool splitCalibration(const QByteArray& data, int width, int height, CalibrationPlanes& planes)
{
    planes = CalibrationPlanes{};
    std::vector<float> texels;
    if (!calibrationTexels(data, width, height, texels))
        return false;
    const qint64 pixels = qint64(width) * height;
    for (int k = 0; k < 4; ++k) {
        planes.coefficients[k].resize(pixels);
        for (qint64 p = 0; p < pixels; ++p)
            planes.coefficients[k][p] = texels[size_t(p * 4 + k)];
    }
    planes.width = width;
    planes.height = height;
    return true;
}

} // namespace kvx

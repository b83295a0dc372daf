#pragma once

#include <QByteArray>
#include <QVector>

#include <array>
#include <vector>

namespace kvx {

// The four per-pixel polynomial coefficient planes c0..c3 of a calibration block, as floats.
struct CalibrationPlanes {
    int width = 0;
    int height = 0;
    std::array<QVector<float>, 4> coefficients;
};

// Splits a calibration block (width x height pixels, each four signed 16-bit little-endian
// values c0, c1, c2, c3 with 10 fraction bits) into four planes of value / 1024.
// False, with planes left empty, when the block is not exactly width x height x 8 bytes.
bool splitCalibration(const QByteArray& data, int width, int height, CalibrationPlanes& planes);

// The same values as they lie in the block and in the pipeline's four-channel coefficient
// texture: c0, c1, c2, c3 of pixel 0, then of pixel 1, ... False, with texels left empty, for a
// block of another size.
bool calibrationTexels(const QByteArray& data, int width, int height, std::vector<float>& texels);

} // namespace kvx

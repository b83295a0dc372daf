#pragma once

#include <QGenericMatrix>
#include <QMetaType>

#include <array>

namespace kvx {

// How the per-pixel calibration is applied. With None, dark subtraction and pixel-sensitivity
// scaling follow their own switches.
enum class CalibrationMode : qint32 {
    None = 0,
    BackgroundAndSensitivity = 1,
    FullPolynomial = 2,
};

// The recorder's linearisation record. Carried with the state only; nothing reads it and it is
// not saved.
struct MMPixelLinearizationCoeff {
    quint32 header = 0;
    std::array<quint32, 16> coefficients{};
    bool operator==(const MMPixelLinearizationCoeff&) const = default;
};
static_assert(sizeof(MMPixelLinearizationCoeff) == 68);

} // namespace kvx

namespace render {

// Row r holds the coefficients of output channel r (red, green, blue) over the input channels.
using Matrix3x3Double = QGenericMatrix<3, 3, double>;
// One offset per output channel.
using Matrix3x1Double = QGenericMatrix<1, 3, double>;

// Demosaicing method of the pipeline.
enum class Demosaicing : qint32 {
    GradientDirected = 0,
    MalvarHeCutler = 1,
    EdgeDirectedMedian = 2,
    EdgeDirectionDisplay = 3,
    Off = 4,
    Monochrome = 5,
};

} // namespace render

Q_DECLARE_METATYPE(kvx::CalibrationMode)
Q_DECLARE_METATYPE(kvx::MMPixelLinearizationCoeff)
Q_DECLARE_METATYPE(render::Matrix3x3Double)
Q_DECLARE_METATYPE(render::Matrix3x1Double)
Q_DECLARE_METATYPE(render::Demosaicing)

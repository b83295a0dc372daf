#include "render/state/ParameterTable.h"

#include "render/state/RenderStateTypes.h"

namespace render {

namespace {

Matrix3x3Double defaultColorMatrix()
{
    const double rowsFirst[9] = {
        1.303, -0.292, 0.197, -0.244, 1.388, -0.144, 0.055, -0.320, 1.699,
    };
    return Matrix3x3Double(rowsFirst); // QGenericMatrix reads its values row by row
}

Matrix3x1Double zeroOffsets()
{
    Matrix3x1Double offsets; // a default QGenericMatrix is the identity, not zero
    offsets.fill(0.0);
    return offsets;
}

QList<ParameterDefault> buildTable()
{
    auto ranged = [](double min, double max) { return std::make_optional(std::make_pair(min, max)); };
    const QVariant one(1);
    const QVariant zero(0);
    return {
        {"TNKThresh", 16.0f, ranged(0, 50)},
        {"DNRUVThresh", 0.4, ranged(0, 5)},
        {"DNRYThresh", 0.2, ranged(0, 5)},
        {"Gamma", 2.2, ranged(0, 5)},
        {"Saturation", 1.2, ranged(0, 5)},
        {"Brightness", 0.0, ranged(0, 1)},
        {"GainR", 1.0, ranged(0, 3)},
        {"GainG", 1.0, ranged(0, 3)},
        {"GainB", 1.0, ranged(0, 3)},
        {"PedestalR", 0.0, ranged(-200, 200)},
        {"PedestalG", 0.0, ranged(-200, 200)},
        {"PedestalB", 0.0, ranged(-200, 200)},
        {"FlareR", 0.0, ranged(-300, 300)},
        {"FlareG", 0.0, ranged(-300, 300)},
        {"FlareB", 0.0, ranged(-300, 300)},
        {"ColorTempMatrix", 0.0, ranged(0, 1)},
        {"DemoState", QVariant::fromValue(Demosaicing::GradientDirected), {}},
        {"ColorCorrectionState", one, {}},
        {"CalibrationMode", QVariant::fromValue(kvx::CalibrationMode::None), {}},
        {"DarkSubState", one, {}},
        {"PSCScaleState", one, {}},
        {"ColorCorrectionMatrix", QVariant::fromValue(defaultColorMatrix()), {}},
        {"ColorOffsets", QVariant::fromValue(zeroOffsets()), {}},
        {"LowerTrim", qint64(-1), {}},
        {"UpperTrim", qint64(-1), {}},
        {"Rotation", zero, {}},
        {"FlipHorizontal", zero, {}},
        {"FlipVertical", zero, {}},
        {"DegammaState", one, {}},
        {"HotPixElimState", one, {}},
        {"FinalTextureSmoothingState", one, {}},
        {"EdgeThresh", 11.5, {}},
        {"SharpState", zero, {}},
        {"SharpGain", 4.0, {}},
        {"SharpThresh", 10.0, {}},
        {"GhostRemoval", 0.04, {}},
        {"LinearizationState", one, {}},
        {"LinearizationCoefficients", QVariant::fromValue(kvx::MMPixelLinearizationCoeff{}), {}},
        {"greenBalanceValue", 0.75f, {}},
    };
}

} // namespace

const QList<ParameterDefault>& parameterTable()
{
    static const QList<ParameterDefault> table = buildTable();
    return table;
}

} // namespace render

#include "render/colour/ColorUpdate.h"

#include "render/state/RenderState.h"

#include <array>
#include <cmath>

namespace render {

void applyColorUpdate(RenderState& state, const Matrix3x3Double& base)
{
    static const std::array<const char*, 3> channels = {"R", "G", "B"};

    Matrix3x3Double matrix;
    Matrix3x1Double offsets;
    std::array<double, 3> sums{};
    for (int row = 0; row < 3; ++row) {
        const QString channel = QLatin1String(channels[size_t(row)]);
        const double gain = state.doubleValue(QStringLiteral("Gain") + channel);
        for (int column = 0; column < 3; ++column) {
            matrix(row, column) = base(row, column) * gain;
            sums[size_t(row)] += matrix(row, column);
        }
        offsets(row, 0) = (state.doubleValue(QStringLiteral("Pedestal") + channel)
                           - state.doubleValue(QStringLiteral("Flare") + channel))
            / 1024.0;
    }
    const double smallest = std::min({sums[0], sums[1], sums[2]});
    if (smallest > 0.0 && std::isfinite(smallest))
        matrix /= smallest;

    state.setValue(QStringLiteral("ColorCorrectionMatrix"), QVariant::fromValue(matrix));
    state.setValue(QStringLiteral("ColorOffsets"), QVariant::fromValue(offsets));
}

} // namespace render

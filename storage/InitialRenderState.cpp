#include "storage/InitialRenderState.h"

#include "render/state/RenderState.h"

#include <array>

namespace {

struct OutputValue {
    const char* name; // null: not a render-state value
    float divisor;
    qint16 fallback; // a recorder's value before anything was changed
};

// Index i describes value i of the output state.
constexpr std::array<OutputValue, OutputStatePacket::ValueCount> OutputValues = {{
    {"TNKThresh", 1024, 5120}, {"DNR", 1024, 2048},
    {nullptr, 1, 0},           {"PedestalR", 1, 0},
    {"PedestalG", 1, 0},       {"PedestalB", 1, 0},
    {nullptr, 1, 0},           {nullptr, 1, 0},
    {nullptr, 1, 0},           {"GainR", 1024, 1024},
    {"GainG", 1024, 1024},     {"GainB", 1024, 1024},
    {"Gamma", 1024, 2048},     {"Saturation", 1024, 1024},
    {nullptr, 1, 20},          {nullptr, 1, 50},
    {nullptr, 1, 45},          {nullptr, 1, 0},
    {nullptr, 1, 0},           {nullptr, 1, 0},
    {nullptr, 1, 0},           {nullptr, 1, 0},
    {"FlareR", 1, 0},          {"FlareG", 1, 0},
    {"FlareB", 1, 0},          {"ColorTempMatrix", 1024, 512},
}};

void setIfPresent(RenderState& state, const QString& name, const QVariant& value)
{
    if (state.contains(name))
        state.setValue(name, value);
}

} // namespace

void applyOutputState(RenderState& state, const std::optional<OutputStatePacket>& outputState)
{
    for (size_t i = 0; i < OutputValues.size(); ++i) {
        const OutputValue& entry = OutputValues[i];
        if (!entry.name)
            continue;
        const qint16 raw = outputState ? outputState->values[i] : entry.fallback;
        const float x = float(raw) / entry.divisor;
        if (qstrcmp(entry.name, "DNR") == 0) {
            // One recorder value drives both noise-reduction thresholds.
            setIfPresent(state, QStringLiteral("DNRUVThresh"), x);
            setIfPresent(state, QStringLiteral("DNRYThresh"), x * 0.5f);
        } else {
            setIfPresent(state, QLatin1String(entry.name), x);
        }
    }
    setIfPresent(state, QStringLiteral("Brightness"), 0);
    setIfPresent(state, QStringLiteral("DarkSubState"), false);
    setIfPresent(state, QStringLiteral("PSCScaleState"), false);
}

#pragma once

#include "common/packets/OutputStatePacket.h"

#include <optional>

class RenderState;

// Sets a new clip's paint values from the recorder's last output state, or from the values a
// recorder starts with when none has been received: temporal and spatial noise reduction,
// pedestals, gains, gamma, saturation, flares and the colour-temperature position. Brightness,
// dark subtraction and pixel-sensitivity scaling are then switched off.
void applyOutputState(RenderState& state, const std::optional<OutputStatePacket>& outputState);

#pragma once

#include "render/state/RenderStateTypes.h"

class RenderState;

namespace render {

// Recomputes the pipeline's colour matrix and offsets from a base matrix and the paint values
// of the state, and writes them to "ColorCorrectionMatrix" and "ColorOffsets":
// - each row of the base is scaled by its channel's gain ("GainR", "GainG", "GainB");
// - all nine elements are divided by the smallest row sum, so the weakest row sums to 1;
// - each channel's offset is (pedestal - flare) / 1024: the pedestal lifts the black level and
//   the flare setting takes back light scattered onto it.
// A smallest row sum that is not a positive number (all gains of a row at 0, an all-zero base)
// leaves the matrix unnormalised instead of dividing by zero or flipping its sign.
void applyColorUpdate(RenderState& state, const Matrix3x3Double& base);

} // namespace render

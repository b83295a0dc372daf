#pragma once

#include "render/pipeline/FrameBlock.h"

namespace kvx {

// The temporal window around a frame: span frames centred on the frame index, the first one
// wrapping to the end of the clip when it would lie before frame 0.
qint64 frameWindowStart(qint64 frameIndex, int span, qint64 frameCount);

// Copies the window of span frames for frameIndex into dest (span x width x height bytes,
// one frame per layer). Frames past the end of the block repeat the last frame. Returns the
// number of layers written (0 for an empty block).
int stageFrameWindow(const FrameBlock& frames, qint64 frameIndex, int span, uchar* dest);

} // namespace kvx

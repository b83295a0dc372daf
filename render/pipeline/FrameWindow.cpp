#include "render/pipeline/FrameWindow.h"

#include <algorithm>
#include <cstring>

namespace kvx {

qint64 frameWindowStart(qint64 frameIndex, int span, qint64 frameCount)
{
    qint64 first = frameIndex - span / 2;
    if (first < 0)
        first += frameCount;
    // A clip shorter than half the span cannot wrap far enough; start at its first frame.
    return std::clamp<qint64>(first, 0, std::max<qint64>(frameCount - 1, 0));
}

int stageFrameWindow(const FrameBlock& frames, qint64 frameIndex, int span, uchar* dest)
{
    if (frames.isEmpty() || span <= 0)
        return 0;
    const qint64 first = frameWindowStart(frameIndex, span, frames.frameCount);
    const qint64 layerBytes = frames.pixelsPerFrame();
    const qint64 inBlock = std::min<qint64>(span, frames.frameCount - first);

    if (frames.contiguous) {
        std::memcpy(dest, frames.frame(first), size_t(inBlock * layerBytes));
    } else {
        for (qint64 k = 0; k < inBlock; ++k)
            std::memcpy(dest + k * layerBytes, frames.frame(first + k), size_t(layerBytes));
    }
    const uchar* last = frames.frame(frames.frameCount - 1);
    for (qint64 k = inBlock; k < span; ++k)
        std::memcpy(dest + k * layerBytes, last, size_t(layerBytes));
    return span;
}

} // namespace kvx

#include "sim/control/ClipPlayback.h"

#include <cmath>

void ClipPlayback::select(int clipIndex)
{
    selectedClip_ = clipIndex < 0 ? -1 : clipIndex;
    position_ = 0.0;
    rate_ = 0.0;
}

void ClipPlayback::seekPercent(double percent, quint64 clipFrames)
{
    if (clipFrames == 0 || !std::isfinite(percent))
        return;
    const double last = double(clipFrames - 1);
    position_ = std::round(qBound(0.0, percent, 100.0) * last / 100.0);
}

void ClipPlayback::step(qint64 frames, quint64 clipFrames)
{
    rate_ = 0.0;
    if (clipFrames == 0)
        return;
    position_ = qBound(0.0, std::floor(position_) + double(frames), double(clipFrames - 1));
}

void ClipPlayback::advance(qint64 elapsedMs, quint64 clipFrames)
{
    if (clipFrames == 0) {
        position_ = 0.0;
        return;
    }
    const double last = double(clipFrames - 1);
    position_ = qMin(position_, last); // the clip may have been replaced by a shorter one
    if (rate_ == 0.0 || elapsedMs <= 0)
        return;
    const double moved = position_ + rate_ * OutputFramesPerSecond * double(elapsedMs) / 1000.0;
    if (moved >= 0.0 && moved <= last) {
        position_ = moved;
    } else if (loop_) {
        const double span = last + 1.0;
        position_ = std::fmod(std::fmod(moved, span) + span, span);
    } else {
        position_ = moved < 0.0 ? 0.0 : last;
        rate_ = 0.0;
    }
}

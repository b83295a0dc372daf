#include "playback/SliderMapping.h"

#include <algorithm>
#include <cmath>

namespace playback {

int correspondingFrame(int value, int minimum, int maximum, int numFrames)
{
    const qint64 span = qint64(maximum) - minimum;
    if (span >= 1 && span != qint64(numFrames) - 1)
        return int(double(value) * (double(numFrames) - 1.0) / double(span));
    return value;
}

QList<ClipSegment> presentBars(bool downloadFinished, int numFrames, const QList<ClipSegment>& segments)
{
    if (downloadFinished)
        return numFrames > 0 ? QList<ClipSegment>{{0, numFrames - 1}} : QList<ClipSegment>{};
    return segments;
}

int SliderScale::position(double value) const
{
    if (max == min || !std::isfinite(value))
        return first;
    const double exact = first + (value - min) * double(last - first) / (max - min);
    return int(std::lround(std::clamp(exact, double(std::min(first, last)), double(std::max(first, last)))));
}

double SliderScale::value(int position) const
{
    if (last == first)
        return min;
    return min + double(position - first) * (max - min) / double(last - first);
}

} // namespace playback

#include "control/playback/PlaybackMarkers.h"

#include <algorithm>
#include <cstdlib>

void PlaybackMarkers::setLast(int last)
{
    last = std::max(last, 0);
    if (last == last_)
        return;
    last_ = last;
    start_ = 0;
    stop_ = last;
}

bool PlaybackMarkers::setStart(int frame)
{
    const int held = std::clamp(frame, 0, stop_);
    const bool moved = held != start_;
    start_ = held;
    return moved;
}

bool PlaybackMarkers::setStop(int frame)
{
    const int held = std::clamp(frame, start_, last_);
    const bool moved = held != stop_;
    stop_ = held;
    return moved;
}

PlaybackMarkers::Marker PlaybackMarkers::nearer(int frame) const
{
    if (start_ == stop_)
        return frame < start_ ? Start : Stop;
    return std::abs(frame - start_) <= std::abs(frame - stop_) ? Start : Stop;
}

#include "playback/PlaybackCursor.h"

namespace playback {

void PlaybackCursor::press(int direction)
{
    direction_ = isPlaying() ? Stopped : direction;
}

int PlaybackCursor::advance(int lowerTrim, int upperTrim)
{
    if (!isPlaying())
        return frame_;
    const long long next = static_cast<long long>(frame_) + direction_;
    if (next < lowerTrim)
        frame_ = upperTrim;
    else if (next > upperTrim)
        frame_ = lowerTrim;
    else
        frame_ = static_cast<int>(next);
    return frame_;
}

void PlaybackCursor::step(int delta, int frameCount)
{
    if (frameCount <= 0) {
        frame_ = 0;
        return;
    }
    const long long next = static_cast<long long>(shownFrame(frame_, frameCount)) + delta;
    frame_ = next < 0 ? frameCount - 1 : next >= frameCount ? 0 : static_cast<int>(next);
}

int shownFrame(int index, int frameCount)
{
    return index < 0 || index >= frameCount ? 0 : index;
}

} // namespace playback

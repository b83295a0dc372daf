#pragma once

namespace playback {

// Where playback stands in a clip and which way it runs. Frames count from 0; a trim range
// [lower, upper] is inclusive. The display widget holds one; it needs no window.
class PlaybackCursor {
public:
    static constexpr int Reverse = -1;
    static constexpr int Stopped = 0;
    static constexpr int Forward = 1;

    int frame() const { return frame_; }
    void setFrame(int frame) { frame_ = frame; }
    int direction() const { return direction_; }
    bool isPlaying() const { return direction_ != Stopped; }

    // A play button (Forward or Reverse): pressed while playing either way it stops, otherwise
    // playback starts in its direction.
    void press(int direction);
    void stop() { direction_ = Stopped; }

    // One repaint: a playing cursor moves one frame and, leaving the trim range at either end,
    // goes on from the other end, so playback loops inside the range both ways. A stopped
    // cursor stays. Returns the frame.
    int advance(int lowerTrim, int upperTrim);

    // A step button (delta +1 or -1): one frame inside a clip of frameCount frames, from the
    // last frame round to the first and back. Stepping is not bound to the trim range, so trim
    // points can be looked for outside it.
    void step(int delta, int frameCount);

private:
    int frame_ = 0;
    int direction_ = Stopped;
};

// The frame a repaint shows for index in a clip of frameCount frames: an index outside the
// clip shows frame 0.
int shownFrame(int index, int frameCount);

} // namespace playback

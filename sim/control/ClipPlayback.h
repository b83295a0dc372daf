#pragma once

#include <QtGlobal>

// Playback of the selected clip on the recorder's video output. The rate counts recorded frames
// per output frame (so 1.0 plays a high-speed clip in slow motion at the output's frame rate);
// a negative rate plays backwards and 0 is paused.
class ClipPlayback {
public:
    static constexpr double OutputFramesPerSecond = 60.0;
    static constexpr double MaxRate = 1000.0; // faster requests play at this rate

    int selectedClip() const { return selectedClip_; }
    quint64 position() const { return quint64(position_); }
    double rate() const { return rate_; }
    bool loop() const { return loop_; }

    // Loads a clip: position 0, paused.
    void select(int clipIndex);
    void deselect() { select(-1); }
    void setRate(double rate) { rate_ = qBound(-MaxRate, rate, MaxRate); }
    void pause() { rate_ = 0.0; }
    void toggleLoop() { loop_ = !loop_; }

    // percent of the way from the first to the last frame, rounded to the nearest frame.
    void seekPercent(double percent, quint64 clipFrames);
    // Moves by frames (negative: back) within the clip and pauses.
    void step(qint64 frames, quint64 clipFrames);
    // Moves the position on by the time passed. At an end the playback wraps round when looping,
    // else it stops there.
    void advance(qint64 elapsedMs, quint64 clipFrames);

private:
    int selectedClip_ = -1;
    double position_ = 0.0; // fractional while playing slowly
    double rate_ = 0.0;
    bool loop_ = false;
};

#pragma once

// The start and stop markers of the playback slider: a stretch of the clip's frames whose start
// never passes its stop.
class PlaybackMarkers {
public:
    enum Marker { Start, Stop };

    // A clip of last + 1 frames. A new length puts the markers at its ends; the same length
    // keeps them (the clip list is refreshed without the user choosing another clip).
    void setLast(int last);
    int last() const { return last_; }
    int start() const { return start_; }
    int stop() const { return stop_; }
    // Held between 0 and the stop; false when the start stayed where it was.
    bool setStart(int frame);
    // Held between the start and the last frame; false when the stop stayed where it was.
    bool setStop(int frame);
    bool set(Marker marker, int frame) { return marker == Start ? setStart(frame) : setStop(frame); }
    int frame(Marker marker) const { return marker == Start ? start_ : stop_; }
    // The marker a press at frame takes: the nearer one; from two markers on one frame, the one
    // on the press's side, so that they can be pulled apart again.
    Marker nearer(int frame) const;

private:
    int last_ = 0;
    int start_ = 0;
    int stop_ = 0;
};

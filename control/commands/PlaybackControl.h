#pragma once

#include <QStringList>

// Playback on the recorders' own outputs: the play state and speed the transport buttons and
// the speed slider work on, and the commands each action sends to every connected recorder.
class PlaybackControl {
public:
    enum State { Stopped = 0, Backwards = 1, Forwards = 2 };
    enum Event {
        FirstFrame = 0,
        PreviousFrame = 1,
        Rewind = 2,
        Pause = 3,
        FastForward = 4,
        NextFrame = 5,
        LatestFrame = 6,
        DirectLoop = 11,
        HalveSpeed = 12,
        DoubleSpeed = 13,
    };
    static constexpr double DefaultSpeed = 0.1;
    static constexpr double MaxSpeed = 3.0;

    struct Action {
        QStringList commands;    // to every connected recorder, in order
        bool toggleLoop = false; // the direct/loop control word to every connected recorder
        bool speedShown = false; // the speed display is to follow speed()
    };

    int state() const { return state_; }
    double speed() const { return speed_; }
    void setSpeed(double speed) { speed_ = speed; }

    Action event(int event);
    // The speed slider at value (speed x 100).
    QStringList speedSlider(int value);

private:
    QStringList rateCommands() const;

    int state_ = Stopped;
    double speed_ = DefaultSpeed;
};

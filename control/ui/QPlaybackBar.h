#pragma once

#include <QWidget>

// The transport buttons and the speed of playback on the recorder. Holds the signals the main
// window turns into commands and the operations it calls; its buttons come with the playback
// bars.
class QPlaybackBar : public QWidget {
    Q_OBJECT
public:
    explicit QPlaybackBar(QWidget* parent = nullptr);

    void showSpeed(double speed) { speed_ = speed; }
    void showPlayState(int state) { state_ = state; }
    void showLoopState(bool loop) { loop_ = loop; }
    double shownSpeed() const { return speed_; }
    int shownPlayState() const { return state_; }
    bool shownLoopState() const { return loop_; }

signals:
    void playbackEvent(int event);
    void playbackSpeed(int value);

private:
    double speed_ = 0;
    int state_ = 0;
    bool loop_ = false;
};

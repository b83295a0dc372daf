#pragma once

#include <QWidget>

class ImageButton;
class QLabel;
class QSlider;

// The transport buttons and the speed of playback on the recorder. It only signals; the main
// window sends the commands and shows the state the recorder reports.
class QPlaybackBar : public QWidget {
    Q_OBJECT
public:
    // What the buttons emit as playbackEvent.
    enum Event {
        First = 0,
        Previous = 1,
        Rewind = 2,
        Pause = 3,
        FastForward = 4,
        Next = 5,
        Last = 6,
        Loop = 11,
        HalveSpeed = 12,
        DoubleSpeed = 13,
    };
    static constexpr int MaxSpeedValue = 300; // speed x 100

    QPlaybackBar(int buttonSize, QWidget* parent = nullptr);

    // The slider at speed x 100 (truncated), the label with 2 decimals.
    void showSpeed(double speed);
    // Rewind checked in state 1, fast forward in state 2.
    void showPlayState(int state);
    // The loop button follows the recorder's loop flag.
    void showLoopState(bool loop);
    QString speedText() const;
    int speedValue() const;
    int shownPlayState() const;

signals:
    void playbackEvent(int event);
    void playbackSpeed(int value);

public slots:
    void OnPlaybackClicked();
    void OnSpeedActionTriggered(int action);

private:
    void showSpeedValue(int value);

    ImageButton* rewind_ = nullptr;
    ImageButton* fastForward_ = nullptr;
    ImageButton* loopButton_ = nullptr;
    QSlider* speed_;
    QLabel* speedLabel_;
    bool loop_ = false;
};

#pragma once

#include <QWidget>

class QSlider;

// The playback position of the selected clip on the recorder: the user moves it, the
// recorder's status moves it back.
class QPlaybackSlider : public QWidget {
    Q_OBJECT
public:
    explicit QPlaybackSlider(QWidget* parent = nullptr);

    // A clip of frames frames: positions 0 to frames - 1.
    void setFrames(quint64 frames);
    int value() const;

signals:
    void sliderValueChanged(int value);

public slots:
    void RefreshSliderPosition(int position);

private:
    QSlider* slider_;
};

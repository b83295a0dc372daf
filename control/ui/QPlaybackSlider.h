#pragma once

#include "control/playback/PlaybackMarkers.h"

#include <QWidget>

#include <optional>

class QSlider;

// The playback position of the selected clip on the recorder: the user moves it, the
// recorder's status moves it back. Under the groove, start and stop markers mark a stretch of
// the clip; they are dragged, or a press beside them brings the nearer one there.
class QPlaybackSlider : public QWidget {
    Q_OBJECT
public:
    // markerSize: the height of the markers' strip under the groove.
    explicit QPlaybackSlider(int markerSize, QWidget* parent = nullptr);

    // A clip of frames frames: positions 0 to frames - 1.
    void setFrames(quint64 frames);
    int value() const;
    int startValue() const { return markers_.start(); }
    int stopValue() const { return markers_.stop(); }

signals:
    // The user changed the position, the start or the stop (dragging, or a press beside it).
    void sliderValueChanged(int value);
    void startValueChanged(int value);
    void stopValueChanged(int value);
    // A drag ended.
    void sliderReleased();
    void startSliderReleased();
    void stopSliderReleased();
    // Each new frame while dragging.
    void moveSlider(int value);
    void moveSliderStart(int value);
    void moveSliderStop(int value);

public slots:
    // What the recorder reports; ignored while the user holds that handle or marker.
    void RefreshSliderPosition(int nPos);
    void RefreshSliderStartPosition(int nPos);
    void RefreshSliderStopPosition(int nPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    struct Groove {
        int left = 0; // x of frame 0's place in this widget
        int span = 0;
    };
    Groove groove() const;
    int xOf(int frame) const;
    int frameAt(int x) const;
    int stripTop() const;
    // The marker's triangle: its upright edge on the frame's place, start to the left of it,
    // stop to the right.
    QRect markerRect(PlaybackMarkers::Marker marker) const;
    // A change by the user: true when the marker moved, which is then said.
    bool moveMarker(PlaybackMarkers::Marker marker, int frame);
    void refreshMarker(PlaybackMarkers::Marker marker, int frame);

    QSlider* slider_;
    int markerSize_;
    PlaybackMarkers markers_;
    std::optional<PlaybackMarkers::Marker> held_;
    int grabOffset_ = 0; // from the pointer to the held marker's frame
};

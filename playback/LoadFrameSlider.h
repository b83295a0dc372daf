#pragma once

#include "common/catalogue/ClipSegment.h"

#include <QLinearGradient>
#include <QList>
#include <QSharedPointer>
#include <QSlider>

class SavedClip;

namespace kvx {

// The frame slider of the playback window. Besides its handle it draws the frames of the clip
// that are on disk (the ranges of a clip still downloading, or the whole clip) in white and the
// trim range in cyan. Mouse and keyboard work as on any slider.
class LoadFrameSlider : public QSlider {
    Q_OBJECT
public:
    explicit LoadFrameSlider(QWidget* parent = nullptr);

    QList<ClipSegment> segmentList() const { return segments_; }

public slots:
    void segmentListUpdated(QList<ClipSegment> segmentList);
    void setNumFrames(int numFrames);
    Q_INVOKABLE int getNumFrames() const { return numFrames_; }
    // No clip, no segments, no frames.
    void clear();
    // Follows the clip's segments and trims from now on; null follows nothing.
    void associateClip(QSharedPointer<SavedClip> clip);
    // The frame the handle stands for.
    Q_INVOKABLE int getCorrespondingFrame() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QSharedPointer<SavedClip> clip_;
    QList<QMetaObject::Connection> clipConnections_;
    int numFrames_ = 0;
    QList<ClipSegment> segments_;
    QLinearGradient handleGradient_;
};

} // namespace kvx

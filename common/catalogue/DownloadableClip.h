#pragma once

#include "common/catalogue/BaseRecClip.h"
#include "common/catalogue/ClipSegment.h"

#include <QList>
#include <QPixmap>

// A recorder clip together with what has been taken care of so far: the frame ranges requested
// (or, in a downloaded clip, present on disk) and the calibration state.
//
// Signals:
// - calibrationFileFinished(): setCalibrationPresent(true) on a clip that had no calibration.
// - segmentListUpdated(list): every addRange(), removeRange() and reset() that changed the
//   segments; carries the new list.
// - displayChanged(): whenever text() or infoLines() may read differently: after the segments
//   changed, and when the lost flag changes.
class DownloadableClip : public BaseRecClip {
    Q_OBJECT
public:
    explicit DownloadableClip(const kvx::ClipInfoPacket::clipInfo& info = {}, QObject* parent = nullptr);

    QString text() const override;
    QStringList infoLines() const override;
    virtual QPixmap icon() const;

    // Bytes of one stored frame. 64-bit: lineBytes x lineCount reaches 4294836225.
    qint64 frameSize() const;
    // Disk space a download of the whole clip needs; saturates instead of wrapping for absurd
    // frame counts so the disk-space check refuses them.
    qint64 requiredBytes() const;

    // The next frames not yet covered, searching from start and wrapping to frame 0 once. An
    // empty range (first > last) means nothing is missing.
    ClipSegment nextMissingRange(qint64 start) const;
    // Both ignore an empty range; addRange also one that starts before frame 0.
    void addRange(const ClipSegment& range);
    void removeRange(const ClipSegment& range);
    // Forgets all download progress; the current frame stays.
    void reset();

    const QList<ClipSegment>& segments() const { return segments_; }
    quint32 downloadedFrames() const { return downloadedFrames_; }
    bool isComplete() const { return complete_; }

    bool isLost() const { return lost_; }
    void setLost(bool lost);

    bool isCalibrationPresent() const { return calibrationPresent_; }
    void setCalibrationPresent(bool present);
    bool isCalibrationRequested() const { return calibrationRequested_; }
    void setCalibrationRequested(bool requested) { calibrationRequested_ = requested; }

    qint64 currentFrame() const { return currentFrame_; }
    void setCurrentFrame(qint64 frame) { currentFrame_ = frame; }

signals:
    void calibrationFileFinished();
    void segmentListUpdated(QList<ClipSegment> segmentList);
    void displayChanged();

private:
    void segmentsChanged();

    QList<ClipSegment> segments_; // sorted by first, never overlapping or touching
    quint32 downloadedFrames_ = 0;
    bool lost_ = false;
    bool complete_ = false;
    bool calibrationPresent_ = false;
    bool calibrationRequested_ = false;
    qint64 currentFrame_ = 0;
};

#include "common/catalogue/DownloadableClip.h"

#include <QtNumeric>

#include <algorithm>
#include <limits>

namespace {
// Headroom a download demands beyond the frames themselves.
constexpr qint64 RequiredSpareFrames = 8;
constexpr qint64 RequiredSpareBytes = 0xA00000;
} // namespace

DownloadableClip::DownloadableClip(const kvx::ClipInfoPacket::clipInfo& info, QObject* parent)
    : BaseRecClip(info, parent)
{}

QString DownloadableClip::text() const
{
    const QString label = QStringLiteral("Clip %1 ").arg(int(clipNumber) + 1);
    if (lost_)
        return label + QStringLiteral("(lost)");
    return label
        + QStringLiteral("(%1 frames - %2 s)\n%3x%4 @ %5 fps")
              .arg(totalFrames)
              .arg(secondsFor(double(totalFrames)), 0, 'f', 3)
              .arg(width)
              .arg(height)
              .arg(wholeFps());
}

QStringList DownloadableClip::infoLines() const
{
    QStringList lines;
    if (lost_)
        lines << QStringLiteral("Clip not seen in recorder");
    lines << BaseRecClip::infoLines();
    lines << QStringLiteral(" Downloaded: %1 frames (%2 s)")
                 .arg(downloadedFrames_)
                 .arg(secondsFor(double(downloadedFrames_)), 0, 'f', 3);
    return lines;
}

QPixmap DownloadableClip::icon() const
{
    return QPixmap(QStringLiteral(":/res/clip.png"));
}

qint64 DownloadableClip::frameSize() const
{
    if (flags & ExplicitFrameBytesFlag)
        return frameBytes;
    return qint64(lineBytes) * qint64(lineCount);
}

qint64 DownloadableClip::requiredBytes() const
{
    constexpr qint64 Unaffordable = std::numeric_limits<qint64>::max();
    const qint64 frame = frameSize();
    if (totalFrames > quint64(Unaffordable))
        return Unaffordable;
    qint64 frames = 0;
    qint64 total = 0;
    if (qMulOverflow(qint64(totalFrames), frame, &frames)
        || qAddOverflow(frames, RequiredSpareFrames * frame + RequiredSpareBytes, &total))
        return Unaffordable;
    return total;
}

ClipSegment DownloadableClip::nextMissingRange(qint64 start) const
{
    if (totalFrames == 0)
        return {0, -1};
    const qint64 last = totalFrames > quint64(std::numeric_limits<qint64>::max()) ? std::numeric_limits<qint64>::max()
                                                                                  : qint64(totalFrames) - 1;

    qint64 s = (start > last || start < 0) ? 0 : start;
    auto seg = std::find_if(segments_.cbegin(), segments_.cend(), [s](const ClipSegment& c) { return c.last >= s; });
    if (seg != segments_.cend() && seg->first <= s && seg->last >= last) {
        // Everything from s to the end is there: look again from the start.
        s = 0;
        seg = segments_.cbegin();
    }
    if (seg == segments_.cend())
        return {s, last};
    if (seg->first > s)
        return {s, seg->first - 1};
    const auto next = seg + 1;
    // Past the last frame when everything is there: an empty range, which means nothing missing.
    return {seg->last + 1, next != segments_.cend() ? next->first - 1 : last};
}

void DownloadableClip::addRange(const ClipSegment& range)
{
    if (range.isEmpty() || range.first < 0)
        return;
    const QList<ClipSegment> previous = segments_;
    ClipSegment merged = range;
    // Skip the segments that end before the new range and do not touch it.
    qsizetype i = 0;
    while (i < segments_.size() && segments_[i].last < merged.first - 1)
        ++i;
    // Swallow every segment that overlaps or touches the growing range.
    while (i < segments_.size() && segments_[i].first - 1 <= merged.last) {
        merged.first = std::min(merged.first, segments_[i].first);
        merged.last = std::max(merged.last, segments_[i].last);
        segments_.removeAt(i);
    }
    segments_.insert(i, merged);
    if (segments_ != previous)
        segmentsChanged();
}

void DownloadableClip::removeRange(const ClipSegment& range)
{
    if (range.isEmpty())
        return;
    QList<ClipSegment> kept;
    kept.reserve(segments_.size() + 1);
    for (const ClipSegment& seg : std::as_const(segments_)) {
        if (seg.last < range.first || seg.first > range.last) {
            kept.append(seg);
            continue;
        }
        if (range.first > seg.first)
            kept.append({seg.first, range.first - 1});
        if (seg.last > range.last)
            kept.append({range.last + 1, seg.last});
    }
    if (kept == segments_)
        return;
    segments_ = kept;
    segmentsChanged();
}

void DownloadableClip::reset()
{
    segments_.clear();
    calibrationPresent_ = false;
    calibrationRequested_ = false;
    lost_ = false;
    segmentsChanged();
}

void DownloadableClip::setLost(bool lost)
{
    if (lost_ == lost)
        return;
    lost_ = lost;
    emit displayChanged();
}

void DownloadableClip::setCalibrationPresent(bool present)
{
    const bool arrived = present && !calibrationPresent_;
    calibrationPresent_ = present;
    if (arrived)
        emit calibrationFileFinished();
}

void DownloadableClip::segmentsChanged()
{
    quint64 covered = 0;
    for (const ClipSegment& seg : std::as_const(segments_))
        covered += seg.length();
    downloadedFrames_ = quint32(std::min<quint64>(covered, std::numeric_limits<quint32>::max()));
    complete_ = !segments_.isEmpty() && segments_.first().first == 0 && segments_.first().length() == totalFrames;
    emit segmentListUpdated(segments_);
    emit displayChanged();
}

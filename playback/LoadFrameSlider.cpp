#include "playback/LoadFrameSlider.h"

#include "playback/SliderMapping.h"
#include "storage/SavedClip.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>

#include <algorithm>
#include <limits>

namespace kvx {

LoadFrameSlider::LoadFrameSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent)
{
    handleGradient_.setColorAt(0.0, QColor(QStringLiteral("#c0c0c0")));
    handleGradient_.setColorAt(0.2, QColor(QStringLiteral("#a8a8a8")));
    handleGradient_.setColorAt(1.0, QColor(QStringLiteral("#727272")));
    setRange(0, -1);
}

void LoadFrameSlider::segmentListUpdated(QList<ClipSegment> segmentList)
{
    segments_ = std::move(segmentList);
    update();
}

void LoadFrameSlider::setNumFrames(int numFrames)
{
    numFrames_ = numFrames;
    setRange(0, numFrames - 1);
}

void LoadFrameSlider::clear()
{
    associateClip({});
    segments_.clear();
    setNumFrames(0);
    update();
}

void LoadFrameSlider::associateClip(QSharedPointer<SavedClip> clip)
{
    for (const QMetaObject::Connection& c : std::as_const(clipConnections_))
        disconnect(c);
    clipConnections_.clear();
    if (clip) {
        setNumFrames(int(std::min<quint64>(clip->totalFrames, std::numeric_limits<int>::max())));
        setValue(int(std::clamp<qint64>(clip->currentFrame(), 0, std::numeric_limits<int>::max())));
        clipConnections_ << connect(clip.data(), &DownloadableClip::segmentListUpdated, this,
                                    &LoadFrameSlider::segmentListUpdated);
        clipConnections_ << connect(clip.data(), &SavedClip::trimUpdated, this, [this] { update(); });
        segments_ = clip->segments();
        update();
    }
    clip_ = clip;
}

int LoadFrameSlider::getCorrespondingFrame() const
{
    return playback::correspondingFrame(value(), minimum(), maximum(), numFrames_);
}

void LoadFrameSlider::paintEvent(QPaintEvent*)
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect groove = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    const QRect handle = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    const int thickness = style()->pixelMetric(QStyle::PM_SliderControlThickness, &option, this);
    const int length = groove.width() - 3;
    const int left = groove.left() + 2;
    const int top = handle.top() - thickness / 2 + handle.height() / 2;
    const auto x = [&](qint64 frame) {
        const int v = int(std::clamp<qint64>(frame, minimum(), maximum()));
        return left + QStyle::sliderPositionFromValue(minimum(), maximum(), v, length);
    };
    // A range of frames as a bar; a single frame still shows.
    const auto bar = [&](const ClipSegment& range) {
        const int x0 = x(range.first);
        return QRect(x0, top, std::max(2, x(range.last) - x0), thickness);
    };

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(QStringLiteral("#3A3939")));
    painter.setBrush(QColor(QStringLiteral("#201F1F")));
    painter.drawRoundedRect(QRect(left, top, length, thickness), 2, 2);

    painter.setOpacity(0.75);
    painter.setBrush(QColor(QStringLiteral("#FFFFFF")));
    const bool finished = clip_ && clip_->isComplete();
    for (const ClipSegment& range : playback::presentBars(finished, numFrames_, segments_))
        painter.drawRoundedRect(bar(range), 2, 2);

    if (clip_) {
        painter.setBrush(QColor(QStringLiteral("#00FFFF")));
        painter.drawRoundedRect(bar({clip_->lowerTrim(), clip_->upperTrim()}), 2, 2);
    }

    painter.setOpacity(1.0);
    painter.setPen(Qt::NoPen);
    QLinearGradient gradient = handleGradient_;
    gradient.setStart(handle.topLeft());
    gradient.setFinalStop(handle.bottomLeft());
    painter.setBrush(gradient);
    painter.drawRoundedRect(handle, 2, 2);
}

} // namespace kvx

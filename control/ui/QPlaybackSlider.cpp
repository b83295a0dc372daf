#include "control/ui/QPlaybackSlider.h"

#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QVBoxLayout>

namespace {

const QColor StartColour(0x00, 0xCC, 0x00);
const QColor StopColour(0xCC, 0x00, 0x00);
const QColor StretchColour(0x3B, 0xA7, 0xE5);

} // namespace

QPlaybackSlider::QPlaybackSlider(int markerSize, QWidget* parent) : QWidget(parent), markerSize_(markerSize)
{
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(0);
    slider_ = new QSlider(Qt::Horizontal, this);
    slider_->setRange(0, 0);
    layout->addWidget(slider_);
    layout->addSpacing(markerSize_);
    connect(slider_, &QSlider::valueChanged, this, [this](int v) {
        if (slider_->isSliderDown() || hasFocus() || slider_->hasFocus())
            emit sliderValueChanged(v);
    });
    connect(slider_, &QSlider::sliderMoved, this, &QPlaybackSlider::moveSlider);
    connect(slider_, &QSlider::sliderReleased, this, &QPlaybackSlider::sliderReleased);
}

void QPlaybackSlider::setFrames(quint64 frames)
{
    const int last = frames == 0 ? 0 : int(std::min<quint64>(frames - 1, INT_MAX));
    {
        const QSignalBlocker quiet(slider_);
        slider_->setRange(0, last);
    }
    markers_.setLast(last);
    update();
}

int QPlaybackSlider::value() const
{
    return slider_->value();
}

void QPlaybackSlider::RefreshSliderPosition(int nPos)
{
    if (slider_->isSliderDown())
        return; // the user holds it
    const QSignalBlocker quiet(slider_);
    slider_->setValue(nPos);
}

void QPlaybackSlider::RefreshSliderStartPosition(int nPos)
{
    refreshMarker(PlaybackMarkers::Start, nPos);
}

void QPlaybackSlider::RefreshSliderStopPosition(int nPos)
{
    refreshMarker(PlaybackMarkers::Stop, nPos);
}

void QPlaybackSlider::refreshMarker(PlaybackMarkers::Marker marker, int frame)
{
    if (held_ == marker)
        return;
    markers_.set(marker, frame);
    update();
}

QPlaybackSlider::Groove QPlaybackSlider::groove() const
{
    // The handle's centre travels the groove less the handle's length; the markers follow it.
    QStyleOptionSlider option;
    option.initFrom(slider_);
    option.orientation = Qt::Horizontal;
    option.minimum = slider_->minimum();
    option.maximum = slider_->maximum();
    option.sliderPosition = slider_->sliderPosition();
    option.sliderValue = slider_->value();
    option.subControls = QStyle::SC_All;
    QStyle* style = slider_->style();
    const QRect grooveRect = style->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, slider_);
    const QRect handle = style->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider_);
    return {slider_->x() + grooveRect.x() + handle.width() / 2, std::max(grooveRect.width() - handle.width(), 0)};
}

int QPlaybackSlider::xOf(int frame) const
{
    const Groove g = groove();
    return g.left + QStyle::sliderPositionFromValue(0, markers_.last(), frame, g.span);
}

int QPlaybackSlider::frameAt(int x) const
{
    const Groove g = groove();
    return QStyle::sliderValueFromPosition(0, markers_.last(), x - g.left, g.span);
}

int QPlaybackSlider::stripTop() const
{
    return slider_->geometry().bottom() + 1;
}

QRect QPlaybackSlider::markerRect(PlaybackMarkers::Marker marker) const
{
    const int width = markerSize_ * 3 / 4;
    const int x = xOf(markers_.frame(marker));
    return {marker == PlaybackMarkers::Start ? x - width : x, stripTop(), width + 1, markerSize_};
}

bool QPlaybackSlider::moveMarker(PlaybackMarkers::Marker marker, int frame)
{
    if (!markers_.set(marker, frame))
        return false;
    if (marker == PlaybackMarkers::Start)
        emit startValueChanged(markers_.start());
    else
        emit stopValueChanged(markers_.stop());
    update();
    return true;
}

void QPlaybackSlider::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRect start = markerRect(PlaybackMarkers::Start);
    const QRect stop = markerRect(PlaybackMarkers::Stop);
    painter.fillRect(QRect(start.right(), start.top(), stop.left() - start.right() + 1, 2), StretchColour);
    painter.setPen(Qt::NoPen);
    painter.setBrush(StartColour);
    painter.drawPolygon(QPolygon({start.topRight(), start.bottomRight(), start.bottomLeft()}));
    painter.setBrush(StopColour);
    painter.drawPolygon(QPolygon({stop.topLeft(), stop.bottomLeft(), stop.bottomRight()}));
}

void QPlaybackSlider::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (event->button() != Qt::LeftButton || at.y() < stripTop()) {
        QWidget::mousePressEvent(event);
        return;
    }
    for (PlaybackMarkers::Marker marker : {PlaybackMarkers::Start, PlaybackMarkers::Stop})
        if (!held_ && markerRect(marker).contains(at)) {
            held_ = marker;
            // Taken by its side: it moves with the mouse, without a jump to the pointer.
            grabOffset_ = xOf(markers_.frame(marker)) - at.x();
        }
    if (!held_) {
        const int frame = frameAt(at.x());
        held_ = markers_.nearer(frame);
        grabOffset_ = 0;
        moveMarker(*held_, frame);
    }
}

void QPlaybackSlider::mouseMoveEvent(QMouseEvent* event)
{
    if (!held_ || !moveMarker(*held_, frameAt(event->position().toPoint().x() + grabOffset_)))
        return;
    if (*held_ == PlaybackMarkers::Start)
        emit moveSliderStart(markers_.start());
    else
        emit moveSliderStop(markers_.stop());
}

void QPlaybackSlider::mouseReleaseEvent(QMouseEvent* event)
{
    if (!held_) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const PlaybackMarkers::Marker released = *held_;
    held_.reset();
    if (released == PlaybackMarkers::Start)
        emit startSliderReleased();
    else
        emit stopSliderReleased();
}

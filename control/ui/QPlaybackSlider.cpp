#include "control/ui/QPlaybackSlider.h"

#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QSlider>

QPlaybackSlider::QPlaybackSlider(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    slider_ = new QSlider(Qt::Horizontal, this);
    slider_->setRange(0, 0);
    layout->addWidget(slider_);
    connect(slider_, &QSlider::valueChanged, this, [this](int v) {
        if (slider_->isSliderDown() || hasFocus() || slider_->hasFocus())
            emit sliderValueChanged(v);
    });
}

void QPlaybackSlider::setFrames(quint64 frames)
{
    const QSignalBlocker quiet(slider_);
    slider_->setRange(0, frames == 0 ? 0 : int(std::min<quint64>(frames - 1, INT_MAX)));
}

int QPlaybackSlider::value() const
{
    return slider_->value();
}

void QPlaybackSlider::RefreshSliderPosition(int position)
{
    if (slider_->isSliderDown())
        return; // the user holds it
    const QSignalBlocker quiet(slider_);
    slider_->setValue(position);
}

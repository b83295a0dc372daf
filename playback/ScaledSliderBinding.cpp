#include "playback/ScaledSliderBinding.h"

#include "render/state/ModelDelegate.h"

#include <QSignalBlocker>

#include <algorithm>

namespace playback {

ScaledSliderBinding::ScaledSliderBinding(QSlider* slider, kvx::ModelDelegate* property, double lowest, QObject* parent)
    : QObject(parent), slider_(slider), property_(property), lowest_(lowest)
{
    connect(slider, &QSlider::valueChanged, this, &ScaledSliderBinding::write);
    connect(property, &kvx::ModelDelegate::editData, this, &ScaledSliderBinding::show);
    connect(property, &kvx::ModelDelegate::updateRange, this, [this] { show(property_->value()); });
    show(property->value());
}

SliderScale ScaledSliderBinding::scale() const
{
    return {slider_->minimum(), slider_->maximum(), property_->minimum(), property_->maximum()};
}

void ScaledSliderBinding::show(const QVariant& value)
{
    if (!slider_ || !property_)
        return;
    const QSignalBlocker block(slider_.data());
    slider_->setValue(scale().position(value.toDouble()));
}

void ScaledSliderBinding::write(int position)
{
    if (slider_ && property_)
        property_->setValue(std::max(lowest_, scale().value(position)));
}

} // namespace playback

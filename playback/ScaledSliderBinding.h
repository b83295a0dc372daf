#pragma once

#include "playback/SliderMapping.h"

#include <QObject>
#include <QPointer>
#include <QSlider>

#include <limits>

namespace kvx {
class ModelDelegate;
}

namespace playback {

// Binds a slider to a property both ways through a SliderScale: the slider keeps its own range
// and stands for the property's range. Moving the slider writes the property (never below
// lowest); every change of the property moves the slider without writing back. The binding
// ends with this object.
class ScaledSliderBinding : public QObject {
    Q_OBJECT
public:
    ScaledSliderBinding(QSlider* slider, kvx::ModelDelegate* property,
                        double lowest = -std::numeric_limits<double>::infinity(), QObject* parent = nullptr);

private:
    SliderScale scale() const;
    void show(const QVariant& value);
    void write(int position);

    QPointer<QSlider> slider_;
    QPointer<kvx::ModelDelegate> property_;
    double lowest_;
};

} // namespace playback

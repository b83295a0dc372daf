#include "render/state/ModelDelegate.h"

#include <QAbstractButton>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>

#include <cmath>

namespace kvx {

ModelDelegate::ModelDelegate(QObject* parent) : QObject(parent)
{}

Qt::ConnectionType ModelDelegate::connectionType() const
{
    return customConnectionType_ ? connectionType_ : Qt::AutoConnection;
}

void ModelDelegate::setConnectionType(Qt::ConnectionType type)
{
    customConnectionType_ = true;
    connectionType_ = type;
}

void ModelDelegate::remember(QObject* widget, QList<QMetaObject::Connection> connections)
{
    // A destroyed widget must not leave connections behind that point at it.
    connections.append(connect(widget, &QObject::destroyed, this, [this, widget] { unbind(widget); }));
    bindings_.append({widget, connections});
}

void ModelDelegate::unbind(QObject* widget)
{
    for (auto it = bindings_.begin(); it != bindings_.end();) {
        if (it->widget == widget || it->widget.isNull()) {
            for (const QMetaObject::Connection& c : std::as_const(it->connections))
                disconnect(c);
            it = bindings_.erase(it);
        } else {
            ++it;
        }
    }
}

void ModelDelegate::setRange(double min, double max)
{
    min_ = min;
    max_ = max;
    minVariant_ = min;
    maxVariant_ = max;
    hasRange_ = true;
    emit updateRange(minVariant_, maxVariant_);
}

void ModelDelegate::refresh()
{
    emit editData(value());
}

void ModelDelegate::setFromString(const QString& text)
{
    setValue(text);
}

void ModelDelegate::setValue(const QVariant&)
{}

void ModelDelegate::bindLineEdit(QLineEdit* edit)
{
    const auto type = connectionType();
    QList<QMetaObject::Connection> c;
    c << connect(
        edit, &QLineEdit::textChanged, this, [this](const QString& t) { setFromString(t); }, type);
    c << connect(this, &ModelDelegate::editData, edit, [this, edit](const QVariant&) {
        const QSignalBlocker block(edit);
        edit->setText(toString());
    });
    edit->setText(toString());
    remember(edit, c);
}

void ModelDelegate::bindButton(QAbstractButton* button)
{
    const auto type = connectionType();
    QList<QMetaObject::Connection> c;
    c << connect(
        button, &QAbstractButton::toggled, this, [this](bool on) { setValue(on); }, type);
    c << connect(this, &ModelDelegate::editData, button, [button](const QVariant& v) {
        const QSignalBlocker block(button);
        button->setChecked(v.toBool());
    });
    button->setChecked(value().toBool());
    remember(button, c);
}

template <typename Widget, typename Show, typename ShowRange>
void ModelDelegate::followRanged(Widget* widget, QMetaObject::Connection edited, Show show, ShowRange showRange)
{
    QList<QMetaObject::Connection> c{edited};
    c << connect(this, &ModelDelegate::editData, widget, show);
    c << connect(this, &ModelDelegate::updateRange, widget, showRange);
    if (hasRange_)
        showRange(minVariant_, maxVariant_);
    show(value());
    remember(widget, c);
}

void ModelDelegate::bindSlider(QSlider* slider, int scale)
{
    if (scale == 0)
        scale = 1;
    const auto type = connectionType();
    auto show = [slider, scale](const QVariant& v) {
        const double position = v.toDouble() * scale;
        const QSignalBlocker block(slider);
        slider->setValue(std::isfinite(position) ? int(std::lround(qBound(-2.0e9, position, 2.0e9))) : 0);
    };
    auto showRange = [slider, scale](const QVariant& min, const QVariant& max) {
        slider->setRange(int(std::lround(min.toDouble() * scale)), int(std::lround(max.toDouble() * scale)));
    };
    followRanged(slider,
                 connect(
                     slider, &QSlider::valueChanged, this,
                     [this, scale](int position) { setValue(double(position) / scale); }, type),
                 show, showRange);
}

void ModelDelegate::bindDoubleSpinBox(QDoubleSpinBox* box)
{
    const auto type = connectionType();
    auto show = [box](const QVariant& v) {
        const QSignalBlocker block(box);
        box->setValue(v.toDouble());
    };
    auto showRange = [box](const QVariant& min, const QVariant& max) { box->setRange(min.toDouble(), max.toDouble()); };
    followRanged(box,
                 connect(
                     box, &QDoubleSpinBox::valueChanged, this, [this](double v) { setValue(v); }, type),
                 show, showRange);
}

void ModelDelegate::bindSpinBox(QSpinBox* box)
{
    const auto type = connectionType();
    auto show = [box](const QVariant& v) {
        const QSignalBlocker block(box);
        box->setValue(v.toInt());
    };
    auto showRange = [box](const QVariant& min, const QVariant& max) {
        box->setRange(int(std::floor(min.toDouble())), int(std::ceil(max.toDouble())));
    };
    followRanged(box,
                 connect(
                     box, &QSpinBox::valueChanged, this, [this](int v) { setValue(v); }, type),
                 show, showRange);
}

void ModelDelegate::bindRadioButton(QRadioButton* button, const QVariant& fixedValue)
{
    const auto type = connectionType();
    auto show = [button, fixedValue](const QVariant& v) {
        // Numbers compare by value: an enumeration held by the property has no text form.
        bool numeric = false;
        bool fixedNumeric = false;
        const double x = v.toDouble(&numeric);
        const double y = fixedValue.toDouble(&fixedNumeric);
        const QSignalBlocker block(button);
        button->setChecked(numeric && fixedNumeric ? x == y : v.toString() == fixedValue.toString());
    };
    QList<QMetaObject::Connection> c;
    c << connect(
        button, &QRadioButton::toggled, this,
        [this, fixedValue](bool on) {
            if (on)
                setValue(fixedValue);
        },
        type);
    c << connect(this, &ModelDelegate::editData, button, show);
    show(value());
    remember(button, c);
}

} // namespace kvx

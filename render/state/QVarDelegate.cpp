#include "render/state/QVarDelegate.h"

namespace kvx {

QVarDelegate::QVarDelegate(Getter getter, Setter setter, QObject* parent)
    : ModelDelegate(parent), getter_(std::move(getter)), setter_(std::move(setter))
{}

void QVarDelegate::setTextFunctions(ToText toText, FromText fromText)
{
    toText_ = std::move(toText);
    fromText_ = std::move(fromText);
}

QVariant QVarDelegate::value() const
{
    return getter_ ? getter_() : QVariant();
}

QString QVarDelegate::toString() const
{
    const QVariant v = value();
    if (toText_)
        return toText_(v);
    return v.canConvert<QString>() ? v.toString() : QString();
}

void QVarDelegate::setFromString(const QString& text)
{
    setValue(fromText_ ? fromText_(text) : QVariant(text));
}

void QVarDelegate::setValue(const QVariant& value)
{
    if (setter_)
        setter_(value);
}

void QVarDelegate::setData(QVariant newValue)
{
    setValue(newValue);
}

} // namespace kvx

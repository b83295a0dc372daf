#include "render/state/ModelViewClass.h"

#include <QDebug>

#include <cmath>

namespace kvx {

namespace {

bool isNumeric(QMetaType type)
{
    switch (type.id()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Float:
    case QMetaType::Double:
        return true;
    default:
        return type.flags().testFlag(QMetaType::IsEnumeration);
    }
}

bool isFinite(const QVariant& v)
{
    if (v.metaType().id() == QMetaType::Double)
        return std::isfinite(v.toDouble());
    if (v.metaType().id() == QMetaType::Float)
        return std::isfinite(v.toFloat());
    return true;
}

} // namespace

ModelViewClass::ModelViewClass(QObject* parent) : QObject(parent)
{}

ModelViewClass::~ModelViewClass()
{
    qDeleteAll(delegates_);
}

QVariant ModelViewClass::convertedLike(const QVariant& prototype, const QVariant& value)
{
    const QMetaType target = prototype.metaType();
    if (value.metaType() == target)
        return value;
    if (!isNumeric(target)) {
        QVariant converted = value;
        return converted.convert(target) ? converted : QVariant();
    }
    QVariant converted = value;
    if (target.flags().testFlag(QMetaType::IsEnumeration)) {
        // Enumerations convert from integers only, so text and other numbers go through one.
        bool ok = false;
        const qlonglong n = value.toLongLong(&ok);
        converted = QVariant(qint32(ok ? n : 0));
    }
    if (converted.convert(target) && isFinite(converted))
        return converted;
    return QVariant(target);
}

bool ModelViewClass::storeValue(const QString& name, const QVariant& value)
{
    const auto it = values_.find(name);
    if (it == values_.end())
        return false;
    const QVariant converted = convertedLike(*it, value);
    if (!converted.isValid())
        return false;
    *it = converted;
    changed_ = true;
    return true;
}

float ModelViewClass::floatValue(const QString& name) const
{
    const QVariant v = values_.value(name);
    bool ok = false;
    const float f = v.toFloat(&ok);
    if (ok)
        return f;
    QVariant asBool = v;
    if (asBool.convert(QMetaType::fromType<bool>()))
        return asBool.toBool() ? 1.0f : 0.0f;
    qDebug() << "Cannot read" << name << "as float from" << v.typeName();
    return 0.0f;
}

double ModelViewClass::doubleValue(const QString& name) const
{
    return values_.value(name).toDouble();
}

int ModelViewClass::intValue(const QString& name) const
{
    return values_.value(name).toInt();
}

bool ModelViewClass::boolValue(const QString& name) const
{
    return values_.value(name).toBool();
}

QVarDelegate* ModelViewClass::registerDelegate(const QString& name, QVarDelegate::Getter getter,
                                               QVarDelegate::Setter setter)
{
    auto* d = new QVarDelegate(std::move(getter), std::move(setter));
    const auto it = delegateIndex_.constFind(name);
    if (it != delegateIndex_.constEnd()) {
        delete delegates_[*it];
        delegates_[*it] = d;
    } else {
        delegateIndex_.insert(name, int(delegates_.size()));
        delegates_.append(d);
    }
    return d;
}

QVarDelegate* ModelViewClass::delegate(const QString& name) const
{
    const auto it = delegateIndex_.constFind(name);
    return it == delegateIndex_.constEnd() ? nullptr : delegates_[*it];
}

} // namespace kvx

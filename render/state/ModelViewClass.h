#pragma once

#include "render/state/QVarDelegate.h"

#include <QHash>
#include <QMap>
#include <QObject>
#include <QString>
#include <QVariant>
#include <QVector>

namespace kvx {

// A set of named values with one delegate per exposed property, so every value can be read,
// written, bound to a widget or written as text by its name alone.
class ModelViewClass : public QObject {
    Q_OBJECT
public:
    explicit ModelViewClass(QObject* parent = nullptr);
    ~ModelViewClass() override;

    bool contains(const QString& name) const { return values_.contains(name); }
    QVariant value(const QString& name) const { return values_.value(name); }

    // Reads converting to the wanted type; a missing name reads as 0 / false.
    float floatValue(const QString& name) const;
    double doubleValue(const QString& name) const;
    int intValue(const QString& name) const;
    bool boolValue(const QString& name) const;

    bool isChanged() const { return changed_; }
    void setChanged(bool changed) { changed_ = changed; }

    // Replaces an earlier delegate of the same name.
    QVarDelegate* registerDelegate(const QString& name, QVarDelegate::Getter getter, QVarDelegate::Setter setter);
    QVarDelegate* delegate(const QString& name) const;
    // Names of every registered delegate, in no particular order.
    QList<QString> delegateNames() const { return delegateIndex_.keys(); }

    // The value converted to the type of prototype. Numbers that do not convert (unparsable or
    // non-finite text) become that type's zero; other types that do not convert give an invalid
    // variant, so the write can be refused.
    static QVariant convertedLike(const QVariant& prototype, const QVariant& value);

protected:
    // Stores value under an existing name, converted to the type already held there; false for
    // an unknown name or a value that cannot become that type.
    bool storeValue(const QString& name, const QVariant& value);
    void insertInitialValues(const QMap<QString, QVariant>& values) { values_ = values; }

private:
    QMap<QString, QVariant> values_;
    QHash<QString, int> delegateIndex_;
    QVector<QVarDelegate*> delegates_;
    bool changed_ = false;
};

} // namespace kvx

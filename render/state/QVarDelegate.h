#pragma once

#include "render/state/ModelDelegate.h"

#include <functional>

namespace kvx {

// A delegate made of four callables. Without a to-text function the value's own string form is
// used (empty when it has none); without a from-text function the text goes to the setter as a
// string, and the setter converts it to the property's type.
class QVarDelegate : public ModelDelegate {
    Q_OBJECT
public:
    using Getter = std::function<QVariant()>;
    using Setter = std::function<void(const QVariant&)>;
    using ToText = std::function<QString(const QVariant&)>;
    using FromText = std::function<QVariant(const QString&)>;

    QVarDelegate(Getter getter, Setter setter, QObject* parent = nullptr);

    void setTextFunctions(ToText toText, FromText fromText);

    QVariant value() const override;
    QString toString() const override;
    void setFromString(const QString& text) override;
    void setValue(const QVariant& value) override;

public slots:
    void setData(QVariant newValue);

private:
    Getter getter_;
    Setter setter_;
    ToText toText_;
    FromText fromText_;
};

} // namespace kvx

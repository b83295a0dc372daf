#pragma once

#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QVariant>

class QAbstractButton;
class QDoubleSpinBox;
class QLineEdit;
class QRadioButton;
class QSlider;
class QSpinBox;

namespace kvx {

// Mediates every access to one named property: reads, writes, its text form, its range and the
// widgets bound to it. Bindings are two-way: a widget's change writes the property, and
// editData() (sent after every write and by refresh()) brings the widget back in line without
// echoing the change back.
class ModelDelegate : public QObject {
    Q_OBJECT
public:
    explicit ModelDelegate(QObject* parent = nullptr);

    virtual bool persistent() const { return persistent_; }
    virtual void setPersistent(bool persistent) { persistent_ = persistent; }

    virtual void bindLineEdit(QLineEdit* edit);
    virtual void bindButton(QAbstractButton* button);
    // The slider shows value x scale; a slider move writes position / scale.
    virtual void bindSlider(QSlider* slider, int scale);
    virtual void bindDoubleSpinBox(QDoubleSpinBox* box);
    virtual void bindSpinBox(QSpinBox* box);
    // A radio button that stands for one fixed value: checking it writes that value, and it is
    // checked whenever the property holds it.
    virtual void bindRadioButton(QRadioButton* button, const QVariant& fixedValue);

    virtual void refresh();
    virtual QVariant value() const { return {}; }
    virtual QString toString() const { return {}; }
    virtual void setFromString(const QString& text);
    virtual void setConnectionType(Qt::ConnectionType type);
    // Forgets every connection made for the widget; the widget keeps its state.
    virtual void unbind(QObject* widget);
    virtual void setValue(const QVariant& value);

    void setRange(double min, double max);
    bool hasRange() const { return hasRange_; }
    double minimum() const { return min_; }
    double maximum() const { return max_; }

signals:
    void editData(QVariant newValue);
    void updateRange(QVariant newMin, QVariant newMax);

private:
    struct Binding {
        QPointer<QObject> widget;
        QList<QMetaObject::Connection> connections;
    };
    Qt::ConnectionType connectionType() const;
    void remember(QObject* widget, QList<QMetaObject::Connection> connections);
    // Shared tail of the ranged bindings: follow value and range changes, show both now.
    template <typename Widget, typename Show, typename ShowRange>
    void followRanged(Widget* widget, QMetaObject::Connection edited, Show show, ShowRange showRange);

    double min_ = 0.0;
    double max_ = 0.0;
    QVariant minVariant_;
    QVariant maxVariant_;
    bool hasRange_ = false;
    QList<Binding> bindings_;
    bool customConnectionType_ = false;
    Qt::ConnectionType connectionType_ = Qt::AutoConnection;
    bool persistent_ = false;
};

} // namespace kvx

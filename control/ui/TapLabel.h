#pragma once

#include <QLabel>

// A label the user can tap, like the value labels that open the touch pad.
class TapLabel : public QLabel {
    Q_OBJECT
public:
    explicit TapLabel(QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

#pragma once

#include "control/dialogs/TouchPadEntry.h"

#include <QDialog>

class QLabel;

// A numeric keypad for the touch screen: the user types a number, the caller reads its whole
// part after exec() returns accepted and applies its own limits (shown under the value).
class TouchPad : public QDialog {
    Q_OBJECT
public:
    TouchPad(const QString& title, int initial, int minimum, int maximum, double scale, QWidget* parent = nullptr);

    int value() const { return entry_.value(); }
    QString shownText() const;

public slots:
    void DigitClicked();
    void DigitDeleted();
    void SetPoint();
    void ClearAll();
    void ChangeSign();

private:
    void showEntry();

    TouchPadEntry entry_;
    QLabel* value_;
};

#pragma once

#include <QString>

// What the touch pad shows while a number is typed, and the number it stands for.
class TouchPadEntry {
public:
    static constexpr int MaxLength = 9;

    explicit TouchPadEntry(int initial = 0);

    QString text() const { return text_; }
    bool isNegativePending() const { return negativePending_; }
    // The whole part of the text: a fraction is dropped, toward zero ("-7.9" is -7).
    int value() const;

    // The first digit after opening, or one typed over "0", replaces the shown value (a pending
    // minus sign stays); later ones are appended while the text has fewer than 9 characters.
    void digit(int d);
    // A decimal point, once, within the same length; first after opening it starts "0.".
    void point();
    // The last character goes; nothing left shows "0".
    void deleteLast();
    void clearAll();
    // Toggles a leading "-" on a value other than 0; on 0 only the pending sign.
    void changeSign();

private:
    bool isZero() const { return text_ == QLatin1String("0") || text_ == QLatin1String("-0"); }
    bool hasRoom() const;

    QString text_;
    bool negativePending_ = false;
    bool replaceNext_ = true;
};

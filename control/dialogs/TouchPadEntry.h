#pragma once

#include <QString>

// What the touch pad shows while a number is typed, and the number it stands for.
class TouchPadEntry {
public:
    static constexpr int MaxDigits = 9;

    explicit TouchPadEntry(int initial = 0);

    QString text() const { return text_; }
    bool isNegativePending() const { return negativePending_; }
    // The text as an integer.
    int value() const;

    // The first digit after opening, or one typed over "0", replaces the shown value (a pending
    // minus sign stays); later ones are appended up to 9 digits.
    void digit(int d);
    // The last character goes; nothing left shows "0".
    void deleteLast();
    void clearAll();
    // Toggles a leading "-" on a value other than 0; on 0 only the pending sign.
    void changeSign();

private:
    bool isZero() const { return text_ == QLatin1String("0") || text_ == QLatin1String("-0"); }

    QString text_;
    bool negativePending_ = false;
    bool replaceNext_ = true;
};

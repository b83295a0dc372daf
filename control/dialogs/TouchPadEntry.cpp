#include "control/dialogs/TouchPadEntry.h"

TouchPadEntry::TouchPadEntry(int initial) : text_(QString::number(initial))
{}

int TouchPadEntry::value() const
{
    return text_.toInt(); // at most 9 digits: always fits
}

void TouchPadEntry::digit(int d)
{
    if (d < 0 || d > 9)
        return;
    const QString digitText = QString::number(d);
    if (replaceNext_ || isZero()) {
        replaceNext_ = false;
        text_ = negativePending_ && d != 0 ? QLatin1Char('-') + digitText : digitText;
        if (d != 0)
            negativePending_ = false;
        return;
    }
    const int limit = text_.startsWith(QLatin1Char('-')) ? MaxDigits + 1 : MaxDigits;
    if (text_.size() < limit)
        text_ += digitText;
}

void TouchPadEntry::deleteLast()
{
    replaceNext_ = false;
    text_.chop(1);
    if (text_.isEmpty() || text_ == QLatin1String("-"))
        text_ = QStringLiteral("0");
}

void TouchPadEntry::clearAll()
{
    replaceNext_ = false;
    text_ = QStringLiteral("0");
    negativePending_ = false;
}

void TouchPadEntry::changeSign()
{
    replaceNext_ = false;
    if (isZero()) {
        negativePending_ = !negativePending_;
        text_ = QStringLiteral("0");
    } else if (text_.startsWith(QLatin1Char('-'))) {
        text_.remove(0, 1);
    } else {
        text_.prepend(QLatin1Char('-'));
    }
}

#include "control/dialogs/TouchPadEntry.h"

TouchPadEntry::TouchPadEntry(int initial) : text_(QString::number(initial))
{}

int TouchPadEntry::value() const
{
    // At most 9 digits: always fits. "-0.5" gives "-0", which is 0.
    return text_.section(QLatin1Char('.'), 0, 0).toInt();
}

bool TouchPadEntry::hasRoom() const
{
    return text_.size() < (text_.startsWith(QLatin1Char('-')) ? MaxLength + 1 : MaxLength);
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
    if (hasRoom())
        text_ += digitText;
}

void TouchPadEntry::point()
{
    if (replaceNext_ || isZero()) {
        replaceNext_ = false;
        // The pending sign goes into the text: "-0.5" is typed as a negative number.
        text_ = negativePending_ ? QStringLiteral("-0.") : QStringLiteral("0.");
        negativePending_ = false;
    } else if (!text_.contains(QLatin1Char('.')) && hasRoom()) {
        text_ += QLatin1Char('.');
    }
}

void TouchPadEntry::deleteLast()
{
    replaceNext_ = false;
    text_.chop(1);
    if (text_.isEmpty() || text_ == QLatin1String("-"))
        text_ = QStringLiteral("0");
    if (text_ == QLatin1String("-0")) { // left of "-0.": the sign is pending again
        text_ = QStringLiteral("0");
        negativePending_ = true;
    }
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

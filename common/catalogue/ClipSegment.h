#pragma once

#include <QList>
#include <QMetaType>

// An inclusive range of frame numbers. A range whose first is greater than its last is empty;
// nextMissingRange() answers with such a range when nothing is missing.
struct ClipSegment {
    qint64 first = 0;
    qint64 last = -1;

    bool isEmpty() const { return first > last; }
    // Unsigned so that even [0, INT64_MAX] has a length.
    quint64 length() const { return isEmpty() ? 0 : quint64(last) - quint64(first) + 1; }
    bool operator==(const ClipSegment&) const = default;
};

Q_DECLARE_METATYPE(ClipSegment)

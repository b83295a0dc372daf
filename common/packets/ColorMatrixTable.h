#pragma once

#include "common/packets/ColorMatrixRecord.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <optional>

// The recorder's table of colour matrices: the payload of its reply to the colour-matrix query
// (ParameterPacket code 15, form 1). A count, a 32-bit value and count records of 52 bytes.
struct ColorMatrixTable {
    static constexpr qsizetype HeadSize = 8;

    quint32 value = 0;
    QList<ColorMatrixRecord> records;

    QByteArray encode() const; // the payload only; wrap it in a ParameterPacket to send it
    // Fails for a payload shorter than its head. A count larger than the records the payload
    // holds is cut to those (with a debug line), so a lying count never reads past the datagram;
    // a trailing partial record is ignored.
    static std::optional<ColorMatrixTable> decode(QByteArrayView payload);
    bool operator==(const ColorMatrixTable&) const = default;
};

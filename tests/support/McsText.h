#pragma once

#include <QByteArray>
#include <QList>

// MCS (Intel HEX) text for tests: data records of up to 16 bytes under extended linear address
// records, and the end record.
namespace McsText {

inline QByteArray record(quint8 type, quint16 address, const QByteArray& data)
{
    QByteArray bytes;
    bytes.append(char(data.size()));
    bytes.append(char(address >> 8));
    bytes.append(char(address & 0xFF));
    bytes.append(char(type));
    bytes.append(data);
    quint8 sum = 0;
    for (char c : bytes)
        sum += quint8(c);
    bytes.append(char(quint8(-sum)));
    return ":" + bytes.toHex().toUpper() + "\r\n";
}

inline QByteArray endRecord()
{
    return record(1, 0, {});
}

// The records for data placed at a 32-bit address (no end record).
inline QByteArray dataRecords(quint32 address, const QByteArray& data)
{
    QByteArray text;
    quint32 upper = 0xFFFFFFFF;
    for (qsizetype at = 0; at < data.size(); at += 16) {
        const quint32 a = address + quint32(at);
        if (a >> 16 != upper) {
            upper = a >> 16;
            text += record(4, 0, QByteArray::fromHex(QByteArray::number(upper, 16).rightJustified(4, '0')));
        }
        text += record(0, quint16(a & 0xFFFF), data.mid(at, 16));
    }
    return text;
}

// Segments (address, bytes) in order, then the end record.
inline QByteArray image(const QList<QPair<quint32, QByteArray>>& segments)
{
    QByteArray text;
    for (const auto& [address, bytes] : segments)
        text += dataRecords(address, bytes);
    return text + endRecord();
}

// Bytes that differ from packet to packet.
inline QByteArray pattern(qsizetype size, quint32 seed = 1)
{
    QByteArray out(size, '\0');
    quint32 x = seed * 2654435761u + 1;
    for (char& c : out) {
        x = x * 1664525u + 1013904223u;
        c = char(x >> 24);
    }
    return out;
}

} // namespace McsText

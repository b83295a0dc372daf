#include "control/firmware/McsImage.h"

#include <QCoreApplication>
#include <QLoggingCategory>

#include <algorithm>

Q_LOGGING_CATEGORY(lcMcs, "vlm.control.firmware")

namespace {

enum RecordType { Data = 0, EndOfFile = 1, ExtendedLinearAddress = 4 };

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// The hex pairs from at on: count bytes, or nothing when the text ends first or holds a
// character that is no hex digit.
std::optional<QByteArray> hexBytes(QByteArrayView text, qsizetype at, qsizetype count)
{
    if (at + 2 * count > text.size())
        return std::nullopt;
    QByteArray out(count, '\0');
    for (qsizetype i = 0; i < count; ++i) {
        const int high = hexDigit(text[at + 2 * i]);
        const int low = hexDigit(text[at + 2 * i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        out[i] = char(high << 4 | low);
    }
    return out;
}

} // namespace

bool McsImage::fail(const QString& detail)
{
    qCDebug(lcMcs, "MCS file refused: %s", qPrintable(detail));
    error_ = QCoreApplication::translate("McsImage", "Unable to parse MCS firmware file.");
    return false;
}

bool McsImage::parse(QByteArrayView text)
{
    *this = McsImage();
    quint32 base = 0;
    std::optional<quint64> previousEnd;
    bool ended = false;
    for (qsizetype at = text.indexOf(':'); at >= 0 && !ended; at = text.indexOf(':', at)) {
        ++at;
        const auto count = hexBytes(text, at, 1);
        if (!count)
            return fail(QStringLiteral("record cut short or not hex at %1").arg(at));
        const qsizetype n = uchar(count->at(0));
        const auto record = hexBytes(text, at, 5 + n);
        if (!record)
            return fail(QStringLiteral("record cut short or not hex at %1").arg(at));
        at += 2 * (5 + n);
        uchar sum = 0;
        for (char b : *record)
            sum += uchar(b);
        if (sum != 0)
            return fail(QStringLiteral("record checksum wrong before %1").arg(at));
        const auto byte = [&](qsizetype i) { return quint32(uchar(record->at(i))); };
        const int type = int(byte(3));
        if (type == EndOfFile) {
            ended = true;
        } else if (type == ExtendedLinearAddress) {
            if (n != 2)
                return fail(QStringLiteral("address record of %1 bytes").arg(n));
            base = (byte(4) << 8 | byte(5)) << 16;
        } else if (type == Data) {
            if (n == 0)
                continue;
            const quint64 address = (base & 0xFFFF0000u) | (byte(1) << 8 | byte(2));
            if (address + quint64(n) > Capacity)
                return fail(QStringLiteral("data beyond the image at 0x%1").arg(address, 0, 16));
            if (previousEnd && *previousEnd != address)
                qCDebug(lcMcs, "Detected discontinuity from %llx to %llx", *previousEnd, address);
            previousEnd = address + quint64(n);
            addSegment(quint32(address), quint32(address + quint64(n)));
            if (bytes_.size() < qsizetype(*previousEnd))
                bytes_.resize(qsizetype(*previousEnd), '\0');
            std::copy(record->begin() + 4, record->begin() + 4 + n, bytes_.begin() + qsizetype(address));
        } else {
            return fail(QStringLiteral("record of unknown type %1").arg(type));
        }
    }
    // A file cut at a record boundary must not pass for a whole image.
    if (!ended)
        return fail(QStringLiteral("no end record"));
    if (segments_.isEmpty())
        return fail(QStringLiteral("no data"));
    for (const Segment& s : segments_)
        qCDebug(lcMcs, "Segment-> first: %x last: %x", s.first, s.end - 1);
    buildRuns();
    if (totalPackets_ > MaxPackets) {
        error_ = QCoreApplication::translate(
                     "McsImage", "The firmware image needs %1 packets, more than the Velmor can verify (%2).")
                     .arg(totalPackets_)
                     .arg(MaxPackets);
        return false;
    }
    return true;
}

// Overlapping and touching ranges become one, so no byte is sent twice.
void McsImage::addSegment(quint32 first, quint32 end)
{
    auto at = std::lower_bound(segments_.begin(), segments_.end(), first,
                               [](const Segment& s, quint32 value) { return s.first < value; });
    at = segments_.insert(at, Segment{first, end});
    if (at != segments_.begin() && std::prev(at)->end >= at->first) {
        --at;
        at->end = qMax(at->end, std::next(at)->end);
        segments_.erase(std::next(at));
    }
    while (std::next(at) != segments_.end() && std::next(at)->first <= at->end) {
        at->end = qMax(at->end, std::next(at)->end);
        segments_.erase(std::next(at));
    }
}

void McsImage::buildRuns()
{
    constexpr quint32 RunBytes = RunPackets * PacketSize;
    quint32 packet = 0;
    for (const Segment& s : segments_) {
        for (quint32 start = s.first; start < s.end; start += qMin(RunBytes, s.end - start)) {
            const quint32 end = start + qMin(RunBytes, s.end - start);
            const quint32 count = (end - start - 1) / PacketSize + 1;
            runs_.append(Run{start, end, packet, count});
            packet += count;
            totalBytes_ += end - start;
        }
    }
    totalPackets_ = packet;
}

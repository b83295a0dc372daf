#include "common/packets/SerialFrame.h"

#include "common/wire/LittleEndian.h"

namespace kvx {

const QByteArray& SerialFrame::pattern()
{
    static const QByteArray bytes = QByteArray::fromHex("fff0ff0fffff");
    return bytes;
}

quint32 SerialFrame::checksum(QByteArrayView bytes)
{
    quint64 sum = 0;
    for (qsizetype at = 0; at < bytes.size(); at += 4) {
        uchar word[4] = {0, 0, 0, 0};
        for (qsizetype i = at; i < qMin(at + 4, bytes.size()); ++i)
            word[i - at] = uchar(bytes[i]);
        sum += qFromLittleEndian<quint32>(word);
        if (sum >> 32)
            sum = (sum >> 32) + (sum & 0xFFFFFFFFu);
    }
    return quint32(sum);
}

std::optional<QByteArray> SerialFrame::encode(QByteArrayView payload)
{
    if (payload.size() > MaxPayload)
        return std::nullopt;
    const quint16 length = quint16(payload.size() + Overhead);
    QByteArray frame = pattern();
    frame.append(wire::zeroed(4));
    wire::Writer w(frame);
    w.u16(6, length);
    w.u16(8, length);
    frame.append(payload);
    const qsizetype end = frame.size();
    frame.append(wire::zeroed(4));
    wire::Writer(frame).u32(end, checksum(QByteArrayView(frame).first(end)));
    return frame;
}

void SerialFrameReader::feed(QByteArrayView bytes, const Deliver& deliver)
{
    QByteArray pending = bytes.toByteArray();
    qsizetype next = 0;
    while (next < pending.size()) {
        if (take(pending[next++], deliver))
            continue;
        // Drop the first byte held and read the rest again: a frame may begin inside them.
        const QByteArray again = frame_.mid(1);
        frame_.clear();
        pending.replace(0, next, again);
        next = 0;
    }
}

bool SerialFrameReader::take(char byte, const Deliver& deliver)
{
    frame_.append(byte);
    const qsizetype at = frame_.size();
    if (at <= SerialFrame::pattern().size())
        return byte == SerialFrame::pattern()[at - 1];
    if (at < SerialFrame::HeadSize)
        return true;
    if (at == SerialFrame::HeadSize) {
        const wire::Reader r(frame_);
        expected_ = r.u16(6);
        return r.u16(6) == r.u16(8) && expected_ >= SerialFrame::Overhead && expected_ <= SerialFrame::MaxReceivedFrame;
    }
    if (at < expected_)
        return true;
    const qsizetype body = expected_ - 4;
    if (wire::Reader(frame_).u32(body) != SerialFrame::checksum(QByteArrayView(frame_).first(body)))
        return false;
    const QByteArray frame = std::exchange(frame_, {});
    deliver(QByteArrayView(frame).sliced(SerialFrame::HeadSize, body - SerialFrame::HeadSize));
    return true;
}

} // namespace kvx

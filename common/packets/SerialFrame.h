#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <functional>
#include <optional>

namespace kvx {

// A packet carried over a byte stream (the recorder's Bluetooth serial service): a 6-byte
// synchronisation pattern FF F0 FF 0F FF FF, the whole frame's length twice (16 bits each), the
// packet, and a checksum of everything before it.
struct SerialFrame {
    static constexpr qsizetype HeadSize = 10;
    static constexpr qsizetype Overhead = 14; // head and checksum
    // The recorder's send buffer holds 256 bytes, so a packet may have at most 242.
    static constexpr qsizetype MaxFrame = 256;
    static constexpr qsizetype MaxPayload = MaxFrame - Overhead;
    // The largest frame a reader accepts: what the recorder may send.
    static constexpr qsizetype MaxReceivedFrame = 2048;
    static const QByteArray& pattern();

    // The frame around payload; nothing for a payload longer than MaxPayload.
    static std::optional<QByteArray> encode(QByteArrayView payload);
    // 32-bit little-endian words (the tail zero-padded) added with the carry folded back in.
    // It does not see two words swapped, but the recorder computes the same value.
    static quint32 checksum(QByteArrayView bytes);
};

// Finds frames in a byte stream received in pieces of any size. Frames whose lengths differ,
// are out of range or whose checksum fails are dropped; the reader then looks for the next
// pattern in the bytes after the dropped frame's first byte, so a frame that follows garbage or
// a cut frame is still found.
class SerialFrameReader {
public:
    using Deliver = std::function<void(QByteArrayView payload)>;

    void feed(QByteArrayView bytes, const Deliver& deliver);
    void reset() { frame_.clear(); }

private:
    // Takes one byte; false when the bytes held so far cannot begin a frame.
    bool take(char byte, const Deliver& deliver);

    QByteArray frame_; // the bytes of the frame being read, from its pattern on
    qsizetype expected_ = 0;
};

} // namespace kvx

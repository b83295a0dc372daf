#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace fuzz {

inline QByteArrayView bytes(const uint8_t* data, size_t size)
{
    return QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size));
}

inline QByteArrayView view(const std::vector<char>& piece)
{
    return QByteArrayView(piece.data(), qsizetype(piece.size()));
}

// A harness's own check failed: abort, so libFuzzer keeps the input as a crash.
inline void require(bool condition)
{
    if (!condition)
        std::abort();
}

// Cuts one fuzz input into a sequence of datagrams or pieces: each is a 16-bit little-endian
// length and that many bytes (the last one cut to what is left). Each piece is a heap block of
// exactly its size, so AddressSanitizer catches a read past its end.
class Pieces {
public:
    explicit Pieces(QByteArrayView input) : rest_(input) {}
    bool atEnd() const { return rest_.isEmpty(); }
    quint8 byte();
    std::vector<char> next();

private:
    QByteArrayView rest_;
};

// The input as a file of a scratch folder of this process (the readers under test open paths).
QString writeScratchFile(QByteArrayView content);

// For a decoder whose decode(encode(p)) must give p back: compares the encodings, so float
// fields holding NaN compare too.
template <typename Packet, typename Decode>
void requireStableEncoding(const Packet& packet, Decode decode)
{
    const QByteArray once = packet.encode();
    const auto again = decode(QByteArrayView(once));
    require(again.has_value() && again->encode() == once);
}

} // namespace fuzz

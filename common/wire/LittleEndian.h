#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtEndian>

#include <cstring>
#include <type_traits>

namespace kvx::wire {

// Read-only little-endian view over bytes received from a peer. Every read names its offset and
// is checked against the size first; a read outside the bytes yields zero and marks the view
// as overrun, so a decoder can reject the packet instead of reading past the datagram.
class Reader {
public:
    Reader(const void* data, qsizetype size) : data_(static_cast<const uchar*>(data)), size_(data ? size : 0) {}
    explicit Reader(QByteArrayView bytes) : Reader(bytes.data(), bytes.size()) {}

    qsizetype size() const { return size_; }
    bool has(qsizetype offset, qsizetype count) const
    {
        return offset >= 0 && count >= 0 && offset <= size_ && count <= size_ - offset;
    }
    bool overrun() const { return overrun_; }

    template <typename T>
    T at(qsizetype offset) const
    {
        static_assert(std::is_arithmetic_v<T>);
        if (!has(offset, qsizetype(sizeof(T)))) {
            overrun_ = true;
            return T{};
        }
        if constexpr (std::is_floating_point_v<T>) {
            using Bits = std::conditional_t<sizeof(T) == 4, quint32, quint64>;
            const Bits bits = qFromLittleEndian<Bits>(data_ + offset);
            T value;
            std::memcpy(&value, &bits, sizeof value);
            return value;
        } else {
            return qFromLittleEndian<T>(data_ + offset);
        }
    }
    quint8 u8(qsizetype offset) const { return at<quint8>(offset); }
    quint16 u16(qsizetype offset) const { return at<quint16>(offset); }
    qint16 i16(qsizetype offset) const { return at<qint16>(offset); }
    quint32 u32(qsizetype offset) const { return at<quint32>(offset); }
    quint64 u64(qsizetype offset) const { return at<quint64>(offset); }
    float f32(qsizetype offset) const { return at<float>(offset); }

    // Copies count bytes at offset into out; false (and nothing copied) when they are not there.
    bool copy(qsizetype offset, void* out, qsizetype count) const
    {
        if (!has(offset, count)) {
            overrun_ = true;
            return false;
        }
        std::memcpy(out, data_ + offset, size_t(count));
        return true;
    }
    QByteArrayView view(qsizetype offset, qsizetype count) const
    {
        if (!has(offset, count)) {
            overrun_ = true;
            return {};
        }
        return QByteArrayView(data_ + offset, count);
    }

private:
    const uchar* data_;
    qsizetype size_;
    mutable bool overrun_ = false;
};

// Little-endian writer into a caller's buffer of fixed size. Packet layouts are fixed, so a write
// outside the buffer is a programming error: it is refused (and asserted in debug builds).
class Writer {
public:
    Writer(void* data, qsizetype size) : data_(static_cast<uchar*>(data)), size_(size) {}
    explicit Writer(QByteArray& bytes) : Writer(bytes.data(), bytes.size()) {}

    template <typename T>
    void put(qsizetype offset, T value)
    {
        static_assert(std::is_arithmetic_v<T>);
        const bool fits = offset >= 0 && qsizetype(sizeof(T)) <= size_ - offset;
        Q_ASSERT(fits);
        if (!fits)
            return;
        if constexpr (std::is_floating_point_v<T>) {
            using Bits = std::conditional_t<sizeof(T) == 4, quint32, quint64>;
            Bits bits;
            std::memcpy(&bits, &value, sizeof bits);
            qToLittleEndian<Bits>(bits, data_ + offset);
        } else {
            qToLittleEndian<T>(value, data_ + offset);
        }
    }
    void u8(qsizetype offset, quint8 v) { put(offset, v); }
    void u16(qsizetype offset, quint16 v) { put(offset, v); }
    void i16(qsizetype offset, qint16 v) { put(offset, v); }
    void u32(qsizetype offset, quint32 v) { put(offset, v); }
    void u64(qsizetype offset, quint64 v) { put(offset, v); }
    void f32(qsizetype offset, float v) { put(offset, v); }
    void bytes(qsizetype offset, const void* src, qsizetype count)
    {
        const bool fits = offset >= 0 && count >= 0 && count <= size_ - offset;
        Q_ASSERT(fits);
        if (fits && count > 0)
            std::memcpy(data_ + offset, src, size_t(count));
    }

private:
    uchar* data_;
    qsizetype size_;
};

// A zero-filled buffer of the given size, for building a packet with a Writer.
inline QByteArray zeroed(qsizetype size)
{
    return QByteArray(size, '\0');
}

} // namespace kvx::wire

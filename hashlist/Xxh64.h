#pragma once

#include <QString>

#include <memory>
#include <optional>

// The 64-bit xxHash (seed 0) of a stream of bytes, fed in pieces.
class Xxh64 {
public:
    Xxh64();
    ~Xxh64();
    Xxh64(const Xxh64&) = delete;
    Xxh64& operator=(const Xxh64&) = delete;

    void update(const void* data, qint64 size);
    quint64 digest() const;

    // 16 lowercase hexadecimal digits, most significant first, as MHL files and xxhsum write it.
    static QString hex(quint64 digest);
    // The digest of such a text; nothing unless it is exactly 16 hexadecimal digits.
    static std::optional<quint64> parseHex(QStringView text);
    // Reads the whole file once; nothing when it cannot be read to its end.
    static std::optional<quint64> ofFile(const QString& path);

private:
    struct State;
    std::unique_ptr<State> state_;
};

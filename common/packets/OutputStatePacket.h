#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <array>
#include <optional>

// The recorder's current paint and lens values: the magic and 26 signed 16-bit values.
struct OutputStatePacket {
    static constexpr qsizetype Size = 56;
    static constexpr int ValueCount = 26;

    std::array<qint16, ValueCount> values{};

    QByteArray encode() const;
    static std::optional<OutputStatePacket> decode(QByteArrayView datagram);
    bool operator==(const OutputStatePacket&) const = default;
};

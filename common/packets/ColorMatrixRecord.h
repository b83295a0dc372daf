#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <array>
#include <optional>

// One colour-correction matrix of a recorder, made for one colour temperature: 13 consecutive
// little-endian 32-bit fields as the recorder sends them.
struct ColorMatrixRecord {
    static constexpr qsizetype Size = 52;

    qint32 temperature = 0;        // kelvin
    std::array<float, 9> matrix{}; // row by row: row = output channel, column = input channel
    std::array<float, 3> extra{};  // carried, not used

    float element(int row, int column) const { return matrix[size_t(row * 3 + column)]; }

    QByteArray encode() const;
    // Fails for fewer than 52 bytes.
    static std::optional<ColorMatrixRecord> decode(QByteArrayView bytes);
    bool operator==(const ColorMatrixRecord&) const = default;
};

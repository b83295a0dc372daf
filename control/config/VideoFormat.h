#pragma once

#include <QString>

#include <array>

struct StatusPacket;

// A video format as one byte: bit 0 fractional rate (rate / 1.001), bits 1-4 resolution code,
// bits 5-7 frequency code. The SDI output, the genlock configuration and the genlock input the
// recorder detects all use it.
struct VideoFormat {
    // Codes the selection buttons offer, in button order.
    static constexpr std::array<int, 5> Resolutions{9, 8, 7, 6, 5};
    static constexpr std::array<int, 5> Frequencies{5, 4, 3, 2, 1};

    int resolution = 0; // 0: none
    int frequency = 0;  // 0: none
    bool fractional = false;

    static VideoFormat fromByte(quint8 byte);
    quint8 byte() const;
    // A known resolution and a known frequency: only such a format is sent to a recorder.
    bool isComplete() const;
    bool operator==(const VideoFormat&) const = default;

    // "1080p"; empty for an unknown code.
    static QString resolutionText(int code);
    // "60 Hz", or with the fractional flag "59.940 Hz"; empty for an unknown code.
    static QString frequencyText(int code, bool fractional);
};

// The genlock configuration: its format in the low byte, and one on/off option in bit 33.
struct GenlockConfig {
    static constexpr quint64 OptionBit = 1ull << 33;

    VideoFormat format;
    bool option = false;

    static GenlockConfig fromWord(quint64 word);
    quint64 word() const;
};

// What the genlock page shows about the genlock input and the oscillator, as rich text.
QString genlockStatusText(const StatusPacket& status);

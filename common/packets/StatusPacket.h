#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <array>
#include <optional>

// The 104-byte status record a recorder sends periodically to the control program that asked
// for it. Bytes the programs do not interpret are carried in the unnamed fields unchanged.
struct StatusPacket {
    static constexpr qsizetype Size = 104;

    // Bits of stateFlags.
    enum Flag : quint64 {
        Recording = 1ull << 0,
        OscillatorLocked = 1ull << 6,
        GenlockLocked = 1ull << 7,
        ToolbarFlagInverted = 1ull << 10, // shown inverted by the configuration toolbar
        ToolbarFlag = 1ull << 11,
        LoopPlayback = 1ull << 16,
    };

    std::array<quint8, 12> unnamed4{};
    quint64 playbackPosition = 0; // frame
    quint64 clipFrames = 0;       // frames of the clip being played
    std::array<quint8, 16> unnamed32{};
    quint64 stateFlags = 0;
    double frameRate = 0.0;   // frames per second
    double shutterTime = 0.0; // microseconds
    quint64 diskCapacity = 0;
    quint64 diskFree = 0;     // same unit as the capacity
    quint8 genlockFormat = 0; // detected: bit 0 fractional, bits 1-4 resolution, bits 5-7 frequency
    quint8 sdiFormat = 0;     // in use, same bit layout
    std::array<quint8, 6> unnamed90{};
    qint32 selectedClip = -1; // index in the recorder's clip list, -1 none
    std::array<quint8, 4> unnamed100{};

    bool has(Flag flag) const { return stateFlags & flag; }
    void set(Flag flag, bool on) { stateFlags = on ? stateFlags | flag : stateFlags & ~quint64(flag); }

    QByteArray encode() const;
    // Fails (with a debug line) for a datagram shorter than 104 bytes or with another magic.
    static std::optional<StatusPacket> decode(QByteArrayView datagram);
    bool operator==(const StatusPacket&) const = default;
};

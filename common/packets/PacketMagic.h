#pragma once

#include "common/wire/LittleEndian.h"

#include <QLoggingCategory>

#include <optional>

Q_DECLARE_LOGGING_CATEGORY(lcPackets)

namespace kvx {

// First word of every binary packet exchanged with a recorder.
namespace magic {
inline constexpr quint32 Status = 0xABCD0001;
inline constexpr quint32 ClipInfo = 0xABCD0002;
inline constexpr quint32 Parameter = 0xABCD0004;
inline constexpr quint32 OutputState = 0xABCD0005;
inline constexpr quint32 RecorderInfo = 0xABCD0006;
inline constexpr quint32 DiscoveryRequest = 0xABCD0007;
inline constexpr quint32 TxRequest = 0xABCD0FFD; // data request, status query, missing list and events
inline constexpr quint32 TxStatus = 0xABCD0FFE;
inline constexpr quint32 TxPacket = 0xABCD0FFF;
} // namespace magic

// The magic of a datagram, or nothing when it is shorter than one word.
inline std::optional<quint32> peekMagic(QByteArrayView datagram)
{
    if (datagram.size() < 4)
        return std::nullopt;
    return wire::Reader(datagram).u32(0);
}

// Logs why a datagram was refused; every decoder uses it so the log reads the same everywhere.
void logRejected(const char* packet, qsizetype size, qsizetype needed);

} // namespace kvx

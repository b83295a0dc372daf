#pragma once

#include <QByteArrayView>

namespace kvx {

// The checksum both the firmware programmer and the recorder compute over an uploaded range.
// Bytes are taken in groups of 4 (the last may be shorter); a group is built big-endian by
// shifting left 8 bits and OR-ing in each byte sign-extended to 64 bits (so a byte of 0x80 or
// more sets every higher bit), and the groups are added with end-around carry. Empty gives 0.
quint64 firmwareChecksum(QByteArrayView bytes);

} // namespace kvx

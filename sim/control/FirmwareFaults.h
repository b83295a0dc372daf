#pragma once

#include <QtGlobal>

#include <optional>

// Faults the simulated recorder can show while it is being programmed.
struct FirmwareFaults {
    int dropDataPercent = 0; // data packets thrown away unseen, chosen at random from seed
    quint32 seed = 1;
    // The image byte at this offset is stored with its lowest bit flipped. The checksum sees such
    // a change for certain only in the last byte of a 4-byte group of the checked range (range
    // start + 4k + 3): a later byte of 0x80 or more in the same group hides the bytes before it.
    std::optional<quint32> corruptOffset;
    bool neverStartWriting = false; // the flash write command is acknowledged but not started
};

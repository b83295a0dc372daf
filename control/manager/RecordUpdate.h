#pragma once

#include "control/link/RecorderRecords.h"

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// How one packet from a recorder changes its records, and what the window is told about it.
// Packets shorter or longer than their record, replies whose payload does not match their code,
// and packets of unknown kinds change nothing (with a debug line); nothing is read past a
// packet's end. Clip list packets are gathered elsewhere.
namespace RecordUpdate {

// Bits of the change mask.
enum Change {
    StatusUpdated = 1,
    DiskChanged = 2,     // with StatusUpdated
    PositionChanged = 4, // with StatusUpdated
    ClipListChanged = 8,
    InfoReceived = 16,
    BasicInfoReceived = 32, // sent with StatusUpdated
};

struct Result {
    int mask = 0;                             // 0: nothing for the window
    std::optional<QByteArray> firmwareStatus; // a code 14 reply, for the firmware programmer
};

Result apply(RecorderRecords& records, QByteArrayView packet);

// A genlock configuration byte without a resolution or without a frequency is stored as 0xAF.
quint8 normalisedGenlockByte(quint8 byte);

} // namespace RecordUpdate

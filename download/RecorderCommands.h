#pragma once

#include "common/packets/ParameterPacket.h"

// The command datagrams the clips manager sends to a recorder's command port.
namespace RecorderCommands {

// Tells the recorder where to send its clip lists and replies: the discovery socket's port.
ParameterPacket portAnnouncement(quint16 discoveryPort);
// Asks for the paint options (the recorder answers with its output state).
ParameterPacket updatePaintOptions();
// Asks for the table of colour matrices.
ParameterPacket fetchMatrices();

} // namespace RecorderCommands

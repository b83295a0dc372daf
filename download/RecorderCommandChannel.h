#pragma once

#include "common/packets/ParameterPacket.h"
#include "common/packets/RecorderInfoPacket.h"

// How the download code reaches a recorder's command port: through the clips manager's
// discovery socket, the port recorders send their answers to.
class RecorderCommandChannel {
public:
    virtual ~RecorderCommandChannel() = default;
    // To the command port of the link the recorder answered discovery on.
    virtual void sendCommand(const kvx::RecorderInfoPacket& recorder, const ParameterPacket& command) = 0;
    // Hands every datagram waiting on the socket to the recorder that sent it.
    virtual void takeAnswers() = 0;
};

#pragma once

#include "common/packets/BasicInfoBlock.h"
#include "common/packets/OutputStatePacket.h"
#include "common/packets/RecorderInfoPacket.h"
#include "common/packets/StatusPacket.h"

#include <optional>

// What the control program last heard from one recorder, kept with its link. A record is absent
// until the recorder has sent it (on Ethernet the information record is taken from discovery
// when the link opens).
struct RecorderRecords {
    std::optional<StatusPacket> status;
    std::optional<kvx::RecorderInfoPacket> info;
    std::optional<BasicInfoBlock> basicInfo;
    std::optional<OutputStatePacket> outputState;
    std::optional<quint64> genlockWord; // the code 7 reply
    int firstAlignment = 0;             // the code 18 reply
    int secondAlignment = 0;            // the code 19 reply
};

#pragma once

#include "common/packets/ParameterPacket.h"
#include "sim/control/RecorderControlState.h"

#include <QByteArray>

#include <optional>

// How a simulated recorder takes parameter packets into its state and answers queries for
// them. Paint values (form 0) and typed values (form 1) share some codes; the form decides.
// Codes that need more than the state (IP change, firmware, information, closing links) are
// the responder's.
namespace RecorderParameters {

enum class SetResult {
    Ignored, // unknown code, or a payload of another length than the code carries
    Changed,
    PaintChanged, // the output state changed
};

SetResult applySet(RecorderControlState& state, const ParameterPacket& packet);

// The payload of the reply to a query of code, or nothing for a code the state cannot answer.
std::optional<QByteArray> queryValue(const RecorderControlState& state, quint8 code);

} // namespace RecorderParameters

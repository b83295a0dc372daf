#include "sim/control/RecorderParameters.h"

#include "common/packets/ParameterCodes.h"
#include "common/packets/TypedParameter.h"
#include "common/wire/LittleEndian.h"

#include <QLoggingCategory>

#include <algorithm>
#include <limits>

Q_LOGGING_CATEGORY(lcSimParameters, "vlm.sim.parameters")

namespace RecorderParameters {
namespace {

// Registers of the device are 16 bits wide: out-of-range values stop at the limits rather
// than wrapping round to the opposite sign.
qint16 clampToInt16(qint64 value)
{
    return qint16(std::clamp<qint64>(value, std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max()));
}

SetResult applyTyped(RecorderControlState& state, quint8 code, const kvx::wire::Reader& payload)
{
    switch (code) {
    case ParameterCode::SdiSelection:
        state.outputState.values[RecorderControlState::SdiSelectionValue] = payload.u8(0);
        return SetResult::PaintChanged;
    case ParameterCode::FrameRateCode:
        state.frameRateCode = payload.u8(0);
        return SetResult::Changed;
    case ParameterCode::Genlock:
        state.genlockWord = payload.u64(0);
        return SetResult::Changed;
    case ParameterCode::SdiFormat:
        state.sdiFormatWord = payload.u64(0);
        return SetResult::Changed;
    case ParameterCode::RegionOfInterest:
        state.regionOfInterest = payload.u32(0);
        return SetResult::Changed;
    case ParameterCode::FrameRate: {
        const double rate = payload.at<double>(0);
        if (!(rate > 0.0 && rate <= RecorderControlState::MaxFrameRate)) {
            qCDebug(lcSimParameters, "Ignored frame rate %g", rate);
            return SetResult::Ignored;
        }
        state.frameRate = rate;
        return SetResult::Changed;
    }
    case ParameterCode::BasicInfo: {
        // Always decodes: the size was checked. The flag marks the program's copy, not the block.
        BasicInfoBlock block = *BasicInfoBlock::decode(payload.view(0, BasicInfoBlock::Size));
        block.nameLength &= ~BasicInfoBlock::SentByProgramFlag;
        state.basicInfo = block;
        return SetResult::Changed;
    }
    case ParameterCode::ControlWord: {
        const quint64 word = payload.u64(0);
        if (word & ControlWord::LoadCalibration)
            ++state.calibrationLoads;
        if (word & ControlWord::DirectLoop)
            state.playback.toggleLoop();
        return SetResult::Changed;
    }
    case ParameterCode::FirstAlignment:
        state.firstAlignment = clampToInt16(qint64(payload.u64(0)));
        return SetResult::Changed;
    case ParameterCode::SecondAlignment:
        state.secondAlignment = clampToInt16(qint64(payload.u64(0)));
        return SetResult::Changed;
    default:
        return SetResult::Ignored;
    }
}

QByteArray int16Bytes(qint16 value)
{
    QByteArray out = kvx::wire::zeroed(2);
    kvx::wire::Writer(out).i16(0, value);
    return out;
}

} // namespace

SetResult applySet(RecorderControlState& state, const ParameterPacket& packet)
{
    if (packet.operation != ParameterPacket::Set)
        return SetResult::Ignored;
    if (packet.form == ParameterPacket::ValueInWord) {
        if (!ParameterCode::isPaintCode(packet.code)) {
            qCDebug(lcSimParameters, "Ignored paint value for code %d", packet.code);
            return SetResult::Ignored;
        }
        state.outputState.values[packet.code] = clampToInt16(qint32(packet.word));
        return SetResult::PaintChanged;
    }
    if (packet.form != ParameterPacket::PayloadFollows) {
        qCDebug(lcSimParameters, "Ignored set packet of form %d", packet.form);
        return SetResult::Ignored;
    }
    const auto needed = TypedParameter::payloadSize(packet.code);
    if (!needed || *needed == 0 || packet.payload.size() != *needed) {
        qCDebug(lcSimParameters, "Ignored typed parameter %d with %lld payload bytes", packet.code,
                qlonglong(packet.payload.size()));
        return SetResult::Ignored;
    }
    return applyTyped(state, packet.code, kvx::wire::Reader(packet.payload));
}

std::optional<QByteArray> queryValue(const RecorderControlState& state, quint8 code)
{
    switch (code) {
    case ParameterCode::Genlock: {
        QByteArray out = kvx::wire::zeroed(8);
        kvx::wire::Writer(out).u64(0, state.genlockWord);
        return out;
    }
    case ParameterCode::BasicInfo:
        return state.basicInfo.encode();
    case ParameterCode::FirstAlignment:
        return int16Bytes(state.firstAlignment);
    case ParameterCode::SecondAlignment:
        return int16Bytes(state.secondAlignment);
    case ParameterCode::ColourMatrices: // the clips manager's query, not a paint value
        return std::nullopt;
    default:
        if (ParameterCode::isPaintCode(code))
            return int16Bytes(state.outputState.values[code]);
        return std::nullopt;
    }
}

} // namespace RecorderParameters

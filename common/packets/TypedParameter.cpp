#include "common/packets/TypedParameter.h"

#include "common/packets/BasicInfoBlock.h"
#include "common/packets/ParameterCodes.h"
#include "common/wire/LittleEndian.h"

namespace TypedParameter {

std::optional<qsizetype> payloadSize(quint8 code)
{
    switch (code) {
    case 0:
    case ParameterCode::Genlock:
    case ParameterCode::SdiFormat:
    case ParameterCode::FrameRate:
    case ParameterCode::ControlWord:
    case ParameterCode::FirstAlignment:
    case ParameterCode::SecondAlignment:
        return 8;
    case 1:
        return 2;
    case ParameterCode::IpChange:
    case ParameterCode::RegionOfInterest:
        return 4;
    case ParameterCode::SdiSelection:
    case ParameterCode::FrameRateCode:
        return 1;
    case ParameterCode::BasicInfo:
        return BasicInfoBlock::Size;
    case VariableLengthCode:
        return std::nullopt;
    default:
        return 0;
    }
}

QByteArray packValue(quint8 code, quint64 value)
{
    if (code == ParameterCode::BasicInfo || code == VariableLengthCode)
        return {};
    QByteArray out = kvx::wire::zeroed(*payloadSize(code));
    kvx::wire::Writer w(out);
    switch (out.size()) {
    case 8:
        if (code == ParameterCode::FrameRate)
            w.put(0, double(qint64(value)));
        else
            w.u64(0, value);
        break;
    case 4:
        w.u32(0, quint32(value));
        break;
    case 2:
        w.u16(0, quint16(value));
        break;
    case 1:
        w.u8(0, quint8(value));
        break;
    default:
        break;
    }
    return out;
}

} // namespace TypedParameter

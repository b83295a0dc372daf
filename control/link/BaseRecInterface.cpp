#include "control/link/BaseRecInterface.h"

#include "common/packets/FirmwarePackets.h"
#include "common/packets/ParameterCodes.h"
#include "common/packets/ParameterPacket.h"
#include "common/packets/TypedParameter.h"
#include "common/wire/LittleEndian.h"
#include "control/commands/PaintCodes.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcLink, "vlm.control.link")

BaseRecInterface::BaseRecInterface(QObject* parent) : QObject(parent)
{}

bool BaseRecInterface::sendPaintValue(int group, int channel, int value)
{
    const auto code = paintCode(group, channel);
    if (!code) {
        qCDebug(lcLink, "No parameter for paint group %d channel %d: nothing sent", group, channel);
        return false;
    }
    return sendBytes(
        ParameterPacket{*code, ParameterPacket::ValueInWord, ParameterPacket::Set, quint32(value), {}}.encode());
}

namespace {

// The payload of a typed value, or nothing when payload does not fit the type.
std::optional<QByteArray> typedPayload(quint8 type, quint64 value, const QByteArray& payload)
{
    if (type == ParameterCode::BasicInfo) {
        if (payload.size() != BasicInfoBlock::Size)
            return std::nullopt;
        QByteArray marked = payload;
        kvx::wire::Writer(marked).u32(52, kvx::wire::Reader(payload).u32(52) | BasicInfoBlock::SentByProgramFlag);
        return marked;
    }
    if (type == TypedParameter::VariableLengthCode) {
        const auto command = kvx::FirmwareProgramCommand::decode(payload);
        if (!command)
            return std::nullopt;
        const qsizetype data = command->command.hasData() ? qsizetype(command->command.length) : 0;
        return payload.left(kvx::FirmwareProgramCommand::Size + data);
    }
    return TypedParameter::packValue(type, value);
}

} // namespace

bool BaseRecInterface::sendTypedCommand(int type, quint64 value, const QByteArray& payload)
{
    if (type < 0 || type > 255)
        return false;
    const auto bytes = typedPayload(quint8(type), value, payload);
    if (!bytes) {
        qCDebug(lcLink, "Typed value %d with a payload of %lld bytes not sent", type, qlonglong(payload.size()));
        return false;
    }
    if (type == ParameterCode::BasicInfo)
        records_.basicInfo = BasicInfoBlock::decode(payload);
    return sendBytes(ParameterPacket{quint8(type), ParameterPacket::PayloadFollows, ParameterPacket::Set,
                                     quint32(bytes->size()), *bytes}
                         .encode());
}

bool BaseRecInterface::requestValue(int code)
{
    if (code < 0 || code > 255)
        return false;
    return sendBytes(
        ParameterPacket{quint8(code), ParameterPacket::PayloadFollows, ParameterPacket::Query, 0, {}}.encode());
}

QString BaseRecInterface::statusText() const
{
    return QStringLiteral("N/A");
}

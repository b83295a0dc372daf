#include "control/manager/RecordUpdate.h"

#include "common/packets/FirmwarePackets.h"
#include "common/packets/PacketMagic.h"
#include "common/packets/ParameterCodes.h"
#include "common/packets/ParameterPacket.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcRecords, "vlm.control.records")

namespace RecordUpdate {
namespace {

// A fixed-size record must arrive whole and alone; a longer datagram is not one of ours.
bool hasSize(QByteArrayView packet, qsizetype size, const char* what)
{
    if (packet.size() == size)
        return true;
    qCDebug(lcRecords, "Ignored %s of %lld bytes (%lld expected)", what, qlonglong(packet.size()), qlonglong(size));
    return false;
}

Result applyStatus(RecorderRecords& records, QByteArrayView packet)
{
    if (!hasSize(packet, StatusPacket::Size, "status packet"))
        return {};
    const auto status = StatusPacket::decode(packet);
    if (!status)
        return {};
    int mask = StatusUpdated;
    const StatusPacket before = records.status.value_or(StatusPacket{});
    if (before.diskCapacity != status->diskCapacity || before.diskFree != status->diskFree)
        mask |= StatusUpdated | DiskChanged;
    if (before.playbackPosition != status->playbackPosition)
        mask |= PositionChanged;
    records.status = *status;
    return {mask, {}};
}

Result applyReply(RecorderRecords& records, QByteArrayView packet)
{
    const auto reply = ParameterPacket::decode(packet);
    if (!reply || reply->operation != ParameterPacket::Reply || reply->payload.isEmpty())
        return {};
    if (packet.size() != ParameterPacket::HeadSize + reply->payload.size()) {
        qCDebug(lcRecords, "Ignored reply %d with bytes after its payload", reply->code);
        return {};
    }
    const QByteArray& payload = reply->payload;
    auto payloadIs = [&](qsizetype size) {
        if (payload.size() == size)
            return true;
        qCDebug(lcRecords, "Ignored reply %d of %lld payload bytes (%lld expected)", reply->code,
                qlonglong(payload.size()), qlonglong(size));
        return false;
    };
    const kvx::wire::Reader r(payload);
    switch (reply->code) {
    case ParameterCode::Genlock: {
        if (!payloadIs(8))
            return {};
        const quint64 word = r.u64(0);
        records.genlockWord = (word & ~quint64(0xFF)) | normalisedGenlockByte(quint8(word));
        return {};
    }
    case ParameterCode::BasicInfo:
        if (!payloadIs(BasicInfoBlock::Size))
            return {};
        records.basicInfo = BasicInfoBlock::decode(payload);
        return {StatusUpdated | BasicInfoReceived, {}};
    case ParameterCode::FirmwareStatus:
        if (!payloadIs(kvx::FirmwareProgramStatus::Size))
            return {};
        return {0, payload};
    case ParameterCode::FirstAlignment:
        if (payloadIs(2))
            records.firstAlignment = r.i16(0);
        return {};
    case ParameterCode::SecondAlignment:
        if (payloadIs(2))
            records.secondAlignment = r.i16(0);
        return {};
    default:
        return {};
    }
}

} // namespace

quint8 normalisedGenlockByte(quint8 byte)
{
    const bool noFrequency = (byte & 0xE0) == 0;
    const bool noResolution = (byte & 0x1E) == 0;
    return noFrequency || noResolution ? 0xAF : byte;
}

Result apply(RecorderRecords& records, QByteArrayView packet)
{
    switch (kvx::peekMagic(packet).value_or(0)) {
    case kvx::magic::Status:
        return applyStatus(records, packet);
    case kvx::magic::OutputState:
        if (hasSize(packet, OutputStatePacket::Size, "output state"))
            records.outputState = OutputStatePacket::decode(packet);
        return {};
    case kvx::magic::RecorderInfo:
        if (!hasSize(packet, kvx::RecorderInfoPacket::Size, "information packet"))
            return {};
        records.info = kvx::RecorderInfoPacket::decode(packet);
        return {InfoReceived, {}};
    case kvx::magic::Parameter:
        return applyReply(records, packet);
    default:
        return {};
    }
}

} // namespace RecordUpdate

#include "common/packets/FirmwarePackets.h"

#include "common/packets/PacketMagic.h"

namespace kvx {

QByteArray FirmwareProgramCommand::encode(QByteArrayView data) const
{
    QByteArray out = wire::zeroed(Size);
    wire::Writer w(out);
    w.u32(0, packetIndex);
    w.u32(4, address);
    w.u32(8, length);
    w.u8(12, command);
    if (hasData()) {
        Q_ASSERT(data.size() == qsizetype(length));
        out.append(data);
    }
    return out;
}

std::optional<FirmwareProgramCommand::WithData> FirmwareProgramCommand::decode(QByteArrayView payload)
{
    const wire::Reader r(payload);
    if (r.size() < Size) {
        logRejected("FirmwareProgramCommand", r.size(), Size);
        return std::nullopt;
    }
    WithData out;
    out.command.packetIndex = r.u32(0);
    out.command.address = r.u32(4);
    out.command.length = r.u32(8);
    out.command.command = r.u8(12);
    if (out.command.hasData()) {
        const qsizetype length = qsizetype(out.command.length);
        if (!r.has(Size, length)) {
            logRejected("FirmwareProgramCommand data", r.size(), Size + length);
            return std::nullopt;
        }
        out.data = r.view(Size, length).toByteArray();
    }
    return out;
}

QByteArray FirmwareProgramStatus::encode() const
{
    QByteArray out = wire::zeroed(Size);
    wire::Writer w(out);
    w.u64(0, unnamed0);
    w.u64(8, checksum);
    w.f32(16, progress);
    w.u32(20, rangeStart);
    w.u32(24, rangeLength);
    w.u16(28, missingPacket);
    w.u16(30, unnamed30);
    return out;
}

std::optional<FirmwareProgramStatus> FirmwareProgramStatus::decode(QByteArrayView payload)
{
    const wire::Reader r(payload);
    if (r.size() < Size) {
        logRejected("FirmwareProgramStatus", r.size(), Size);
        return std::nullopt;
    }
    FirmwareProgramStatus s;
    s.unnamed0 = r.u64(0);
    s.checksum = r.u64(8);
    s.progress = r.f32(16);
    s.rangeStart = r.u32(20);
    s.rangeLength = r.u32(24);
    s.missingPacket = r.u16(28);
    s.unnamed30 = r.u16(30);
    return s;
}

} // namespace kvx

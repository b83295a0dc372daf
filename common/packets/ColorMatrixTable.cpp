#include "common/packets/ColorMatrixTable.h"

#include "common/packets/PacketMagic.h"

QByteArray ColorMatrixTable::encode() const
{
    QByteArray out = kvx::wire::zeroed(HeadSize);
    kvx::wire::Writer w(out);
    w.u32(0, quint32(records.size()));
    w.u32(4, value);
    for (const ColorMatrixRecord& record : records)
        out.append(record.encode());
    return out;
}

std::optional<ColorMatrixTable> ColorMatrixTable::decode(QByteArrayView payload)
{
    const kvx::wire::Reader r(payload);
    if (r.size() < HeadSize) {
        kvx::logRejected("ColorMatrixTable", r.size(), HeadSize);
        return std::nullopt;
    }
    const quint32 announced = r.u32(0);
    const qsizetype present = (r.size() - HeadSize) / ColorMatrixRecord::Size;
    const qsizetype count = qMin(qsizetype(announced), present);
    if (count < qsizetype(announced))
        qCDebug(lcPackets, "ColorMatrixTable announces %u records but holds %lld", announced, qlonglong(present));
    ColorMatrixTable table;
    table.value = r.u32(4);
    table.records.reserve(count);
    for (qsizetype i = 0; i < count; ++i) {
        if (const auto record = ColorMatrixRecord::decode(payload.sliced(HeadSize + i * ColorMatrixRecord::Size)))
            table.records.append(*record);
    }
    return table;
}

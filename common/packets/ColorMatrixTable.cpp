#include "common/packets/ColorMatrixTable.h"

#include "common/packets/PacketMagic.h"

QByteArray ColorMatrixTable::encode() const
{
    QByteArray out = kvx::wire::zeroed(HeadSize + DescriptorSize * descriptors.size());
    kvx::wire::Writer w(out);
    w.u32(0, quint32(descriptors.size()));
    w.u32(4, value);
    for (qsizetype i = 0; i < descriptors.size(); ++i)
        w.bytes(HeadSize + i * DescriptorSize, descriptors[i].data(), DescriptorSize);
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
    const qsizetype present = (r.size() - HeadSize) / DescriptorSize;
    const qsizetype count = qMin(qsizetype(announced), present);
    if (count < qsizetype(announced))
        qCDebug(lcPackets, "ColorMatrixTable announces %u descriptors but holds %lld", announced, qlonglong(present));
    ColorMatrixTable table;
    table.value = r.u32(4);
    table.descriptors.resize(count);
    for (qsizetype i = 0; i < count; ++i)
        r.copy(HeadSize + i * DescriptorSize, table.descriptors[i].data(), DescriptorSize);
    return table;
}

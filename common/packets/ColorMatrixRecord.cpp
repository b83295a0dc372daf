#include "common/packets/ColorMatrixRecord.h"

#include "common/wire/LittleEndian.h"

QByteArray ColorMatrixRecord::encode() const
{
    QByteArray out = kvx::wire::zeroed(Size);
    kvx::wire::Writer w(out);
    w.put<qint32>(0, temperature);
    for (size_t i = 0; i < matrix.size(); ++i)
        w.f32(4 + 4 * qsizetype(i), matrix[i]);
    for (size_t i = 0; i < extra.size(); ++i)
        w.f32(40 + 4 * qsizetype(i), extra[i]);
    return out;
}

std::optional<ColorMatrixRecord> ColorMatrixRecord::decode(QByteArrayView bytes)
{
    const kvx::wire::Reader r(bytes);
    if (r.size() < Size)
        return std::nullopt;
    ColorMatrixRecord record;
    record.temperature = r.at<qint32>(0);
    for (size_t i = 0; i < record.matrix.size(); ++i)
        record.matrix[i] = r.f32(4 + 4 * qsizetype(i));
    for (size_t i = 0; i < record.extra.size(); ++i)
        record.extra[i] = r.f32(40 + 4 * qsizetype(i));
    return record;
}

#include "common/packets/FirmwareChecksum.h"

namespace kvx {

// Weak: a byte of 0x80 or more sign-extends over the bytes before it in its group, so a change
// to those bytes goes unseen. It stays as it is because the recorder computes the same value.
quint64 firmwareChecksum(QByteArrayView bytes)
{
    quint64 sum = 0;
    for (qsizetype start = 0; start < bytes.size(); start += 4) {
        const qsizetype end = qMin(start + 4, bytes.size());
        quint64 group = 0;
        for (qsizetype i = start; i < end; ++i)
            group = (group << 8) | quint64(qint64(qint8(bytes[i])));
        const bool carry = group >= ~sum;
        sum += group + (carry ? 1 : 0);
    }
    return sum;
}

} // namespace kvx

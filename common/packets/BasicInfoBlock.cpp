#include "common/packets/BasicInfoBlock.h"

#include "common/packets/PacketMagic.h"

#include <algorithm>

QString BasicInfoBlock::name() const
{
    const auto end = std::find(nameBytes.begin(), nameBytes.end(), quint8(0));
    return QString::fromUtf8(reinterpret_cast<const char*>(nameBytes.data()), end - nameBytes.begin());
}

void BasicInfoBlock::setName(const QString& name)
{
    QByteArray utf8 = name.toUtf8();
    utf8.truncate(NameCapacity - 1);
    // Never leave half of a multi-byte character at the cut.
    while (!utf8.isEmpty() && QString::fromUtf8(utf8).toUtf8() != utf8)
        utf8.chop(1);
    nameBytes.fill(0);
    std::copy(utf8.begin(), utf8.end(), nameBytes.begin());
    nameLength = quint32(utf8.size());
}

QByteArray BasicInfoBlock::encode() const
{
    QByteArray out = kvx::wire::zeroed(Size);
    kvx::wire::Writer w(out);
    w.u32(0, serialNumber);
    w.bytes(4, unnamed4.data(), 4);
    w.u32(8, firmwareVersion);
    w.u32(12, recorderVersion);
    w.u32(16, boardVersion);
    w.u8(20, diskCount);
    w.u8(21, unnamed21);
    w.bytes(22, ip1G.data(), 4);
    w.bytes(26, ip10G0.data(), 4);
    w.bytes(30, ip10G1.data(), 4);
    w.bytes(34, mac1G.data(), 6);
    w.bytes(40, mac10G0.data(), 6);
    w.bytes(46, mac10G1.data(), 6);
    w.u32(52, nameLength);
    w.bytes(NameOffset, nameBytes.data(), NameCapacity);
    return out;
}

std::optional<BasicInfoBlock> BasicInfoBlock::decode(QByteArrayView payload)
{
    const kvx::wire::Reader r(payload);
    if (r.size() < Size) {
        kvx::logRejected("BasicInfoBlock", r.size(), Size);
        return std::nullopt;
    }
    BasicInfoBlock b;
    b.serialNumber = r.u32(0);
    r.copy(4, b.unnamed4.data(), 4);
    b.firmwareVersion = r.u32(8);
    b.recorderVersion = r.u32(12);
    b.boardVersion = r.u32(16);
    b.diskCount = r.u8(20);
    b.unnamed21 = r.u8(21);
    r.copy(22, b.ip1G.data(), 4);
    r.copy(26, b.ip10G0.data(), 4);
    r.copy(30, b.ip10G1.data(), 4);
    r.copy(34, b.mac1G.data(), 6);
    r.copy(40, b.mac10G0.data(), 6);
    r.copy(46, b.mac10G1.data(), 6);
    b.nameLength = r.u32(52);
    r.copy(NameOffset, b.nameBytes.data(), NameCapacity);
    return b;
}

#include "common/packets/TransferPackets.h"

#include "common/packets/PacketMagic.h"

namespace kvx {

namespace {

quint64 chunkId48(const wire::Reader& r, qsizetype offset)
{
    return quint64(r.u32(offset)) | quint64(r.u16(offset + 4)) << 32;
}

void putChunkId48(wire::Writer& w, qsizetype offset, quint64 id)
{
    w.u32(offset, quint32(id));
    w.u16(offset + 4, quint16(id >> 32));
}

} // namespace

void TxDataRequest::encodeInto(uchar* out) const
{
    wire::Writer w(out, Size);
    w.u32(0, magic::TxRequest);
    w.u32(4, type);
    w.u64(8, chunkId);
    w.u32(16, slot);
    w.u32(20, 0);
    w.u32(24, payloadSize);
    w.u32(28, packetCount);
    w.u32(32, flags);
    w.u32(36, paddedSize);
    w.u32(40, firstFrame);
    w.u32(44, lastFrame);
    w.u32(48, clipNumber);
    w.u64(52, 0);
    w.u32(60, 0);
}

QByteArray TxDataRequest::encode() const
{
    QByteArray out = wire::zeroed(Size);
    encodeInto(reinterpret_cast<uchar*>(out.data()));
    return out;
}

QByteArray TxDataRequest::encodeStatusQuery() const
{
    TxDataRequest query = *this;
    query.type = StatusQuery;
    return query.encode().left(HeadSize);
}

std::optional<TxDataRequest> TxDataRequest::decodeHead(QByteArrayView datagram)
{
    const wire::Reader r(datagram);
    if (r.size() < HeadSize || r.u32(0) != magic::TxRequest) {
        logRejected("TxDataRequest head", r.size(), HeadSize);
        return std::nullopt;
    }
    TxDataRequest q;
    q.type = r.u32(4);
    q.chunkId = r.u64(8);
    q.slot = r.u32(16);
    return q;
}

std::optional<TxDataRequest> TxDataRequest::decode(QByteArrayView datagram)
{
    if (datagram.size() < Size) {
        logRejected("TxDataRequest", datagram.size(), Size);
        return std::nullopt;
    }
    auto q = decodeHead(datagram);
    if (!q)
        return std::nullopt;
    const wire::Reader r(datagram);
    q->payloadSize = r.u32(24);
    q->packetCount = r.u32(28);
    q->flags = r.u32(32);
    q->paddedSize = r.u32(36);
    q->firstFrame = r.u32(40);
    q->lastFrame = r.u32(44);
    q->clipNumber = r.u32(48);
    return q;
}

QByteArray TxMissingList::encode() const
{
    QByteArray out = wire::zeroed(HeadSize + 4 * indexes.size());
    TxDataRequest head = request;
    head.type = TxDataRequest::MissingList;
    uchar full[TxDataRequest::Size];
    head.encodeInto(full);
    wire::Writer w(out);
    w.bytes(0, full, TxDataRequest::HeadSize);
    w.u32(24, quint32(indexes.size()));
    w.u32(28, last ? 1 : 0);
    for (qsizetype i = 0; i < indexes.size(); ++i)
        w.u32(HeadSize + 4 * i, indexes[i]);
    return out;
}

std::optional<TxMissingList> TxMissingList::decode(QByteArrayView datagram)
{
    const auto head = TxDataRequest::decodeHead(datagram);
    const wire::Reader r(datagram);
    if (!head || r.size() < HeadSize) {
        logRejected("TxMissingList", r.size(), HeadSize);
        return std::nullopt;
    }
    const quint32 count = r.u32(24);
    if ((r.size() - HeadSize) / 4 < qsizetype(count)) {
        logRejected("TxMissingList indexes", r.size(), HeadSize + 4 * qsizetype(count));
        return std::nullopt;
    }
    TxMissingList list;
    list.request = *head;
    list.last = r.u32(28) != 0;
    list.indexes.reserve(count);
    for (quint32 i = 0; i < count; ++i)
        list.indexes.append(r.u32(HeadSize + 4 * qsizetype(i)));
    return list;
}

void TxPacketHead::encodeInto(uchar* out) const
{
    wire::Writer w(out, Size);
    w.u32(0, magic::TxPacket);
    w.u32(4, index);
    putChunkId48(w, 8, chunkId);
}

std::optional<TxPacketHead> TxPacketHead::decode(const uchar* data, qsizetype size)
{
    const wire::Reader r(data, size);
    if (r.size() < Size || r.u32(0) != magic::TxPacket)
        return std::nullopt; // not logged: this runs per packet at line rate
    return TxPacketHead{r.u32(4), chunkId48(r, 8)};
}

QByteArray TxEvent::encode() const
{
    QByteArray out = wire::zeroed(Size);
    wire::Writer w(out);
    w.u32(0, magic::TxRequest);
    w.u32(4, type);
    w.u64(8, chunkId);
    w.u32(16, slot);
    w.u32(20, errorCode);
    return out;
}

std::optional<TxEvent> TxEvent::decode(QByteArrayView datagram)
{
    const wire::Reader r(datagram);
    if (r.size() < Size || r.u32(0) != magic::TxRequest) {
        logRejected("TxEvent", r.size(), Size);
        return std::nullopt;
    }
    return TxEvent{r.u32(4), r.u64(8), r.u32(16), r.u32(20)};
}

QByteArray TxStatus::encode() const
{
    QByteArray out = wire::zeroed(Size);
    wire::Writer w(out);
    w.u32(0, magic::TxStatus);
    w.u32(4, code);
    putChunkId48(w, 8, chunkId);
    w.u32(24, slot);
    return out;
}

std::optional<TxStatus> TxStatus::decode(QByteArrayView datagram)
{
    const wire::Reader r(datagram);
    if (r.size() < Size || r.u32(0) != magic::TxStatus) {
        logRejected("TxStatus", r.size(), Size);
        return std::nullopt;
    }
    return TxStatus{r.u32(4), chunkId48(r, 8), r.u32(24)};
}

} // namespace kvx

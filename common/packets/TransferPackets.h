#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <optional>

// Packets of the receiver-driven clip transfer on the recorder's port 4353.
namespace kvx {

// Program to recorder, 64 bytes. Its first 24 bytes, with another type, head the status query
// and the missing list.
struct TxDataRequest {
    static constexpr qsizetype Size = 64;
    static constexpr qsizetype HeadSize = 24;
    enum Type : quint32 { StatusQuery = 0, SendData = 2, MissingList = 3 };

    quint32 type = SendData;
    quint64 chunkId = 0;
    quint32 slot = 0;
    quint32 payloadSize = 0;
    quint32 packetCount = 0;
    quint32 flags = 0;
    quint32 paddedSize = 0;
    quint32 firstFrame = 0;
    quint32 lastFrame = 0;
    quint32 clipNumber = 0;

    void encodeInto(uchar* out) const; // Size bytes
    QByteArray encode() const;
    QByteArray encodeStatusQuery() const; // the first 24 bytes with type 0

    // Whole 64-byte request; fails when shorter or with another magic.
    static std::optional<TxDataRequest> decode(QByteArrayView datagram);
    // Only the 24-byte head (type, chunk id, slot): what a status query carries.
    static std::optional<TxDataRequest> decodeHead(QByteArrayView datagram);
    bool operator==(const TxDataRequest&) const = default;
};

// Program to recorder: up to MaxIndexes packet indexes still missing from a chunk.
struct TxMissingList {
    static constexpr qsizetype HeadSize = 32;
    static constexpr int MaxIndexes = 108;

    TxDataRequest request; // only its head is sent, with type MissingList
    bool last = false;
    QList<quint32> indexes;

    QByteArray encode() const;
    // Fails when shorter than its head plus four bytes per announced index.
    static std::optional<TxMissingList> decode(QByteArrayView datagram);
};

// Recorder to program: the 14-byte head of a data packet; the payload follows it.
struct TxPacketHead {
    static constexpr qsizetype Size = 14;

    quint32 index = 0;
    quint64 chunkId = 0; // 48 bits on the wire

    void encodeInto(uchar* out) const;
    static std::optional<TxPacketHead> decode(const uchar* data, qsizetype size);
};

// Recorder to program, same magic as the data request.
struct TxEvent {
    static constexpr qsizetype Size = 24;
    enum Type : quint32 { DataBegins = 4, ChunkSent = 5, Error = 6 };

    quint32 type = DataBegins;
    quint64 chunkId = 0;
    quint32 slot = 0;
    quint32 errorCode = 0;

    QByteArray encode() const;
    static std::optional<TxEvent> decode(QByteArrayView datagram);
};

// Recorder to program: the answer to a status query.
struct TxStatus {
    static constexpr qsizetype Size = 28;

    quint32 code = 0;
    quint64 chunkId = 0; // 48 bits on the wire
    quint32 slot = 0;

    QByteArray encode() const;
    static std::optional<TxStatus> decode(QByteArrayView datagram);
};

} // namespace kvx

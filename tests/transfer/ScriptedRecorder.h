#pragma once

#include "common/packets/TransferPackets.h"
#include "transfer/ReceiveUDPEngine.h"

#include <QByteArray>
#include <QUdpSocket>

#include <functional>
#include <optional>

// The recorder's side of a transfer played by hand over real UDP on 127.0.0.1: a test reads what
// the engine sends and answers with any datagram it likes, including malformed ones the
// simulator never sends. The engine's socket and this one are both bound to loopback.
class ScriptedRecorder {
public:
    explicit ScriptedRecorder(kvx::ReceiveUDPEngine& engine);

    // Steps the engine until a datagram reaches the recorder; nothing within timeoutMs.
    std::optional<QByteArray> next(int timeoutMs = 2000);
    // Steps the engine until the next data request; other datagrams on the way are dropped.
    std::optional<kvx::TxDataRequest> nextRequest(int timeoutMs = 2000);
    // Steps the engine until the next missing list.
    std::optional<kvx::TxMissingList> nextMissingList(int timeoutMs = 2000);
    // Steps the engine until done() holds; false after timeoutMs.
    bool stepUntil(const std::function<bool()>& done, int timeoutMs = 2000);

    // Sends a TxPacket for packet index of chunkId carrying payload as it is.
    void sendPacket(quint64 chunkId, quint32 index, QByteArrayView payload);
    void send(const QByteArray& datagram);

    bool hasPending() { return socket_.hasPendingDatagrams(); }
    quint16 port() const { return socket_.localPort(); }
    QUdpSocket& engineSocket() { return engineSocket_; }

private:
    kvx::ReceiveUDPEngine& engine_;
    QUdpSocket socket_;       // the recorder
    QUdpSocket engineSocket_; // handed to the engine
};

// Payload bytes of a test transfer: byte k of a request is pattern(k), so a byte copied to the
// wrong place is noticed.
inline uchar pattern(quint64 k)
{
    return uchar((k * 131 + (k >> 13)) & 0xFF);
}
QByteArray patternBytes(quint64 offset, qsizetype n);

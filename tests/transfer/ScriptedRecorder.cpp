#include "ScriptedRecorder.h"

#include "common/packets/PacketMagic.h"

#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QTest>

using kvx::TxDataRequest;

ScriptedRecorder::ScriptedRecorder(kvx::ReceiveUDPEngine& engine) : engine_(engine)
{
    QVERIFY2(socket_.bind(QHostAddress::LocalHost, 0), "recorder socket");
    QVERIFY2(engineSocket_.bind(QHostAddress::LocalHost, 0), "engine socket");
    engine_.setAddress(QHostAddress::LocalHost);
    engine_.setSocket(&engineSocket_, socket_.localPort());
}

bool ScriptedRecorder::stepUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        engine_.process();
        QCoreApplication::processEvents();
    }
    return true;
}

std::optional<QByteArray> ScriptedRecorder::next(int timeoutMs)
{
    if (!stepUntil([this] { return socket_.hasPendingDatagrams(); }, timeoutMs))
        return std::nullopt;
    return socket_.receiveDatagram().data();
}

std::optional<TxDataRequest> ScriptedRecorder::nextRequest(int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (auto datagram = next(int(timeoutMs - clock.elapsed()))) {
        if (datagram->size() == TxDataRequest::Size) {
            if (auto request = TxDataRequest::decode(*datagram); request && request->type == TxDataRequest::SendData)
                return request;
        }
    }
    return std::nullopt;
}

std::optional<kvx::TxMissingList> ScriptedRecorder::nextMissingList(int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (auto datagram = next(int(timeoutMs - clock.elapsed()))) {
        const auto head = TxDataRequest::decodeHead(*datagram);
        if (head && head->type == TxDataRequest::MissingList)
            return kvx::TxMissingList::decode(*datagram);
    }
    return std::nullopt;
}

void ScriptedRecorder::sendPacket(quint64 chunkId, quint32 index, QByteArrayView payload)
{
    QByteArray datagram(kvx::TxPacketHead::Size + payload.size(), '\0');
    kvx::TxPacketHead{index, chunkId}.encodeInto(reinterpret_cast<uchar*>(datagram.data()));
    std::memcpy(datagram.data() + kvx::TxPacketHead::Size, payload.data(), size_t(payload.size()));
    send(datagram);
}

void ScriptedRecorder::send(const QByteArray& datagram)
{
    socket_.writeDatagram(datagram, QHostAddress::LocalHost, engineSocket_.localPort());
}

QByteArray patternBytes(quint64 offset, qsizetype n)
{
    QByteArray bytes(n, '\0');
    for (qsizetype i = 0; i < n; ++i)
        bytes[i] = char(pattern(offset + quint64(i)));
    return bytes;
}

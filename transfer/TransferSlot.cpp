#include "transfer/TransferSlot.h"

#include "transfer/TransferLog.h"

#include <QUdpSocket>

#include <algorithm>
#include <cstring>

namespace kvx {

TransferSlot::TransferSlot(quint32 number) : number_(number)
{}

void TransferSlot::setSocket(QUdpSocket* socket, quint16 port)
{
    socket_ = socket;
    remotePort_ = port;
}

bool TransferSlot::isBusy() const
{
    return state_ == SlotState::Requested || state_ == SlotState::Receiving || state_ == SlotState::Repairing;
}

void TransferSlot::start(const TxDataRequest& request, quint32 chunkBytes, uchar* chunkDestination)
{
    request_ = request;
    chunkBytes_ = chunkBytes;
    chunkDestination_ = chunkDestination;
    retries_ = 0;
    state_ = SlotState::Requested;
    send(request_.encode());
    timer_.start();
    received_.assign((request_.packetCount + 63) / 64, 0);
}

void TransferSlot::reset()
{
    state_ = SlotState::Idle;
    retries_ = 0;
}

void TransferSlot::onData(quint32 index, const uchar* payload, qsizetype payloadBytes)
{
    retries_ = 0;
    if (state_ == SlotState::Requested) {
        timer_.restart();
        state_ = SlotState::Receiving;
    }
    if (!isReceiving())
        return;
    const quint32 last = request_.packetCount - 1;
    if (index > last)
        return;
    // The chunk's sizes come from its own request, so a payload size changed meanwhile cannot
    // move where this chunk's packets land.
    const quint64 offset = quint64(index) * request_.payloadSize;
    const quint64 wanted = index < last ? request_.payloadSize : chunkBytes_ - offset;
    // A datagram cut short would otherwise copy stale buffer bytes into the clip; it stays
    // unmarked and comes back through the missing list.
    if (quint64(payloadBytes) >= wanted) {
        std::memcpy(chunkDestination_ + offset, payload, size_t(wanted));
        markReceived(index);
    }
    if (index == last)
        sendMissingList();
    timer_.restart();
}

void TransferSlot::onEvent(const TxEvent& event)
{
    switch (event.type) {
    case TxEvent::DataBegins:
        if (state_ == SlotState::Requested)
            state_ = SlotState::Receiving;
        break;
    case TxEvent::ChunkSent:
        if (isReceiving())
            sendMissingList();
        break;
    case TxEvent::Error:
        // Code 2 is a condition the recorder recovers from by itself.
        if (event.errorCode != 2) {
            qCDebug(lcTransfer).nospace() << "Received comm error " << event.errorCode;
            state_ = SlotState::Failed;
        }
        break;
    default:
        break;
    }
}

void TransferSlot::onStatus(const TxStatus& status)
{
    if (verbose_) {
        qCDebug(lcTransfer).nospace() << "Received status " << status.code << " from " << status.slot;
        qCDebug(lcTransfer).nospace() << "My state: " << int(state_);
    }
    if (state_ == SlotState::Requested) {
        if (status.code == 1) {
            timer_.restart();
            retries_ = 0;
        }
        return;
    }
    if (!isReceiving())
        return;
    switch (status.code) {
    case 0:
        break;
    case 1:
        timer_.restart();
        break;
    case 2:
        timer_.restart();
        retries_ = 0;
        break;
    case 3:
        retries_ = 0;
        state_ = SlotState::Repairing;
        break;
    default:
        qCDebug(lcTransfer) << "Received unexpected packet";
        state_ = SlotState::Failed;
        break;
    }
}

void TransferSlot::tick()
{
    if (!isBusy())
        return;
    if (timer_.elapsed() < TimeoutTableMs[size_t(std::min(retries_, MaxRetries - 1))])
        return;
    ++retries_;
    if (retries_ >= MaxRetries) {
        qCDebug(lcTransfer).nospace() << "Transfer timed out at state " << int(state_);
        state_ = SlotState::TimedOut;
    }
    switch (state_) {
    case SlotState::Requested:
        if (send(request_.encode())) {
            timer_.restart();
            if (verbose_)
                qCDebug(lcTransfer) << "Resent request";
        }
        break;
    case SlotState::Receiving:
        if (verbose_)
            qCDebug(lcTransfer).nospace() << "Requested status from " << request_.chunkId;
        if (send(request_.encodeStatusQuery()))
            timer_.restart();
        break;
    case SlotState::Repairing:
        sendMissingList();
        break;
    default:
        break;
    }
    timer_.restart();
}

void TransferSlot::sendMissingList()
{
    if (!isReceiving())
        return;
    state_ = SlotState::Repairing;
    TxMissingList list;
    list.request = request_;
    list.indexes.reserve(TxMissingList::MaxIndexes);
    bool anyMissing = false;
    for (quint32 i = 0; i < request_.packetCount; ++i) {
        if (isReceived(i))
            continue;
        if (list.indexes.size() == TxMissingList::MaxIndexes) {
            if (!send(list.encode()))
                return;
            list.indexes.clear();
        }
        list.indexes.append(i);
        anyMissing = true;
    }
    if (!anyMissing)
        state_ = SlotState::Done; // the empty list tells the recorder the chunk arrived whole
    list.last = true;
    send(list.encode());
}

bool TransferSlot::send(const QByteArray& datagram)
{
    return socket_ && socket_->writeDatagram(datagram, remoteAddress_, remotePort_) > 0;
}

} // namespace kvx

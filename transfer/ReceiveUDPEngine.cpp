#include "transfer/ReceiveUDPEngine.h"

#include "common/packets/PacketMagic.h"
#include "transfer/TransferLog.h"

#include <QRandomGenerator>
#include <QThread>
#include <QUdpSocket>
#include <QtEndian>

#include <algorithm>
#include <utility>

namespace kvx {

namespace {

// Datagrams taken per step at most, so a fast sender cannot hold off the time-outs for long.
constexpr int MaxBatchesPerStep = 8;

} // namespace

ReceiveUDPEngine::TxRequestData::~TxRequestData() = default;

// The recorder only echoes chunk ids back, so where they start is ours to pick. An unpredictable
// start (ids stay consecutive from there) leaves a host that forges the recorder's address
// guessing which ids are live, instead of trying 0, 1, 2 ...
ReceiveUDPEngine::ReceiveUDPEngine(QObject* parent)
    : QObject(parent), batch_(ReceiveBufferSize), chunkCounter_(quint16(QRandomGenerator::system()->bounded(65536)))
{}

void ReceiveUDPEngine::setAddress(const QHostAddress& address)
{
    senders_.setRecorder(address);
    for (auto& slot : slots_)
        slot.setAddress(address);
}

void ReceiveUDPEngine::setSocket(QUdpSocket* socket, quint16 port)
{
    socket_ = socket;
    for (auto& slot : slots_)
        slot.setSocket(socket, port);
}

bool ReceiveUDPEngine::setPayloadSize(int size)
{
    // A TxPacket with its head must fit the receive buffer.
    if (size < 1 || size > MaxPayloadSize) {
        qCWarning(lcTransfer) << "Refused payload size" << size;
        return false;
    }
    payloadSize_ = size;
    return true;
}

void ReceiveUDPEngine::setVerbose(bool verbose)
{
    verbose_ = verbose;
    for (auto& slot : slots_)
        slot.setVerbose(verbose);
}

void ReceiveUDPEngine::drain()
{
    while (batch_.read(socket_) > 0) {}
}

void ReceiveUDPEngine::enqueue(const TransferRequest& request)
{
    QMutexLocker lock(&mutex_);
    queue_.enqueue(request);
    queued_.wakeAll();
}

QList<ReceiveUDPEngine::TransferRequest> ReceiveUDPEngine::takeQueued()
{
    QMutexLocker lock(&mutex_);
    return std::exchange(queue_, {});
}

void ReceiveUDPEngine::waitForWork(int quietMs, int idleMs)
{
    {
        QMutexLocker lock(&mutex_);
        if (queue_.isEmpty()) {
            // Nothing to receive for: datagrams pending now are stale and ignored once a request
            // runs, so they must not wake the thread.
            queued_.wait(&mutex_, QDeadlineTimer(idleMs));
            return;
        }
    }
    if (socket_ && socket_->socketDescriptor() >= 0)
        DatagramBatch::waitReadable(socket_, quietMs);
    else
        QThread::msleep(ulong(quietMs));
}

bool ReceiveUDPEngine::process()
{
    receivedInLastStep_ = false;
    dataArrived_ = false;
    if (!started_ && !startHeadRequest())
        return false;
    while (issueChunk(nextSlot_)) {}
    receivePending();
    if (checkSlots() == Outcome::Failed) {
        finishHead(Outcome::Failed);
        return false;
    }
    if (!allIssued())
        return false;
    for (const auto& slot : slots_) {
        if (slot.isBusy())
            return false;
    }
    finishHead(Outcome::Completed);
    return true;
}

bool ReceiveUDPEngine::startHeadRequest()
{
    {
        QMutexLocker lock(&mutex_);
        if (queue_.isEmpty())
            return false;
        current_ = queue_.head();
    }
    for (auto& slot : slots_)
        slot.reset();
    frameMode_ = !(current_.flags & ByteMode);
    frameSize_ = quint64(current_.lineBytes) * current_.lineCount;
    frameTotal_ = current_.lastFrame >= current_.firstFrame ? quint64(current_.lastFrame) - current_.firstFrame + 1 : 0;
    framesIssued_ = 0;
    bytesIssued_ = 0;
    nextSlot_ = 0;
    started_ = true;

    // A request that cannot be cut into chunks would write through a null pointer or issue
    // empty chunks for ever; it fails at once instead.
    const quint64 chunkLimit = quint64(payloadSize_) * ChunkPackets;
    const bool framesFit = !frameMode_ || (frameSize_ > 0 && frameSize_ <= chunkLimit && frameTotal_ > 0);
    if (current_.totalBytes > 0 && (!current_.destination || !framesFit)) {
        qCWarning(lcTransfer) << "Refused transfer request for clip" << current_.clipNumber << "of"
                              << current_.totalBytes << "bytes: no destination or unusable frame size";
        finishHead(Outcome::Failed);
        return false;
    }
    return true;
}

bool ReceiveUDPEngine::issueChunk(int slotIndex)
{
    TransferSlot& slot = slots_[size_t(slotIndex)];
    if (slot.isBusy() || allIssued())
        return false;
    const quint32 payload = quint32(payloadSize_.load());
    quint64 limit = quint64(payload) * ChunkPackets;
    TxDataRequest request;
    if (frameMode_) {
        const quint64 frames = std::min(frameTotal_ - framesIssued_, limit / frameSize_);
        limit = frameSize_ * frames;
        request.firstFrame = quint32(current_.firstFrame + framesIssued_);
        request.lastFrame = quint32(request.firstFrame + frames - 1);
        framesIssued_ += frames;
    }
    const auto chunkBytes = quint32(std::min(current_.totalBytes - bytesIssued_, limit));
    request.type = TxDataRequest::SendData;
    request.chunkId = chunkCounter_;
    request.slot = quint32(slotIndex);
    request.payloadSize = payload;
    request.packetCount = (chunkBytes - 1) / payload + 1;
    request.flags = current_.flags & FlagPassedToRecorder;
    request.paddedSize = payload * request.packetCount;
    request.clipNumber = current_.clipNumber;
    slot.start(request, chunkBytes, current_.destination + bytesIssued_);

    ++chunkCounter_;
    bytesIssued_ += chunkBytes;
    nextSlot_ = (slotIndex + 1) % int(slots_.size());
    return true;
}

// In frame mode the frames can run out before the bytes do (a destination larger than the
// frames); issuing stops there rather than asking for empty chunks.
bool ReceiveUDPEngine::allIssued() const
{
    if (bytesIssued_ >= current_.totalBytes)
        return true;
    return frameMode_ && framesIssued_ >= frameTotal_;
}

void ReceiveUDPEngine::receivePending()
{
    for (int b = 0; b < MaxBatchesPerStep; ++b) {
        const int count = batch_.read(socket_);
        if (count > 0)
            receivedInLastStep_ = true;
        for (int i = 0; i < count; ++i) {
            if (senders_.accept(batch_.sender(i), batch_.senderLength(i)))
                dispatch(batch_.data(i), batch_.size(i));
        }
        if (count < DatagramBatch::Capacity)
            break;
    }
}

void ReceiveUDPEngine::dispatch(const uchar* datagram, qsizetype size)
{
    if (size < 4)
        return;
    switch (qFromLittleEndian<quint32>(datagram)) {
    case magic::TxPacket: {
        const auto head = TxPacketHead::decode(datagram, size);
        if (!head)
            return;
        dataArrived_ = true;
        for (auto& slot : slots_) {
            if (slot.isBusy() && slot.chunkId() == head->chunkId) {
                slot.onData(head->index, datagram + TxPacketHead::Size, size - TxPacketHead::Size);
                return;
            }
        }
        return;
    }
    case magic::TxRequest: {
        const auto event = TxEvent::decode(QByteArrayView(datagram, size));
        if (!event)
            return;
        for (auto& slot : slots_) {
            if (slot.isBusy() && slot.chunkId() == event->chunkId && slot.number() == event->slot) {
                slot.onEvent(*event);
                return;
            }
        }
        return;
    }
    case magic::TxStatus: {
        const auto status = TxStatus::decode(QByteArrayView(datagram, size));
        if (!status)
            return;
        for (auto& slot : slots_) {
            if (slot.isBusy() && slot.chunkId() == status->chunkId)
                slot.onStatus(*status);
            else if (slot.number() == status->slot)
                qCDebug(lcTransfer).nospace() << "UID mismatch: " << slot.chunkId();
        }
        return;
    }
    default:
        return;
    }
}

ReceiveUDPEngine::Outcome ReceiveUDPEngine::checkSlots()
{
    for (auto& slot : slots_) {
        if (dataArrived_)
            slot.restartTimer();
        slot.tick();
        if (slot.state() == SlotState::Failed || slot.state() == SlotState::TimedOut) {
            qCDebug(lcTransfer).nospace() << "Transfer failed at engine " << slot.number() << ": " << int(slot.state());
            return Outcome::Failed;
        }
    }
    return Outcome::Running;
}

void ReceiveUDPEngine::finishHead(Outcome outcome)
{
    {
        QMutexLocker lock(&mutex_);
        queue_.dequeue();
    }
    started_ = false;
    TransferRequest finished = std::move(current_);
    current_ = TransferRequest();
    if (outcome == Outcome::Completed) {
        const qint64 ms = finished.startTime.isValid() ? std::max<qint64>(finished.startTime.elapsed(), 1) : 0;
        finished.rate = ms > 0 ? float(double(bytesIssued_) * 8.0 / (double(ms) * 1e6)) : 0.0f;
        if (verbose_)
            qCDebug(lcTransfer) << "Transfer completed";
        emit requestCompleted(finished);
    } else {
        emit requestFailed(finished);
    }
}

} // namespace kvx

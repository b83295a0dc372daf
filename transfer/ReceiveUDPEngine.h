#pragma once

#include "transfer/DatagramBatch.h"
#include "transfer/SenderFilter.h"
#include "transfer/TransferSlot.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QMetaType>
#include <QMutex>
#include <QObject>
#include <QQueue>
#include <QSharedPointer>
#include <QWaitCondition>

#include <array>
#include <atomic>

class QUdpSocket;

namespace kvx {

// Receiving side of the clip transfer: cuts queued requests into chunks, asks the recorder for
// them two at a time, writes the arriving packets straight into the destination memory and
// repairs what was lost. It owns neither thread nor socket; the receive thread gives it a bound
// socket and calls process() in a loop. Only the recorder's datagrams are taken: anything from
// another sender is dropped before it reaches a slot, and counted.
class ReceiveUDPEngine : public QObject {
    Q_OBJECT
public:
    // What a submitter attaches to its requests; the engine only carries it.
    class TxRequestData {
    public:
        virtual ~TxRequestData();
    };

    struct TransferRequest {
        QSharedPointer<TxRequestData> data;
        uchar* destination = nullptr; // byte k of the request goes to destination + k
        quint64 totalBytes = 0;
        quint32 flags = 0; // FlagPassedToRecorder, ByteMode
        quint32 lineBytes = 0;
        quint32 lineCount = 0;
        quint32 clipNumber = 0;
        quint32 firstFrame = 0;
        quint32 lastFrame = 0;   // inclusive
        QElapsedTimer startTime; // started by the submitter; the rate is measured from it
        float rate = 0;          // Gbit/s, set at completion
    };
    static constexpr quint32 FlagPassedToRecorder = 1u << 0;
    static constexpr quint32 ByteMode = 1u << 1;

    static constexpr int ChunkPackets = 5000;
    static constexpr int DefaultPayloadSize = 8952;
    static constexpr int ReceiveBufferSize = 10240;
    static constexpr int MaxPayloadSize = ReceiveBufferSize - int(TxPacketHead::Size);

    explicit ReceiveUDPEngine(QObject* parent = nullptr);

    // The recorder's address: requests go there, and only datagrams from it are taken.
    void setAddress(const QHostAddress& address);
    void setSocket(QUdpSocket* socket, quint16 port);
    // Bytes of data per TxPacket for chunks issued from now on; refused outside 1 … MaxPayloadSize.
    bool setPayloadSize(int size);
    int payloadSize() const { return payloadSize_; }
    void setVerbose(bool verbose);

    // Reads and discards every datagram pending on the socket.
    void drain();
    // Appends to the queue; safe from any thread.
    void enqueue(const TransferRequest& request);
    // Empties the queue and returns what it held; safe from any thread.
    QList<TransferRequest> takeQueued();
    // One step; true when a request completed in it.
    bool process();
    // Blocks until a datagram may be read (at most quietMs while a request runs) or, with the
    // queue empty, until a request is queued (at most idleMs). Lets the receive thread leave
    // the CPU to others when the link is quiet.
    void waitForWork(int quietMs, int idleMs);
    // Whether the last process() took any datagram off the socket.
    bool receivedInLastStep() const { return receivedInLastStep_; }
    // Datagrams dropped because they did not come from the recorder; readable from any thread.
    quint64 foreignDatagrams() const { return senders_.rejected(); }

    const TransferSlot& slot(int index) const { return slots_[size_t(index)]; }

    // One datagram from the recorder, after its sender was checked: a data packet is written
    // into its chunk, an event or status moves its slot on. process() calls it for each
    // datagram it takes off the socket.
    void dispatch(const uchar* datagram, qsizetype size);

signals:
    void requestCompleted(kvx::ReceiveUDPEngine::TransferRequest request);
    void requestFailed(kvx::ReceiveUDPEngine::TransferRequest request);

private:
    enum class Outcome { Running, Completed, Failed };

    bool startHeadRequest();
    bool issueChunk(int slotIndex);
    void receivePending();
    Outcome checkSlots();
    bool allIssued() const;
    void finishHead(Outcome outcome);

    QUdpSocket* socket_ = nullptr;
    std::array<TransferSlot, 2> slots_{TransferSlot(0), TransferSlot(1)};
    DatagramBatch batch_;
    SenderFilter senders_;
    std::atomic<int> payloadSize_{DefaultPayloadSize};
    int nextSlot_ = 0;
    quint16 chunkCounter_; // wraps at 65536 as the recorder expects
    bool verbose_ = false;
    bool receivedInLastStep_ = false;
    bool dataArrived_ = false; // a TxPacket came in this step, for any chunk

    // Guarded by mutex_: only the queue is shared with other threads.
    QMutex mutex_;
    QWaitCondition queued_;
    QQueue<TransferRequest> queue_;

    // The request at the head of the queue while it runs (receive thread only).
    bool started_ = false;
    TransferRequest current_;
    bool frameMode_ = false;
    quint64 frameSize_ = 0;
    quint64 frameTotal_ = 0;
    quint64 framesIssued_ = 0;
    quint64 bytesIssued_ = 0;
};

} // namespace kvx

Q_DECLARE_METATYPE(kvx::ReceiveUDPEngine::TransferRequest)

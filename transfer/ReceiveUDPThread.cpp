#include "transfer/ReceiveUDPThread.h"

#include "transfer/TransferLog.h"

#include <QUdpSocket>
#include <QVariant>

#include <sys/socket.h>

namespace kvx {

namespace {

// Longest the loop blocks on a quiet socket while a request runs: short against the first
// time-out steps (10 and 15 ms), which then still come out on time.
constexpr int QuietWaitMs = 1;
// Longest it sleeps with nothing queued (a queued request wakes it at once): bounds how long a
// stop request waits for the loop to notice it.
constexpr int IdleWaitMs = 20;

void registerTransferRequest()
{
    static const int id =
        qRegisterMetaType<ReceiveUDPEngine::TransferRequest>("kvx::ReceiveUDPEngine::TransferRequest");
    Q_UNUSED(id);
}

} // namespace

ReceiveUDPThread::ReceiveUDPThread(QObject* parent, const QHostAddress& recorderAddress, quint16 localPort)
    : QThread(parent), socket_(new QUdpSocket), recorderAddress_(recorderAddress), localPort_(localPort)
{
    registerTransferRequest();
    // Direct: the thread's signals then leave from the receive thread like the engine's, and
    // reach receivers elsewhere queued, carrying the request by value.
    connect(&engine_, &ReceiveUDPEngine::requestCompleted, this, &ReceiveUDPThread::requestCompleted,
            Qt::DirectConnection);
    connect(&engine_, &ReceiveUDPEngine::requestFailed, this, &ReceiveUDPThread::requestFailed, Qt::DirectConnection);
    socket_->moveToThread(this);
}

ReceiveUDPThread::~ReceiveUDPThread()
{
    // Owners stop the thread first; an owner that forgot must not leave it writing into freed
    // memory.
    requestInterruption();
    wait();
    // run() deletes the socket when it ends; a thread that never ran still holds it.
    delete socket_;
}

void ReceiveUDPThread::onRequestCompleted(kvx::ReceiveUDPEngine::TransferRequest request)
{
    qCDebug(lcTransfer) << "Finished with rate: " << request.rate;
}

void ReceiveUDPThread::queueRequest(kvx::ReceiveUDPEngine::TransferRequest request)
{
    {
        QMutexLocker lock(&failureMutex_);
        if (failure_.isEmpty()) {
            engine_.enqueue(request);
            return;
        }
    }
    emit requestFailed(request);
}

QString ReceiveUDPThread::failureReason() const
{
    QMutexLocker lock(&failureMutex_);
    return failure_;
}

void ReceiveUDPThread::failEveryRequest(const QString& reason)
{
    {
        QMutexLocker lock(&failureMutex_);
        failure_ = reason;
    }
    for (const ReceiveUDPEngine::TransferRequest& request : engine_.takeQueued())
        emit requestFailed(request);
}

void ReceiveUDPThread::setPayloadSize(int size)
{
    engine_.setPayloadSize(size);
}

void ReceiveUDPThread::run()
{
    if (bindSocket()) {
        enlargeReceiveBuffer();
        engine_.setAddress(recorderAddress_);
        engine_.setSocket(socket_, transferPort_);
        engine_.drain();
        while (!isInterruptionRequested()) {
            engine_.process();
            if (!engine_.receivedInLastStep())
                engine_.waitForWork(QuietWaitMs, IdleWaitMs);
        }
        if (const quint64 foreign = engine_.foreignDatagrams())
            qCWarning(lcTransfer).noquote()
                << "Dropped" << foreign << "datagrams from senders other than" << recorderAddress_.toString();
    }
    engine_.setSocket(nullptr, transferPort_);
    delete socket_;
    socket_ = nullptr;
}

bool ReceiveUDPThread::bindSocket()
{
    quint32 port = localPort_;
    int failures = 0;
    while (!isInterruptionRequested()) {
        if (socket_->bind(QHostAddress::AnyIPv4, quint16(port), QAbstractSocket::DontShareAddress)) {
            boundPort_ = socket_->localPort();
            return true;
        }
        qCDebug(lcTransfer).noquote() << "Failed to bind" << recorderAddress_.toString() << "on port" << port;
        ++failures;
        if (failures > BindAttemptsBeforeAlarm)
            qCDebug(lcTransfer).noquote() << "Failed to bind to any port for address" << recorderAddress_.toString();
        // Past the last port there is nothing left to try; port 0 would bind a random one.
        if (++port > 0xFFFF) {
            qCWarning(lcTransfer).noquote() << "No local port left for transfers from" << recorderAddress_.toString();
            failEveryRequest(tr("no local port was free to receive the clip's data"));
            return false;
        }
    }
    return false;
}

void ReceiveUDPThread::enlargeReceiveBuffer()
{
    socket_->setReadBufferSize(SocketBufferBytes);
    // A process allowed to administer the network (CAP_NET_ADMIN) gets the whole buffer past
    // the system's cap; at 10 Gbit/s the capped default holds only a few milliseconds.
    const int bytes = SocketBufferBytes;
    if (::setsockopt(int(socket_->socketDescriptor()), SOL_SOCKET, SO_RCVBUFFORCE, &bytes, sizeof bytes) != 0)
        socket_->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, SocketBufferBytes);
    // The system caps the request (net.core.rmem_max); what was granted explains drops at speed.
    const qint64 granted = socket_->socketOption(QAbstractSocket::ReceiveBufferSizeSocketOption).toLongLong();
    if (granted < SocketBufferBytes)
        qCWarning(lcTransfer).noquote() << "Receive buffer for" << recorderAddress_.toString() << "is" << granted
                                        << "bytes of the" << SocketBufferBytes << "asked for";
    else
        qCInfo(lcTransfer).noquote() << "Receive buffer for" << recorderAddress_.toString() << "is" << granted
                                     << "bytes";
}

} // namespace kvx

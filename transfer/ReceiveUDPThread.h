#pragma once

#include "transfer/ReceiveUDPEngine.h"

#include <QHostAddress>
#include <QMutex>
#include <QThread>

class QUdpSocket;

namespace kvx {

// Owns one UDP socket and one engine and runs the engine on a thread of its own, so that clip
// data are taken in at line rate without involving the GUI thread. Requests go in through
// queueRequest; outcomes come out through the two signals, emitted on this thread.
class ReceiveUDPThread : public QThread {
    Q_OBJECT
public:
    static constexpr quint16 RecorderTransferPort = 4353;
    static constexpr int SocketBufferBytes = 0x10000000;
    static constexpr int BindAttemptsBeforeAlarm = 1000;

    ReceiveUDPThread(QObject* parent, const QHostAddress& recorderAddress, quint16 localPort);
    ~ReceiveUDPThread() override;

    // The recorder's transfer port; only a test recorder on another port needs this, and only
    // before start().
    void setRecorderTransferPort(quint16 port) { transferPort_ = port; }
    // The port the socket is bound to once running (0 before).
    quint16 boundPort() const { return boundPort_.load(); }
    // Why the thread cannot receive (no local port was free), for the user; empty while it can.
    // Every request queued on such a thread fails.
    QString failureReason() const;
    // Datagrams dropped because they came from another sender than the recorder.
    quint64 foreignDatagrams() const { return engine_.foreignDatagrams(); }

signals:
    void requestCompleted(kvx::ReceiveUDPEngine::TransferRequest request);
    void requestFailed(kvx::ReceiveUDPEngine::TransferRequest request);

public slots:
    void onRequestCompleted(kvx::ReceiveUDPEngine::TransferRequest request);
    void queueRequest(kvx::ReceiveUDPEngine::TransferRequest request);
    void setPayloadSize(int size);

protected:
    void run() override;

private:
    bool bindSocket();
    void enlargeReceiveBuffer();
    void failEveryRequest(const QString& reason);

    QUdpSocket* socket_;
    ReceiveUDPEngine engine_;
    QHostAddress recorderAddress_;
    quint16 localPort_;
    quint16 transferPort_ = RecorderTransferPort;
    std::atomic<quint16> boundPort_{0};
    // Guards failure_, and keeps a request from being queued after the queue was failed.
    mutable QMutex failureMutex_;
    QString failure_;
};

} // namespace kvx

#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>

#include <netinet/in.h>

// A small receiver of the clip transfer written for the tests, independent of the clips
// manager's engine: two chunks in flight, missing lists after "chunk sent" or the tail
// packet, a resent request or missing list after a quiet spell.
class TransferTestClient {
public:
    struct Job {
        bool calibration = false; // byte mode, flags bit 0
        quint32 clipNumber = 0;
        quint32 firstFrame = 0; // frame mode
        quint32 lastFrame = 0;
        quint64 frameSize = 0;  // frame mode
        quint64 totalBytes = 0; // byte mode; frame mode derives it
        quint32 payloadSize = 8952;
        quint32 chunkPackets = 5000;
    };
    struct Result {
        QByteArray data;
        bool ok = false;
        quint32 errorCode = 0; // of an error event, when one ended the transfer
        int dataBegins = 0;    // events of type 4 seen
        int chunkSent = 0;     // events of type 5 seen
        int missingListsSent = 0;
        int requestsSent = 0;
        quint64 packetsReceived = 0; // including duplicates
        int quietTimeouts = 0;
        qint64 firstPacketNs = -1; // arrival of the first and last data packet, on one clock
        qint64 lastPacketNs = -1;
        quint64 bytesReceived = 0; // data datagram bytes, including duplicates
    };

    // On 127.0.0.1 unless a server address is given (the test network's recorder side).
    explicit TransferTestClient(quint16 serverPort, quint16 firstChunkId = 0,
                                const QHostAddress& server = QHostAddress(QHostAddress::LocalHost));
    ~TransferTestClient();

    // Fetches the job; gives up after timeoutMs or after maxQuietMs without any datagram.
    Result fetch(const Job& job, int timeoutMs = 20000, int maxQuietMs = 5000);

    // Raw access for tests that drive the protocol by hand.
    bool sendRaw(const QByteArray& datagram);
    // Next datagram within timeoutMs, skipping data packets when skipData is set.
    QByteArray receiveRaw(int timeoutMs, bool skipData = true);

private:
    int fd_ = -1;
    sockaddr_in server_{};
    quint16 nextChunkId_;
};

#pragma once

#include "sim/ClipContent.h"
#include "sim/transfer/TransferFaults.h"

#include <QHostAddress>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

class SimLog;

// Finds a clip by its number on the recorder. Called from the server's own thread.
using ClipLookup = std::function<std::optional<SimClip>(quint32 clipNumber)>;

struct TransferCounters {
    quint64 packetsSent = 0;   // data packets of first passes handed to the socket (or dropped by a fault)
    quint64 packetsResent = 0; // data packets sent again for a missing list
    quint64 requestsSeen = 0;  // data requests (type 2)
    quint64 statusQueries = 0;
    quint64 missingLists = 0;
    quint64 bytesSent = 0; // datagram bytes of data packets that went to the socket
    // Faults injected into data packets.
    quint64 packetsDropped = 0;
    quint64 packetsDuplicated = 0;
    quint64 packetsHeldBack = 0;
};

// The recorder's side of the clip transfer on one link's transfer port. It answers data
// requests with the chunk's packets (frames of a clip, or its calibration block when bit 0 of
// the request flags is set), with "data begins" and "chunk sent" events, resends what missing
// lists name and answers status queries. Chunks of both slots, and of several receivers, are
// sent interleaved. Runs in its own thread; paced by a token bucket or unpaced.
class TransferServer {
public:
    // Error event codes (event type 6). Code 2 is never used: receivers ignore it.
    enum ErrorCode : quint32 { UnknownClip = 1, FramesOutsideClip = 3, BadPacketLayout = 4 };
    // Status reply codes.
    enum StatusCode : quint32 {
        NoSuchChunk = 0,
        Sending = 1,            // first pass under way
        Resending = 2,          // resending what a missing list named
        AwaitingMissingList = 3 // everything sent, waiting for the receiver's list
    };

    // rateGbps: target rate of data datagrams in Gbit/s; 0 sends as fast as the socket takes.
    TransferServer(ClipLookup clips, QHostAddress bindAddress, quint16 port, TransferFaults faults = {},
                   double rateGbps = 0);
    ~TransferServer();
    TransferServer(const TransferServer&) = delete;
    TransferServer& operator=(const TransferServer&) = delete;

    // Before start(): where packets received and events go.
    void setLog(SimLog* log, quint64 recorderId);

    // Binds the port (0: any free one) and starts the thread. On failure error says why.
    bool start(QString* error = nullptr);
    void stop();
    bool isRunning() const { return thread_.joinable(); }
    quint16 boundPort() const { return boundPort_; }
    TransferCounters counters() const;

private:
    class Loop;

    ClipLookup clips_;
    QHostAddress bindAddress_;
    quint16 port_;
    TransferFaults faults_;
    double rateGbps_;
    SimLog* log_ = nullptr;
    quint64 recorderId_ = 0;

    std::unique_ptr<Loop> loop_;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    quint16 boundPort_ = 0;
};

#pragma once

#include "common/packets/TransferPackets.h"

#include <QElapsedTimer>
#include <QHostAddress>

#include <array>
#include <vector>

class QUdpSocket;

namespace kvx {

enum class SlotState : int {
    Idle = 0,      // no chunk
    Requested = 1, // data request sent, no data yet
    Receiving = 2, // data arriving
    Repairing = 3, // missing list sent, waiting for the missing packets
    Done = 4,      // chunk complete
    Failed = 5,    // the recorder reported an error or sent an unexpected status
    TimedOut = 6,  // too many time-outs in a row
};

// One chunk in flight: its data request, the bitmap of packets received, and the retries that
// repair lost requests, statuses and packets. Lives on the receive thread only.
class TransferSlot {
public:
    // Silence allowed before the next retry, indexed by the count of consecutive time-outs. The
    // first steps are short so that repairs start almost at once on a fast link.
    static constexpr std::array<int, 10> TimeoutTableMs{10, 15, 20, 50, 100, 100, 200, 300, 400, 2000};
    static constexpr int MaxRetries = int(TimeoutTableMs.size());

    explicit TransferSlot(quint32 number);

    void setAddress(const QHostAddress& address) { remoteAddress_ = address; }
    void setSocket(QUdpSocket* socket, quint16 port);
    void setVerbose(bool verbose) { verbose_ = verbose; }

    // Starts the chunk described by request: sends the request and clears the bitmap.
    void start(const TxDataRequest& request, quint32 chunkBytes, uchar* chunkDestination);
    void reset();

    quint32 number() const { return number_; }
    SlotState state() const { return state_; }
    bool isBusy() const;
    quint64 chunkId() const { return request_.chunkId; }
    int retries() const { return retries_; }
    const TxDataRequest& request() const { return request_; }

    // A TxPacket of this slot's chunk; payload holds whatever followed the head in the datagram.
    void onData(quint32 index, const uchar* payload, qsizetype payloadBytes);
    void onEvent(const TxEvent& event);
    void onStatus(const TxStatus& status);
    // Runs the time-out table; called once per engine step.
    void tick();
    void restartTimer() { timer_.restart(); }

private:
    bool isReceiving() const { return state_ == SlotState::Receiving || state_ == SlotState::Repairing; }
    void markReceived(quint32 index) { received_[index / 64] |= quint64(1) << (index % 64); }
    bool isReceived(quint32 index) const { return received_[index / 64] >> (index % 64) & 1; }
    void sendMissingList();
    bool send(const QByteArray& datagram);

    quint32 number_;
    quint16 remotePort_ = 1101;
    QHostAddress remoteAddress_{QStringLiteral("192.168.129.70")};
    QUdpSocket* socket_ = nullptr;
    TxDataRequest request_;
    QElapsedTimer timer_;
    SlotState state_ = SlotState::Idle;
    std::vector<quint64> received_;
    int retries_ = 0;
    bool verbose_ = false;
    quint32 chunkBytes_ = 0;
    uchar* chunkDestination_ = nullptr;
};

} // namespace kvx

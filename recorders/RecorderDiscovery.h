#pragma once

#include "discovery/DiscoverySocket.h"
#include "download/RecorderCommandChannel.h"

#include <QObject>
#include <QTimer>

class RecorderEthernetModel;

// The clips manager's one discovery socket. It broadcasts the discovery request on every IPv4
// subnet every 8 s, lists recorders that answer over their 10G link, greets each new one with
// the first-contact packets, and routes every other datagram to the download manager of the
// recorder that sent it. It also sends the window's and the downloads' command datagrams.
class RecorderDiscovery : public QObject, public RecorderCommandChannel {
    Q_OBJECT
public:
    static constexpr quint16 FirstPort = 47915;
    static constexpr int RequestIntervalMs = 8000;
    static constexpr int FirstContactSpacingMs = 50;

    // Binds the socket to the first free port from FirstPort up and starts the request timer.
    // The first request goes out with on_broadcastTimeout().
    explicit RecorderDiscovery(RecorderEthernetModel* recorders, QObject* parent = nullptr);

    bool isBound() const { return socket_.isBound(); }
    // The reply port that the requests carry; 0 when no port could be bound.
    quint16 port() const { return socket_.port(); }

    void sendCommand(const kvx::RecorderInfoPacket& recorder, const ParameterPacket& command) override;
    void takeAnswers() override { on_broadcastReceived(); }

public slots:
    // Sends the discovery request and restarts the timer.
    void on_broadcastTimeout();
    // Drains the socket.
    void on_broadcastReceived();

private:
    void processRecorderInfo(QByteArrayView datagram);
    void greetNewRecorder(const kvx::RecorderInfoPacket& recorder);

    RecorderEthernetModel* recorders_;
    DiscoverySocket socket_;
    QTimer timer_;
};

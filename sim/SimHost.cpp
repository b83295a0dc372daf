#include "sim/SimHost.h"

#include "common/packets/DiscoveryRequest.h"
#include "common/packets/PacketMagic.h"

#include <QJsonObject>
#include <QNetworkDatagram>
#include <QSet>
#include <QUdpSocket>

SimHost::SimHost(SimConfig config, QObject* parent) : QObject(parent), config_(std::move(config))
{
    statusTimer_.setInterval(config_.statusIntervalMs);
    connect(&statusTimer_, &QTimer::timeout, this, [this] {
        for (auto& r : recorders_)
            r->sendPeriodic();
    });
    countersTimer_.setInterval(config_.countersIntervalMs);
    connect(&countersTimer_, &QTimer::timeout, this, [this] {
        for (auto& r : recorders_)
            r->logTransferCounters();
    });
}

SimHost::~SimHost() = default;

quint16 SimHost::discoveryPort() const
{
    return discovery_ ? discovery_->localPort() : 0;
}

bool SimHost::start(QString* error)
{
    if (!config_.logPath.isEmpty() && !log_.open(config_.logPath)) {
        *error = QStringLiteral("cannot open the log %1").arg(config_.logPath);
        return false;
    }
    for (const SimRecorderConfig& rc : config_.recorders) {
        auto recorder = std::make_unique<SimRecorder>(rc, config_, &log_, this);
        if (!recorder->start(error))
            return false;
        recorders_.push_back(std::move(recorder));
    }

    // Subnet broadcasts do not reach a socket bound to a unicast address: listen on all.
    discovery_ = new QUdpSocket(this);
    if (!discovery_->bind(config_.listenAddress, config_.discoveryPort,
                          QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint)) {
        *error = QStringLiteral("cannot bind the discovery port %1: %2")
                     .arg(config_.discoveryPort)
                     .arg(discovery_->errorString());
        return false;
    }
    connect(discovery_, &QUdpSocket::readyRead, this, &SimHost::readDiscovery);

    // The IP change datagram goes to 255.255.255.255 on the command port; one wildcard socket
    // per distinct command port hears it. Without one (port taken) only that command is lost.
    // Listening on one address only, the link sockets already hear everything there is.
    QSet<quint16> ports;
    if (config_.listenAddress == QHostAddress(QHostAddress::AnyIPv4))
        for (auto& r : recorders_)
            for (int i = 0; i < r->linkCount(); ++i)
                ports.insert(r->infoPacket(i).ethernet.commandPort);
    for (quint16 port : ports) {
        auto* socket = new QUdpSocket(this);
        if (!socket->bind(QHostAddress::AnyIPv4, port, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint)) {
            log_.write(0, QStringLiteral("0.0.0.0"), "event", "broadcast-port-unavailable", {{"port", port}});
            delete socket;
            continue;
        }
        connect(socket, &QUdpSocket::readyRead, this, [this, socket] { readBroadcastCommands(socket); });
        broadcastSockets_.append(socket);
    }
    statusTimer_.start();
    if (config_.countersIntervalMs > 0)
        countersTimer_.start();
    return true;
}

void SimHost::readDiscovery()
{
    while (discovery_->hasPendingDatagrams()) {
        const QNetworkDatagram d = discovery_->receiveDatagram(65536);
        const QHostAddress from(d.senderAddress().toIPv4Address());
        // A program sends exactly the 8 bytes of the request; anything else is not one.
        const bool exact = d.data().size() == DiscoveryRequest::Size;
        const std::optional<DiscoveryRequest> decoded = DiscoveryRequest::decode(d.data());
        const bool isRequest = exact && decoded.has_value();
        const quint16 replyPort = decoded.value_or(DiscoveryRequest{}).replyPort;
        const QHostAddress destination =
            d.destinationAddress().isNull() ? QHostAddress() : QHostAddress(d.destinationAddress().toIPv4Address());
        log_.write(0, QStringLiteral("0.0.0.0"), "in", isRequest ? "DiscoveryRequest" : "discovery-other",
                   {{"from", from.toString()},
                    {"to", destination.toString()},
                    {"port", d.senderPort()},
                    {"bytes", d.data().size()},
                    {"replyPort", isRequest ? replyPort : 0}});
        if (!isRequest) {
            log_.write(0, QStringLiteral("0.0.0.0"), "event", "refused",
                       {{"reason", QStringLiteral("discovery request of %1 bytes").arg(d.data().size())}});
            continue;
        }
        for (auto& r : recorders_)
            r->answerDiscovery(from, replyPort, destination, int(d.interfaceIndex()));
    }
}

void SimHost::readBroadcastCommands(QUdpSocket* socket)
{
    while (socket->hasPendingDatagrams()) {
        const QNetworkDatagram d = socket->receiveDatagram(65536);
        const QHostAddress from(d.senderAddress().toIPv4Address());
        for (auto& r : recorders_)
            r->takeBroadcastCommand(d.data(), from, quint16(d.senderPort()));
    }
}

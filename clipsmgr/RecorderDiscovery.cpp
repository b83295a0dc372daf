#include "clipsmgr/RecorderDiscovery.h"

#include "clipsmgr/RecorderCommands.h"
#include "clipsmgr/RecorderEthernetModel.h"
#include "common/DelayMs.h"
#include "common/packets/DiscoveryRequest.h"
#include "common/packets/PacketMagic.h"
#include "common/packets/RecorderInfoPacket.h"
#include "download/RecorderDownloadManager.h"

#include <QDebug>
#include <QNetworkDatagram>
#include <QNetworkInterface>

RecorderDiscovery::RecorderDiscovery(RecorderEthernetModel* recorders, QObject* parent)
    : QObject(parent), recorders_(recorders)
{
    bindFirstFreePort();
    connect(&socket_, &QUdpSocket::readyRead, this, &RecorderDiscovery::on_broadcastReceived);
    connect(&timer_, &QTimer::timeout, this, &RecorderDiscovery::on_broadcastTimeout);
    timer_.start(RequestIntervalMs);
}

// The search stops at the top of the port range instead of wrapping to 0, which would bind an
// arbitrary port and announce 0 to the recorders.
void RecorderDiscovery::bindFirstFreePort()
{
    for (quint32 port = FirstPort; port <= 0xFFFF; ++port) {
        if (socket_.bind(QHostAddress::Any, quint16(port), QAbstractSocket::DontShareAddress)) {
            port_ = quint16(port);
            return;
        }
    }
    qWarning() << "No free UDP port from" << FirstPort << "up: recorders cannot be discovered";
}

void RecorderDiscovery::on_broadcastTimeout()
{
    if (isBound()) {
        const QByteArray request = DiscoveryRequest{port_}.encode();
        for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
            for (const QNetworkAddressEntry& entry : interface.addressEntries()) {
                const QHostAddress ip = entry.ip();
                if (ip.isLoopback() || ip.protocol() != QAbstractSocket::IPv4Protocol || entry.broadcast().isNull())
                    continue;
                socket_.writeDatagram(request, entry.broadcast(), RecorderPort);
            }
        }
    }
    timer_.start(RequestIntervalMs);
}

void RecorderDiscovery::on_broadcastReceived()
{
    while (socket_.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = socket_.receiveDatagram();
        const QByteArray data = datagram.data();
        if (kvx::peekMagic(data) == kvx::magic::RecorderInfo) {
            processRecorderInfo(data);
        } else if (RecorderDownloadManager* manager = recorders_->managerForAddress(datagram.senderAddress())) {
            manager->processDatagram(data);
        }
    }
}

void RecorderDiscovery::processRecorderInfo(QByteArrayView datagram)
{
    const std::optional<kvx::RecorderInfoPacket> info = kvx::RecorderInfoPacket::decode(datagram);
    // Clips are downloaded over a 10G link only: answers over any other link are ignored.
    if (!info || info->ethernet.linkCode() != 1)
        return;
    if (recorders_->addRecorder(*info))
        greetNewRecorder(*info);
}

void RecorderDiscovery::greetNewRecorder(const kvx::RecorderInfoPacket& recorder)
{
    sendCommand(recorder, RecorderCommands::portAnnouncement(port_));
    delayMs(FirstContactSpacingMs);
    sendCommand(recorder, RecorderCommands::updatePaintOptions());
    delayMs(FirstContactSpacingMs);
    sendCommand(recorder, RecorderCommands::fetchMatrices());
}

void RecorderDiscovery::sendCommand(const kvx::RecorderInfoPacket& recorder, const ParameterPacket& command)
{
    socket_.writeDatagram(command.encode(), recorder.ethernet.address(), recorder.ethernet.commandPort);
}

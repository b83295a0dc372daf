#include "recorders/RecorderDiscovery.h"

#include "common/DelayMs.h"
#include "common/packets/PacketMagic.h"
#include "common/packets/RecorderInfoPacket.h"
#include "download/RecorderCommands.h"
#include "download/RecorderDownloadManager.h"
#include "recorders/RecorderEthernetModel.h"

#include <QDebug>

RecorderDiscovery::RecorderDiscovery(RecorderEthernetModel* recorders, QObject* parent)
    : QObject(parent), recorders_(recorders)
{
    if (!socket_.bindFirstFree(QHostAddress::Any, FirstPort))
        qWarning() << "No free UDP port from" << FirstPort << "up: recorders cannot be discovered";
    connect(&socket_, &DiscoverySocket::readyRead, this, &RecorderDiscovery::on_broadcastReceived);
    connect(&timer_, &QTimer::timeout, this, &RecorderDiscovery::on_broadcastTimeout);
    timer_.start(RequestIntervalMs);
}

void RecorderDiscovery::on_broadcastTimeout()
{
    socket_.broadcastRequest(localSubnets());
    timer_.start(RequestIntervalMs);
}

void RecorderDiscovery::on_broadcastReceived()
{
    while (socket_.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = socket_.receive();
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
    sendCommand(recorder, RecorderCommands::portAnnouncement(port()));
    delayMs(FirstContactSpacingMs);
    sendCommand(recorder, RecorderCommands::updatePaintOptions());
    delayMs(FirstContactSpacingMs);
    sendCommand(recorder, RecorderCommands::fetchMatrices());
}

void RecorderDiscovery::sendCommand(const kvx::RecorderInfoPacket& recorder, const ParameterPacket& command)
{
    socket_.send(command.encode(), recorder.ethernet.address(), recorder.ethernet.commandPort);
}

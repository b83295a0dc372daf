#include "discovery/DiscoverySocket.h"

#include "common/packets/DiscoveryRequest.h"

#include <algorithm>

DiscoverySocket::DiscoverySocket(QObject* parent) : QObject(parent)
{
    connect(&socket_, &QUdpSocket::readyRead, this, &DiscoverySocket::readyRead);
}

bool DiscoverySocket::bindFirstFree(const QHostAddress& address, quint16 firstPort, int maxAttempts)
{
    const quint32 last = std::min<quint32>(0xFFFF, quint32(firstPort) + quint32(std::max(maxAttempts, 1)) - 1);
    for (quint32 port = firstPort; port <= last; ++port) {
        if (socket_.bind(address, quint16(port), QAbstractSocket::DontShareAddress)) {
            port_ = quint16(port);
            return true;
        }
    }
    port_ = 0;
    return false;
}

void DiscoverySocket::sendRequest(const QHostAddress& destination)
{
    if (isBound())
        socket_.writeDatagram(DiscoveryRequest{port_}.encode(), destination, DiscoveryRequest::RecorderPort);
}

void DiscoverySocket::broadcastRequest(const QList<LocalSubnet>& subnets)
{
    for (const LocalSubnet& subnet : subnets)
        sendRequest(subnet.broadcast);
}

void DiscoverySocket::send(const QByteArray& datagram, const QHostAddress& destination, quint16 port)
{
    socket_.writeDatagram(datagram, destination, port);
}

#pragma once

#include "discovery/LocalSubnets.h"

#include <QNetworkDatagram>
#include <QObject>
#include <QUdpSocket>

// The UDP socket a program finds recorders with: bound to the first free port of a range, it
// sends the discovery request (which carries that port, so recorders answer to it) and
// receives the answers. The clips manager keeps one for every subnet; the control program
// binds one per adapter.
class DiscoverySocket : public QObject {
    Q_OBJECT
public:
    // No limit but the top of the port range.
    static constexpr int EveryPort = 0x10000;

    explicit DiscoverySocket(QObject* parent = nullptr);

    // Binds to address on firstPort, or the next port up while that fails, trying at most
    // maxAttempts ports. The search stops at 65535 instead of wrapping to 0, which would bind an
    // arbitrary port and announce 0 to the recorders. False (unbound) when no port was free.
    bool bindFirstFree(const QHostAddress& address, quint16 firstPort, int maxAttempts = EveryPort);
    bool isBound() const { return socket_.state() == QAbstractSocket::BoundState; }
    // The bound port, which the requests carry; 0 while unbound.
    quint16 port() const { return port_; }

    // The discovery request to destination, port 45611. Nothing is sent while unbound.
    void sendRequest(const QHostAddress& destination);
    // The request to the broadcast address of each subnet.
    void broadcastRequest(const QList<LocalSubnet>& subnets);
    // Any other datagram, such as a command to a recorder's command port.
    void send(const QByteArray& datagram, const QHostAddress& destination, quint16 port);

    bool hasPendingDatagrams() { return socket_.hasPendingDatagrams(); }
    // The next received datagram with its sender; an invalid one when none is pending.
    QNetworkDatagram receive() { return socket_.receiveDatagram(); }

signals:
    // Datagrams arrived; read them with receive() while hasPendingDatagrams().
    void readyRead();

private:
    QUdpSocket socket_;
    quint16 port_ = 0;
};

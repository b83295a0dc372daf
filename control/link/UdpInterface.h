#pragma once

#include "control/link/BaseRecInterface.h"

#include <QHostAddress>
#include <QNetworkInterface>
#include <QTimer>
#include <QUdpSocket>

struct UdpRecInfo;

// The link to a recorder over Ethernet. Commands go to the recorder's port 9000 from a local
// port of 9001 plus the link index; whatever the recorder sends back from its address keeps the
// link connected, and 3000 ms without a datagram count as a time-out. The link sends no
// keep-alive of its own.
class UdpInterface : public BaseRecInterface {
    Q_OBJECT
public:
    static constexpr quint16 RemotePort = 9000;
    static constexpr quint16 FirstLocalPort = 9001;
    static constexpr int KeepAliveMs = 3000;
    static constexpr qsizetype ReceiveBufferSize = 2048;
    static QHostAddress multicastGroup();

    explicit UdpInterface(QObject* parent = nullptr);

    Kind kind() const override { return Ethernet; }
    // Binds the local port 9001 + index, on the adapter that found the recorder or, with the
    // record's multicast flag, on any address joined to the multicast group. The link is
    // connected only once the recorder's first datagram arrives. False when the bind failed (the
    // link then stays not connected).
    bool openLink(const UdpRecInfo& info, int index);
    void closeLink() override;
    void sendCommand(const QString& command) override;
    bool sendData(const char* data, int length) override;
    QString statusText() const override;
    bool isConnected() const override { return state_ == Connected; }

    // Where the recorder is to send: the adapter's address (or the multicast group) and port.
    QString localAddressText() const { return local_.toString(); }
    quint16 localPort() const { return localPort_; }
    QHostAddress remoteAddress() const { return remote_; }
    int state() const { return state_; }

public slots:
    void processUDPs();

private:
    void onKeepAliveTimeout();

    QUdpSocket socket_;
    QTimer keepAlive_;
    QHostAddress local_ = QHostAddress(QHostAddress::AnyIPv4);
    QHostAddress remote_ = QHostAddress(QStringLiteral("192.168.130.70"));
    QNetworkInterface multicastInterface_;
    quint16 localPort_ = RemotePort;
    int state_ = NotConnected;
    bool multicast_ = false;
};

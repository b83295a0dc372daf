#pragma once

#include "control/link/BaseRecInterface.h"

#include <QList>

// A link that keeps what it is asked to send, connected or not as the test says.
class CapturingLink : public BaseRecInterface {
public:
    explicit CapturingLink(bool connected = true) : connected_(connected) {}

    Kind kind() const override { return Ethernet; }
    void closeLink() override { closed = true; }
    void sendCommand(const QString& command) override { sent.append(command.toUtf8()); }
    bool sendData(const char* data, int length) override
    {
        sent.append(QByteArray(data, length));
        return true;
    }
    bool isConnected() const override { return connected_; }
    void setConnected(bool connected) { connected_ = connected; }
    // Feeds a packet as if the recorder had sent it.
    void receive(const QByteArray& packet) { emit packetReceived(linkIndex(), packet.constData(), int(packet.size())); }
    void setIndex(int index) { setLinkIndex(index); }

    QList<QByteArray> sent;
    bool closed = false;

private:
    bool connected_;
};

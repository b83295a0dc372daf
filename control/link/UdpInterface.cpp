#include "control/link/UdpInterface.h"

#include "control/discovery/UdpRecInfo.h"

#include <QLoggingCategory>
#include <QNetworkDatagram>

Q_DECLARE_LOGGING_CATEGORY(lcLink)

namespace {

// The interface that holds address, for joining the multicast group there: without a default
// route the system would not know where to join.
QNetworkInterface interfaceHolding(const QHostAddress& address)
{
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces())
        for (const QNetworkAddressEntry& entry : interface.addressEntries())
            if (entry.ip() == address)
                return interface;
    return {};
}

} // namespace

QHostAddress UdpInterface::multicastGroup()
{
    return QHostAddress(QStringLiteral("239.255.42.99"));
}

UdpInterface::UdpInterface(QObject* parent) : BaseRecInterface(parent)
{
    keepAlive_.setSingleShot(true);
    keepAlive_.setTimerType(Qt::PreciseTimer);
    keepAlive_.setInterval(KeepAliveMs);
    connect(&keepAlive_, &QTimer::timeout, this, &UdpInterface::onKeepAliveTimeout);
    connect(&socket_, &QUdpSocket::readyRead, this, &UdpInterface::processUDPs);
}

bool UdpInterface::openLink(const UdpRecInfo& info, int index)
{
    remote_ = info.recorderAddress;
    localPort_ = quint16(FirstLocalPort + index);
    multicast_ = info.multicast;
    bool bound = false;
    if (multicast_) {
        local_ = multicastGroup();
        bound = socket_.bind(QHostAddress(QHostAddress::AnyIPv4), localPort_,
                             QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint);
        multicastInterface_ = interfaceHolding(info.localAddress);
        const bool joined = multicastInterface_.isValid() ? socket_.joinMulticastGroup(local_, multicastInterface_)
                                                          : socket_.joinMulticastGroup(local_);
        if (!joined)
            qCDebug(lcLink, "Link %d could not join %s: %s", index, qPrintable(local_.toString()),
                    qPrintable(socket_.errorString()));
    } else {
        local_ = info.localAddress;
        bound = socket_.bind(local_, localPort_, QUdpSocket::ShareAddress);
    }
    if (!bound)
        qCDebug(lcLink, "Link %d could not bind %s:%u: %s", index, qPrintable(local_.toString()), localPort_,
                qPrintable(socket_.errorString()));
    setLinkIndex(index);
    return bound;
}

void UdpInterface::closeLink()
{
    if (multicast_) {
        if (multicastInterface_.isValid())
            socket_.leaveMulticastGroup(local_, multicastInterface_);
        else
            socket_.leaveMulticastGroup(local_);
    }
    keepAlive_.stop();
    state_ = NotConnected;
}

void UdpInterface::sendCommand(const QString& command)
{
    sendBytes(command.toUtf8());
}

bool UdpInterface::sendData(const char* data, int length)
{
    return socket_.writeDatagram(data, length, remote_, RemotePort) == length;
}

QString UdpInterface::statusText() const
{
    const QString prefix = QStringLiteral("Ethernet: ");
    switch (state_) {
    case NotConnected:
        return prefix + tr("Not connected");
    case TimedOut:
        return prefix + tr("Disconnected (Time out)");
    case Connected:
        return prefix + tr("Connected to ") + remote_.toString();
    default:
        return prefix + tr("Unknown status");
    }
}

void UdpInterface::processUDPs()
{
    while (socket_.hasPendingDatagrams()) {
        // A longer datagram is cut to the buffer; a failed read yields an invalid datagram.
        const QNetworkDatagram datagram = socket_.receiveDatagram(ReceiveBufferSize);
        const QByteArray data = datagram.data();
        const bool fromRecorder = datagram.senderAddress().isEqual(remote_, QHostAddress::ConvertV4MappedToIPv4);
        if (!datagram.isValid() || data.isEmpty() || !fromRecorder || !isActive())
            continue;
        keepAlive_.start();
        if (state_ != Connected) {
            state_ = Connected;
            emit connectionChanged(linkIndex(), state_);
        }
        emit packetReceived(linkIndex(), data.constData(), int(data.size()));
    }
}

void UdpInterface::onKeepAliveTimeout()
{
    state_ = TimedOut;
    emit connectionChanged(linkIndex(), state_);
}

#include "control/discovery/UdpEnumerator.h"

#include "discovery/DiscoverySocket.h"

#include <QLoggingCategory>
#include <QNetworkDatagram>

Q_LOGGING_CATEGORY(lcEnumerator, "vlm.control.discovery")

struct UdpEnumerator::Adapter {
    LocalSubnet subnet;
    DiscoverySocket socket;
};

UdpEnumerator::UdpEnumerator(QObject* parent) : QObject(parent)
{}

UdpEnumerator::~UdpEnumerator() = default;

void UdpEnumerator::startOnAdapter(const QHostAddress& address, const QHostAddress& netmask, quint16 basePort)
{
    startOnSubnets({LocalSubnet{address, netmask, QHostAddress()}}, basePort);
}

void UdpEnumerator::startOnAllAdapters(quint16 basePort)
{
    startOnSubnets(localSubnets(), basePort);
}

void UdpEnumerator::startOnSubnets(const QList<LocalSubnet>& subnets, quint16 basePort)
{
    adapters_.clear();
    records_.clear();
    quint16 port = basePort;
    for (const LocalSubnet& subnet : subnets) {
        auto adapter = std::make_unique<Adapter>();
        adapter->subnet = subnet;
        if (!adapter->socket.bindFirstFree(subnet.address, port, BindAttempts)) {
            qCDebug(lcEnumerator, "No free port for %s from %u", qPrintable(subnet.address.toString()), port);
            continue;
        }
        port = adapter->socket.port();
        connect(&adapter->socket, &DiscoverySocket::readyRead, this, &UdpEnumerator::OnProcessBroadcast);
        adapters_.push_back(std::move(adapter));
    }
    active_ = true;
}

void UdpEnumerator::scan()
{
    for (const auto& adapter : adapters_)
        adapter->socket.sendRequest(QHostAddress(QHostAddress::Broadcast));
}

UdpRecInfo* UdpEnumerator::recorderAt(int index)
{
    return index >= 0 && index < count() ? records_[size_t(index)].get() : nullptr;
}

QList<quint16> UdpEnumerator::boundPorts() const
{
    QList<quint16> ports;
    for (const auto& adapter : adapters_)
        ports.append(adapter->socket.port());
    return ports;
}

void UdpEnumerator::OnProcessBroadcast()
{
    for (const auto& adapter : adapters_) {
        while (adapter->socket.hasPendingDatagrams()) {
            const QNetworkDatagram datagram = adapter->socket.receive();
            if (!active_ || !datagram.isValid())
                continue;
            // Refuses anything shorter than the packet or with another magic.
            const auto info = kvx::RecorderInfoPacket::decode(datagram.data());
            if (!info)
                continue;
            const QHostAddress sender(datagram.senderAddress().toIPv4Address());
            const bool known = std::any_of(records_.begin(), records_.end(), [&](const auto& r) {
                return r->recorderAddress == sender && r->info.recorderId == info->recorderId;
            });
            if (known)
                continue;
            auto record = std::make_unique<UdpRecInfo>();
            record->localAddress = adapter->subnet.address;
            record->localNetmask = adapter->subnet.netmask;
            record->recorderAddress = sender;
            record->localPort = adapter->socket.port();
            record->info = *info;
            records_.push_back(std::move(record));
            emit recorderCountChanged();
        }
    }
}

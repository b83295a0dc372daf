#pragma once

#include "control/discovery/UdpRecInfo.h"
#include "discovery/LocalSubnets.h"

#include <QList>
#include <QObject>

#include <memory>
#include <vector>

class DiscoverySocket;

// Finds recorders over Ethernet: one socket per local IPv4 adapter, bound to the adapter's
// address on the first free port from 45056, sends the discovery request to 255.255.255.255 and
// keeps one record per recorder link that answers (told apart by sender address and
// recorderId). Records are never aged out; each start begins a new list.
class UdpEnumerator : public QObject {
    Q_OBJECT
public:
    static constexpr quint16 FirstPort = 45056;
    static constexpr int BindAttempts = 200;

    explicit UdpEnumerator(QObject* parent = nullptr);
    ~UdpEnumerator() override;

    // One adapter; the socket tries basePort and the ports above it.
    void startOnAdapter(const QHostAddress& address, const QHostAddress& netmask, quint16 basePort = FirstPort);
    // Every adapter that has a broadcast address, each starting its search at the port the
    // adapter before it bound.
    void startOnAllAdapters(quint16 basePort = FirstPort);
    void startOnSubnets(const QList<LocalSubnet>& subnets, quint16 basePort);
    // Sends the request from every adapter socket.
    void scan();
    // Further answers are ignored until the next start.
    void stop() { active_ = false; }

    int count() const { return int(records_.size()); }
    // Null outside the list.
    UdpRecInfo* recorderAt(int index);
    // The ports the adapter sockets bound, in adapter order.
    QList<quint16> boundPorts() const;

public slots:
    void OnProcessBroadcast();

signals:
    void recorderCountChanged();

private:
    struct Adapter;
    std::vector<std::unique_ptr<Adapter>> adapters_;
    std::vector<std::unique_ptr<UdpRecInfo>> records_;
    bool active_ = false;
};

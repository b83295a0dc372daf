#pragma once

#include <QHostAddress>
#include <QList>
#include <QNetworkAddressEntry>

// An IPv4 address of this machine on a network that has a broadcast address: where discovery
// requests go out, and what a recorder's answer is compared with.
struct LocalSubnet {
    QHostAddress address;
    QHostAddress netmask;
    QHostAddress broadcast;

    bool operator==(const LocalSubnet&) const = default;
};

// The entries discovery can use: IPv4, not loopback, with a broadcast address; in the order
// given.
QList<LocalSubnet> broadcastSubnets(const QList<QNetworkAddressEntry>& entries);

// Those of every network interface of this machine, interface by interface.
QList<LocalSubnet> localSubnets();

#include "discovery/LocalSubnets.h"

#include <QNetworkInterface>

QList<LocalSubnet> broadcastSubnets(const QList<QNetworkAddressEntry>& entries)
{
    QList<LocalSubnet> subnets;
    for (const QNetworkAddressEntry& entry : entries) {
        const QHostAddress ip = entry.ip();
        if (ip.isLoopback() || ip.protocol() != QAbstractSocket::IPv4Protocol || entry.broadcast().isNull())
            continue;
        subnets.append({ip, entry.netmask(), entry.broadcast()});
    }
    return subnets;
}

QList<LocalSubnet> localSubnets()
{
    QList<LocalSubnet> subnets;
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces())
        subnets += broadcastSubnets(interface.addressEntries());
    return subnets;
}

#include "control/discovery/NetworkAdapters.h"

#include "discovery/LocalSubnets.h"

#include <QNetworkInterface>

QList<NetworkAdapter> networkAdapters()
{
    QList<NetworkAdapter> adapters;
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
        const QList<LocalSubnet> subnets = broadcastSubnets(interface.addressEntries());
        if (subnets.isEmpty())
            continue;
        adapters.append({interface.humanReadableName(), subnets.first().address, subnets.first().netmask});
        if (adapters.size() == NetworkAdapter::MaxCount)
            break;
    }
    return adapters;
}

std::optional<NetworkAdapter> adapterNamed(const QString& name)
{
    for (const NetworkAdapter& adapter : networkAdapters())
        if (adapter.name == name)
            return adapter;
    return std::nullopt;
}

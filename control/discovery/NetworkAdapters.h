#pragma once

#include <QHostAddress>
#include <QList>
#include <QString>

#include <optional>

// A network adapter discovery can be limited to: its name and its IPv4 address.
struct NetworkAdapter {
    static constexpr int MaxCount = 32;

    QString name;
    QHostAddress address;
    QHostAddress netmask;
};

// The host's adapters with an IPv4 address that has a broadcast address (loopback left out),
// in the host's interface order, at most 32.
QList<NetworkAdapter> networkAdapters();
// The adapter of that name, if the host has it.
std::optional<NetworkAdapter> adapterNamed(const QString& name);

#pragma once

#include "common/packets/RecorderInfoPacket.h"

#include <QHostAddress>

// One recorder link found by discovery: where the answer came from, the local adapter that
// heard it, and the recorder's information packet. The manager opens a UDP link from it.
struct UdpRecInfo {
    QHostAddress localAddress; // of the adapter socket that received the answer
    QHostAddress localNetmask;
    QHostAddress recorderAddress; // sender of the answer
    quint16 localPort = 0;        // the adapter socket's port
    bool multicast = false;       // set by the manager before opening, never by discovery
    kvx::RecorderInfoPacket info;

    // False when the recorder is not on the subnet of the adapter that found it; it is then
    // shown in the warning form.
    bool onLocalSubnet() const
    {
        const quint32 mask = localNetmask.toIPv4Address();
        return (recorderAddress.toIPv4Address() & mask) == (localAddress.toIPv4Address() & mask);
    }
};

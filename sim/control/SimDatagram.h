#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>

// A datagram the simulator core is to send on behalf of a logic class that owns no socket.
struct SimDatagram {
    QByteArray bytes;
    QHostAddress to;
    quint16 port = 0;
};

#pragma once

#include "download/EthernetView.h"
#include "transfer/ReceiveUDPThread.h"

#include <QSharedPointer>

// What a recorder's download manager keeps per recorder link.
struct LinkChannel {
    // The most bytes of frames one transfer request may ask for.
    static constexpr quint64 DefaultMaxRequestBytes = 180000000;

    // Null when the link does not carry transfers.
    QSharedPointer<kvx::ReceiveUDPThread> thread;
    QSharedPointer<EthernetView> link;
    quint64 maxRequestBytes = DefaultMaxRequestBytes;
};

#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// The 8-byte broadcast that asks every recorder to answer with its information packet.
struct DiscoveryRequest {
    static constexpr qsizetype Size = 8;
    static constexpr quint16 RecorderPort = 45611;

    quint16 replyPort = 0;

    QByteArray encode() const;
    static std::optional<DiscoveryRequest> decode(QByteArrayView datagram);
};

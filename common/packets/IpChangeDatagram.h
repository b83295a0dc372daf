#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHostAddress>

#include <optional>

// The 24-byte broadcast that tells one recorder, named by its recorderId, to take a new IPv4
// address: a code 2 set parameter packet whose word announces only the 4 address bytes, with
// the recorderId following them.
struct IpChangeDatagram {
    static constexpr qsizetype Size = 24;
    static constexpr quint8 Code = 2;
    static constexpr quint16 Port = 9000;

    quint32 newAddress = 0; // as QHostAddress::toIPv4Address gives it
    quint64 recorderId = 0;

    QHostAddress address() const { return QHostAddress(newAddress); }

    QByteArray encode() const;
    // Fails (with a debug line) for fewer than 24 bytes, or a head that is not a code 2 set with
    // form 1 and a 4-byte word.
    static std::optional<IpChangeDatagram> decode(QByteArrayView datagram);
    bool operator==(const IpChangeDatagram&) const = default;
};

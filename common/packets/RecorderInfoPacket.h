#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHostAddress>

#include <array>
#include <optional>

namespace kvx {

// The 56-byte answer of a recorder to a discovery request, one per link that heard it.
// Defaults are those of a freshly constructed record before a packet is copied over it.
struct RecorderInfoPacket {
    static constexpr qsizetype Size = 56;

    // The link on which the recorder answered (20 bytes at offset 36).
    struct EthernetInfo {
        static constexpr qsizetype Size = 20;
        static constexpr quint8 TransferFlag = 0x01;
        static constexpr quint8 LinkCodeMask = 0x70;

        std::array<quint8, 6> unnamed0{}; // not read by the programs
        std::array<quint8, 4> ip{};       // most significant byte first
        quint16 commandPort = 9000;
        quint16 secondPort = 9000; // not read
        quint16 unnamed14 = 4353;  // not read
        quint16 transferPort = 4353;
        quint8 linkFlags = 0;
        quint8 unnamed19 = 0; // not read

        // 0 is the 1G link, anything else a 10G link; the clips manager accepts only code 1.
        int linkCode() const { return (linkFlags & LinkCodeMask) >> 4; }
        bool carriesTransfers() const { return linkFlags & TransferFlag; }
        QHostAddress address() const;
        void setAddress(const QHostAddress& address);

        void encodeInto(uchar* out) const;
        static EthernetInfo decodeFrom(const uchar* in);
        bool operator==(const EthernetInfo&) const = default;
    };

    quint32 magic = 0xABCD0006;
    quint32 unnamed4 = 7;
    quint64 recorderId = 0;
    quint32 versionDate = 0x20171020;
    quint32 cameraSerial = 0;
    quint32 unnamed24 = 45090016;
    qint16 cameraModel = 0;
    quint16 unnamed30 = 0;
    quint32 unnamed32 = 1;
    EthernetInfo ethernet;

    // The recorder's serial number: the low half of recorderId.
    quint32 serialNumber() const { return quint32(recorderId & 0xFFFFFFFFu); }

    QByteArray encode() const;
    // Fails (with a debug line) for a datagram shorter than 56 bytes or with another magic.
    static std::optional<RecorderInfoPacket> decode(QByteArrayView datagram);
    bool operator==(const RecorderInfoPacket&) const = default;
};

} // namespace kvx

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QMetaType>

#include <optional>

namespace kvx {

// One step of the firmware programming exchange, sent as the payload of a code 13 parameter
// packet: a 13-byte record, followed by the data bytes when the command carries data.
struct FirmwareProgramCommand {
    static constexpr qsizetype Size = 13;
    static constexpr qsizetype MaxDataLength = 256;

    enum Command : quint8 {
        InitUpload = 9, // forget any earlier upload
        FirstData = 3,  // packet 0 of the image
        Data = 2,       // any later packet, and every re-sent packet
        ReportStatus = 8,
        Checksum = 12,   // checksum the range [address, address + length) and report it
        WriteFlash = 24, // write the first length bytes of the image to flash
    };
    static constexpr quint8 HasDataBit = 0x02;

    quint32 packetIndex = 0;
    quint32 address = 0;
    quint32 length = 0;
    quint8 command = 0;

    bool hasData() const { return command & HasDataBit; }

    // The record, followed by data when the command carries data (data must be length bytes).
    QByteArray encode(QByteArrayView data = {}) const;

    struct WithData;
    // Fails (with a debug line) for fewer than 13 bytes, or fewer than 13 + length bytes when
    // the command carries data.
    static std::optional<WithData> decode(QByteArrayView payload);
    bool operator==(const FirmwareProgramCommand&) const = default;
};

struct FirmwareProgramCommand::WithData {
    FirmwareProgramCommand command;
    QByteArray data;
};

// The recorder's 32-byte answer to a firmware command: the payload of a code 14 reply.
struct FirmwareProgramStatus {
    static constexpr qsizetype Size = 32;

    quint64 unnamed0 = 0;
    quint64 checksum = 0;   // of the last range requested
    float progress = 0.0f;  // flash write, 0.0 to 1.0
    quint32 rangeStart = 0; // of the checksummed range
    quint32 rangeLength = 0;
    quint16 missingPacket = 0; // next packet the recorder lacks = packets received in order
    quint16 unnamed30 = 0;

    QByteArray encode() const;
    // Fails (with a debug line) for fewer than 32 bytes.
    static std::optional<FirmwareProgramStatus> decode(QByteArrayView payload);
    bool operator==(const FirmwareProgramStatus&) const = default;
};

} // namespace kvx

Q_DECLARE_METATYPE(kvx::FirmwareProgramCommand)
Q_DECLARE_METATYPE(kvx::FirmwareProgramStatus)

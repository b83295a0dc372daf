#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>
#include <optional>

// The recorder's 120-byte basic information block: the answer to a code 11 query, and what the
// information dialog sends back with code 11. Bytes not named here are carried unchanged.
struct BasicInfoBlock {
    static constexpr qsizetype Size = 120;
    static constexpr qsizetype NameOffset = 56;
    static constexpr qsizetype NameCapacity = Size - NameOffset; // including the terminating zero
    // Set in nameLength in the copy the control program sends.
    static constexpr quint32 SentByProgramFlag = 0x100;

    quint32 serialNumber = 0;
    std::array<quint8, 4> unnamed4{};
    quint32 firmwareVersion = 0; // bits 16-31, 8-15, 0-7 shown as "%1-%2-%3" in hexadecimal
    quint32 recorderVersion = 0;
    quint32 boardVersion = 0;
    quint8 diskCount = 0;
    quint8 unnamed21 = 0;
    std::array<quint8, 4> ip1G{}; // one byte per part, most significant first
    std::array<quint8, 4> ip10G0{};
    std::array<quint8, 4> ip10G1{};
    std::array<quint8, 6> mac1G{};
    std::array<quint8, 6> mac10G0{};
    std::array<quint8, 6> mac10G1{};
    quint32 nameLength = 0;
    std::array<quint8, NameCapacity> nameBytes{}; // zero-terminated text, rest carried

    // The text before the first zero (or the whole area when it has none).
    QString name() const;
    // Stores the name as UTF-8, cut to fit with its terminating zero, and sets nameLength.
    void setName(const QString& name);

    QByteArray encode() const;
    // Fails (with a debug line) for fewer than 120 bytes.
    static std::optional<BasicInfoBlock> decode(QByteArrayView payload);
    bool operator==(const BasicInfoBlock&) const = default;
};

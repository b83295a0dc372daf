#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// A typed parameter exchange with a recorder: a 12-byte head and an optional payload.
struct ParameterPacket {
    static constexpr qsizetype HeadSize = 12;

    enum Form : quint8 {
        ValueInWord = 0,     // the value stands in the word
        PayloadFollows = 1,  // the word is the length of the payload that follows
        PortAnnouncement = 2 // the clips manager tells the recorder where to send
    };
    enum Operation : quint16 { Set = 0, Query = 2, Reply = 3 };

    quint8 code = 0;
    quint8 form = ValueInWord;
    quint16 operation = Set;
    quint32 word = 0;
    QByteArray payload; // sent after the head; for form 1 the word must equal its length

    QByteArray encode() const;
    // Fails for a datagram shorter than the head, with another magic, or (form 1) whose payload
    // is shorter than the word announces.
    static std::optional<ParameterPacket> decode(QByteArrayView datagram);
};

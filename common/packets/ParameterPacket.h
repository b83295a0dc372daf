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
    QByteArray payload; // sent after the head; for form 1 the word should equal its length

    QByteArray encode() const;
    // Fails for a datagram shorter than the head or with another magic. The payload is every
    // byte after the head: readers go by the datagram's length, not by what the word says.
    static std::optional<ParameterPacket> decode(QByteArrayView datagram);
};

#pragma once

#include "common/packets/SerialFrame.h"

#include <QtGlobal>

// The receiving half of a framed stream: called with each complete packet.
class SerialPacketProcessor {
public:
    virtual ~SerialPacketProcessor() = default;

protected:
    virtual void processPacket(const char* data, int length) = 0;
};

// The sending half: raw writes to the stream.
class SerialPacketSender {
public:
    virtual ~SerialPacketSender() = default;

protected:
    // Bytes written (possibly fewer than asked), 0 or -1 when nothing more can be written.
    virtual qint64 writeRaw(const char* data, qint64 length) = 0;
};

// Packets over a byte stream, each in a frame (kvx::SerialFrame): framed sends, and the
// reassembly of received bytes into packets.
class SerialRecInterface : public SerialPacketProcessor, public SerialPacketSender {
public:
    static constexpr qint64 ReadChunk = 128;

    // One packet in one frame; false, with nothing sent, for a packet longer than
    // kvx::SerialFrame::MaxPayload or when the stream took only part of the frame.
    bool sendFrame(const char* data, int length);

protected:
    // Up to maxLength received bytes; 0 when none are waiting.
    virtual qint64 receiveData(char* data, qint64 maxLength) = 0;
    // Reads what has arrived; with deliver set, each complete packet goes to processPacket,
    // otherwise the bytes are thrown away.
    void receiveAvailable(bool deliver);
    void resetReceive() { reader_.reset(); }

private:
    kvx::SerialFrameReader reader_;
};

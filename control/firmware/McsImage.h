#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

// A firmware image read from an MCS file (Intel HEX text): the bytes at their addresses, the
// address ranges the file filled, and the runs the upload is cut into.
class McsImage {
public:
    static constexpr quint64 Capacity = 0x2000000; // 32 MiB
    static constexpr quint32 PacketSize = 256;
    static constexpr quint32 RunPackets = 5000;
    // The recorder reports missing packets with a 16-bit number.
    static constexpr quint32 MaxPackets = 0xFFFF;

    struct Segment {
        quint32 first = 0;
        quint32 end = 0; // one past the last byte
        bool operator==(const Segment&) const = default;
    };
    // A piece of the upload checked with one checksum: at most RunPackets packets.
    struct Run {
        quint32 start = 0;
        quint32 end = 0;
        quint32 firstPacket = 0;
        quint32 packetCount = 0;
        quint32 length() const { return end - start; }
        bool operator==(const Run&) const = default;
    };

    // Reads the whole text. Fails, with the reason in error(), on a record that is cut short,
    // holds other than hex digits, has a wrong checksum or an unknown type, on data beyond the
    // capacity, on a file without data or without its end record, and on an image of more
    // packets than the recorder can count.
    bool parse(QByteArrayView text);
    QString error() const { return error_; }

    // The image up to the end of its last segment (bytes no record filled are zero).
    const QByteArray& bytes() const { return bytes_; }
    const QList<Segment>& segments() const { return segments_; }
    const QList<Run>& runs() const { return runs_; }
    quint32 totalBytes() const { return totalBytes_; }
    quint32 totalPackets() const { return totalPackets_; }

private:
    bool fail(const QString& detail);
    void addSegment(quint32 first, quint32 end);
    void buildRuns();

    QByteArray bytes_;
    QList<Segment> segments_;
    QList<Run> runs_;
    quint32 totalBytes_ = 0;
    quint32 totalPackets_ = 0;
    QString error_;
};

#pragma once

#include "common/catalogue/ClipSegment.h"
#include "common/packets/ClipInfoPacket.h"

#include <QtTest>

// A clip as a recorder lists it: frames of width x height one-byte pixels stored back to back,
// recorded at 1000 frames a second by camera 29-0118-0001. Clips of different numbers are
// different clips.
inline kvx::ClipInfoPacket::clipInfo sampleClip(quint16 number, quint64 frames = 100, quint16 width = 1920,
                                                quint16 height = 1080)
{
    kvx::ClipInfoPacket::clipInfo c;
    c.cameraSerial = 2901180001u;
    c.totalFrames = frames;
    c.clipUid = 0xC11B0000ull + number;
    c.fps = 1000.0f;
    c.lineBytes = width;
    c.lineCount = height;
    c.width = width;
    c.height = height;
    c.clipNumber = number;
    c.clipVersion = 1;
    return c;
}

// One packet of a clip list transmission; by default the whole list in this one packet.
inline QByteArray clipListPacket(quint16 listId, const QList<kvx::ClipInfoPacket::clipInfo>& entries,
                                 int totalClips = -1, quint16 listTag = 0)
{
    kvx::ClipInfoPacket packet;
    packet.listId = listId;
    packet.totalClips = quint16(totalClips < 0 ? entries.size() : totalClips);
    packet.listTag = listTag;
    packet.entries = entries;
    return packet.encode();
}

namespace QTest {
template <>
inline char* toString(const ClipSegment& s)
{
    return qstrdup(QByteArray("[" + QByteArray::number(s.first) + ", " + QByteArray::number(s.last) + "]"));
}
} // namespace QTest

#pragma once

#include "common/catalogue/ClipSegment.h"
#include "common/packets/ClipInfoPacket.h"

#include <QtTest>

using ClipInfo = kvx::ClipInfoPacket::clipInfo;

// A 1920x1080 clip at 1000 fps; uid and version default to values derived from the number so
// that different numbers are different clips.
inline ClipInfo makeClip(quint16 number, quint64 frames = 100, quint64 uid = 0)
{
    ClipInfo c;
    c.cameraSerial = 2901180001u;
    c.totalFrames = frames;
    c.clipUid = uid ? uid : 0xC11B0000ull + number;
    c.fps = 1000.0f;
    c.lineBytes = 1920;
    c.lineCount = 1080;
    c.width = 1920;
    c.height = 1080;
    c.clipNumber = number;
    c.clipVersion = 1;
    return c;
}

inline QByteArray listPacket(quint16 listId, quint16 totalClips, const QList<ClipInfo>& entries, quint16 listTag = 0)
{
    kvx::ClipInfoPacket p;
    p.listId = listId;
    p.totalClips = totalClips;
    p.listTag = listTag;
    p.entries = entries;
    return p.encode();
}

namespace QTest {
template <>
inline char* toString(const ClipSegment& s)
{
    return qstrdup(QByteArray("[" + QByteArray::number(s.first) + ", " + QByteArray::number(s.last) + "]"));
}
} // namespace QTest

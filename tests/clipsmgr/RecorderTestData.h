#pragma once

#include "common/packets/ClipInfoPacket.h"
#include "common/packets/RecorderInfoPacket.h"

// Recorder and clip descriptions shared by the clips manager's tests.

inline kvx::RecorderInfoPacket recorderInfo(quint32 serial, const char* ip, quint8 linkFlags = 0x11)
{
    kvx::RecorderInfoPacket info;
    info.recorderId = 0x0000000700000000ull | serial;
    info.cameraSerial = 2901180001u;
    info.cameraModel = 0;
    info.ethernet.setAddress(QHostAddress(QString::fromLatin1(ip)));
    info.ethernet.linkFlags = linkFlags;
    return info;
}

inline kvx::ClipInfoPacket::clipInfo clipDescription(quint16 number, quint64 frames = 1000)
{
    kvx::ClipInfoPacket::clipInfo c;
    c.cameraSerial = 2901180001u;
    c.totalFrames = frames;
    c.clipUid = 0xC11B000000000000ull + number;
    c.fps = 1000.0f;
    c.lineBytes = 2048;
    c.lineCount = 1080;
    c.width = 2048;
    c.height = 1080;
    c.clipNumber = number;
    c.clipVersion = 1;
    return c;
}

// One whole transmission of a clip list in a single packet.
inline QByteArray clipListPacket(quint16 listId, const QList<kvx::ClipInfoPacket::clipInfo>& clips)
{
    kvx::ClipInfoPacket packet;
    packet.listId = listId;
    packet.totalClips = quint16(clips.size());
    packet.entries = clips;
    return packet.encode();
}

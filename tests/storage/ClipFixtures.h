#pragma once

#include "common/packets/ClipInfoPacket.h"

#include <QByteArray>
#include <QFile>
#include <QString>

// A recorder's description of a clip of the given stored frame size.
inline kvx::ClipInfoPacket::clipInfo clipOf(quint16 storedWidth, quint16 storedHeight, quint64 frames,
                                            float fps = 1000.0f)
{
    kvx::ClipInfoPacket::clipInfo info;
    info.cameraSerial = 10042;
    info.totalFrames = frames;
    info.clipUid = 0xABCDEF0123ULL;
    info.fps = fps;
    info.lineBytes = storedWidth;
    info.lineCount = storedHeight;
    info.width = storedWidth;
    info.height = storedHeight;
    info.clipNumber = 2;
    info.clipVersion = 1;
    return info;
}

inline bool writeFile(const QString& path, const QByteArray& content)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(content) == content.size();
}

inline QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

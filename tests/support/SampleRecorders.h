#pragma once

#include "common/packets/RecorderInfoPacket.h"

// A recorder's answer to discovery from a link at ip; by default a 10G link that carries
// transfers.
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

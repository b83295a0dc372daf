#include "sim/ClipListTransmission.h"

#include <algorithm>

QList<QByteArray> clipListPackets(const QList<kvx::ClipInfoPacket::clipInfo>& clips, quint16 listId, int perPacket)
{
    perPacket = std::max(1, perPacket);
    QList<QByteArray> out;
    qsizetype next = 0;
    do {
        kvx::ClipInfoPacket packet;
        packet.listId = listId;
        packet.totalClips = quint16(clips.size());
        packet.entries = clips.mid(next, perPacket);
        next += packet.entries.size();
        out.append(packet.encode());
    } while (next < clips.size());
    return out;
}

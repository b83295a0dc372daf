#pragma once

#include "common/packets/ClipInfoPacket.h"

#include <QByteArray>
#include <QList>

// The datagrams of one transmission of a recorder's clip list: every packet carries the same
// listId and the total, at most perPacket entries each. An empty list is one packet with no
// entries, so a receiver still learns that the recorder holds no clip.
QList<QByteArray> clipListPackets(const QList<kvx::ClipInfoPacket::clipInfo>& clips, quint16 listId, int perPacket);

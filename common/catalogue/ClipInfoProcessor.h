#pragma once

#include "common/packets/ClipInfoPacket.h"

#include <QByteArrayView>
#include <QList>

// Gathers the packets of one transmission of a recorder's clip list and keeps the last complete
// list. A value type: the clip list model takes it by value.
class ClipInfoProcessor {
public:
    // One clip of a list: the recorder's description and the list tag of the packet it came in.
    struct Record {
        kvx::ClipInfoPacket::clipInfo info;
        quint32 listTag = 0;
    };

    // True when this packet completed a transmission whose clip count differs from the previous
    // complete list's. A packet that is too short (or no clip list packet at all) fails its
    // transmission, and so does one that brings more entries than the transmission announced
    // (a repeated packet): the rest of it is ignored until a packet with another listId arrives.
    bool process(QByteArrayView packet);
    bool process(const char* packet, qsizetype length) { return process(QByteArrayView(packet, length)); }

    // The last complete transmission, sorted by clip number.
    const QList<Record>& clips() const { return completed_; }

private:
    QList<Record> completed_;
    QList<Record> pending_;
    bool failed_ = false;
    qint32 listId_ = -1; // no transmission seen yet; packets carry 16-bit ids
    qint32 gathered_ = 0;
};

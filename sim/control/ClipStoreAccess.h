#pragma once

#include "common/packets/ClipInfoPacket.h"

// What the control side of a simulated recorder needs from the recorder's clip store. The
// simulator core owns the clips (and sends the clip lists); the control side only asks and
// changes them through this interface, so it stays free of sockets.
class ClipStoreAccess {
public:
    virtual ~ClipStoreAccess() = default;

    virtual int clipCount() const = 0;
    // index is 0-based, oldest clip first; callers keep it below clipCount().
    virtual kvx::ClipInfoPacket::clipInfo clipAt(int index) const = 0;
    // A recording has just stopped: the store appends a new clip of that many frames.
    virtual void addRecordedClip(quint64 frames) = 0;
    // Returns false when index names no clip; the clip set is then unchanged.
    virtual bool deleteClip(int index) = 0;
    virtual void deleteAllClips() = 0;
};

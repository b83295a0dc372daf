#pragma once

#include "SampleClips.h"
#include "sim/control/ClipStoreAccess.h"

#include <QList>

// A clip store in memory, standing in for the simulator core's recorder.
class FakeClipStore : public ClipStoreAccess {
public:
    QList<kvx::ClipInfoPacket::clipInfo> clips;

    // Clips of 1024 x 512 one-byte pixels.
    static kvx::ClipInfoPacket::clipInfo clip(quint16 number, quint64 frames)
    {
        return sampleClip(number, frames, 1024, 512);
    }

    int clipCount() const override { return int(clips.size()); }
    kvx::ClipInfoPacket::clipInfo clipAt(int index) const override { return clips.at(index); }
    void addRecordedClip(quint64 frames) override { clips.append(clip(quint16(clips.size()), frames)); }
    bool deleteClip(int index) override
    {
        if (index < 0 || index >= clips.size())
            return false;
        clips.removeAt(index);
        return true;
    }
    void deleteAllClips() override { clips.clear(); }
};

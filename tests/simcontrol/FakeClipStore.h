#pragma once

#include "sim/control/ClipStoreAccess.h"

#include <QList>

// A clip store in memory, standing in for the simulator core's recorder.
class FakeClipStore : public ClipStoreAccess {
public:
    QList<kvx::ClipInfoPacket::clipInfo> clips;

    static kvx::ClipInfoPacket::clipInfo clip(quint16 number, quint64 frames)
    {
        kvx::ClipInfoPacket::clipInfo c;
        c.cameraSerial = 2901180001u;
        c.totalFrames = frames;
        c.clipUid = 1000 + number;
        c.fps = 1000.0f;
        c.lineBytes = 1024;
        c.lineCount = 512;
        c.width = 1024;
        c.height = 512;
        c.clipNumber = number;
        return c;
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

#include "sim/control/RecorderControlState.h"

StatusPacket RecorderControlState::statusPacket(quint64 clipFrames, quint64 diskFree) const
{
    StatusPacket s;
    s.playbackPosition = playback.position();
    s.clipFrames = clipFrames;
    s.stateFlags = fixedFlags;
    s.set(StatusPacket::Recording, recording);
    s.set(StatusPacket::LoopPlayback, playback.loop());
    s.set(StatusPacket::GenlockLocked, detectedGenlock != 0);
    s.frameRate = frameRate;
    s.shutterTime = shutterTime;
    s.diskCapacity = diskCapacity;
    s.diskFree = diskFree;
    s.genlockFormat = detectedGenlock;
    s.sdiFormat = quint8(sdiFormatWord);
    s.selectedClip = playback.selectedClip();
    return s;
}

#pragma once

#include "SampleClipFolders.h"
#include "sim/ClipContent.h"

// Clip folders holding the simulator's deterministic content (link vlm_sim).
namespace testdata {

// A simulated clip of width x height pixels, stored as recorded, at 500 frames a second.
inline SimClip simulatedClip(quint16 number, quint64 frames, quint16 width, quint16 height)
{
    SimClip clip;
    clip.info = sampleClip(number, frames, width, height);
    clip.info.fps = 500.0f;
    return clip;
}

// The frames and calibration the simulator sends for the clip.
inline FolderContent simulatorContent(const SimClip& sim)
{
    FolderContent content;
    content.clip = sim.info;
    content.frames = [sim](qint64 first, qint64 count, uchar* out) {
        fillFrames(sim, quint64(first), quint64(count), out);
    };
    content.calibration = [sim](uchar* out, qsizetype bytes) { fillCalibration(sim, 0, bytes, out); };
    return content;
}

} // namespace testdata

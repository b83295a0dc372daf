#pragma once

#include "common/catalogue/ClipSegment.h"

#include <QList>

namespace playback {

// What one repaint draws of a clip.
struct FramePlan {
    int frame = 0;        // the frame shown
    bool present = false; // it is on disk; otherwise the picture is black
    int span = 1;         // frames of the temporal window: 7 around the frame, or the frame alone
};

// The temporal filter needs three frames on either side.
constexpr int kTemporalSpan = 7;

// The plan for index in a clip of frameCount frames, of which the frames in present are on
// disk (sorted, non-overlapping ranges). An index outside the clip shows frame 0. The
// temporal window is used from frame 3 on, and only when every frame of it that lies in the
// clip is present, so a frame that has not arrived never enters the picture.
FramePlan planFrame(int index, int frameCount, const QList<ClipSegment>& present);

// Whether frames first to last all lie in present.
bool covers(const QList<ClipSegment>& present, qint64 first, qint64 last);

} // namespace playback

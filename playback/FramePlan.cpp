#include "playback/FramePlan.h"

#include "playback/PlaybackCursor.h"

#include <algorithm>

namespace playback {

bool covers(const QList<ClipSegment>& present, qint64 first, qint64 last)
{
    return std::any_of(present.cbegin(), present.cend(),
                       [&](const ClipSegment& s) { return s.first <= first && last <= s.last; });
}

FramePlan planFrame(int index, int frameCount, const QList<ClipSegment>& present)
{
    FramePlan plan;
    plan.frame = shownFrame(index, frameCount);
    plan.present = frameCount > 0 && covers(present, plan.frame, plan.frame);
    // Past the clip's end the pipeline repeats the last frame, so only frames inside it count.
    const int half = kTemporalSpan / 2;
    const qint64 last = std::min<qint64>(qint64(plan.frame) + half, qint64(frameCount) - 1);
    if (plan.present && plan.frame >= half && covers(present, plan.frame - half, last))
        plan.span = kTemporalSpan;
    return plan;
}

} // namespace playback

#pragma once

#include "common/catalogue/ClipSegment.h"

#include <QList>

namespace playback {

// The frame a slider value stands for: where the slider's range [minimum, maximum] does not
// run over the frames one to one, the value is scaled onto frames 0 .. numFrames - 1.
int correspondingFrame(int value, int minimum, int maximum, int numFrames);

// The frame ranges the slider shows as present: the whole clip once its download has
// finished, else each range on disk.
QList<ClipSegment> presentBars(bool downloadFinished, int numFrames, const QList<ClipSegment>& segments);

// A slider of integer positions [first, last] standing for the property range [min, max].
struct SliderScale {
    int first = 0;
    int last = 0;
    double min = 0.0;
    double max = 0.0;

    // The nearest position for a value, inside the slider. Rounding (not truncating) lets a
    // position survive the way to the property and back.
    int position(double value) const;
    // The property value of a position.
    double value(int position) const;
};

} // namespace playback

#pragma once

#include <QString>

namespace playback {

// The window title for a clip: "Clip 3 (2048x1080 @ 500 fps)".
QString windowTitle(int clipNumber, int width, int height, double fps);

// The frame label for frame (counted from 0): the frame counted from 1, with its time in the
// clip when the clip has a rate, and a note when the frame is not on disk yet.
QString frameLabel(int frame, double fps, bool present = true);

} // namespace playback

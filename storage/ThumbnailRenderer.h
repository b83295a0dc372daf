#pragma once

#include <QString>

class SavedClip;

// Draws the thumbnail picture of a clip folder. Storage draws no pictures itself: the program
// hands one in (the clips manager's draws the first frame through the processing pipeline);
// clips without one show the default clip picture.
class ThumbnailRenderer {
public:
    virtual ~ThumbnailRenderer() = default;
    // Draws the clip's first frame with its calibration and render state and saves the picture
    // as path. False when it cannot; no file is written then.
    virtual bool render(SavedClip& clip, const QString& path) = 0;
};

#pragma once

#include "storage/ThumbnailRenderer.h"

// Thumbnails through the processing pipeline in an off-screen OpenGL context: the clip's first
// frame with its polynomial calibration and render state. A clip without a calibration that
// loads gets none.
class PipelineThumbnailRenderer : public ThumbnailRenderer {
public:
    bool render(SavedClip& clip, const QString& path) override;
};

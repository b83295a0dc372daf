#pragma once

#include "render/pipeline/FrameBlock.h"

#include <QByteArray>
#include <QString>

class RenderState;

namespace kvx {

// Height of a clip's thumbnail picture in pixels.
constexpr int kThumbnailHeight = 128;

// Renders the first frame of a clip through the pipeline with its polynomial calibration
// (calibration.size() == frames.width x frames.height x 8 bytes) and its render state, which
// is switched to full-polynomial calibration, and saves the picture, upright and scaled to
// the thumbnail height, as path (format from the suffix). False when any step fails; no file
// is written then.
bool renderThumbnailImage(const FrameBlock& frames, const QByteArray& calibration, RenderState& state,
                          const QString& path);

} // namespace kvx

#include "clipsmgr/PipelineThumbnailRenderer.h"

#include "render/pipeline/ThumbnailRenderer.h"
#include "storage/SavedClip.h"

bool PipelineThumbnailRenderer::render(SavedClip& clip, const QString& path)
{
    QByteArray calibration;
    int width = 0;
    int height = 0;
    if (!clip.loadCalibration(&calibration, &width, &height))
        return false;
    const auto frames = kvx::FrameBlock::describeMapped(clip.frameData(0), clip.dataSize(), qint64(clip.totalFrames),
                                                        width, height, clip.bytesPerFrame());
    return kvx::renderThumbnailImage(frames, calibration, clip.renderState(), path);
}

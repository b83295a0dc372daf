#include "render/pipeline/RenderPipeAPI.h"

namespace kvx {

void RenderPipeline::renderToCurrentViewport(const FrameBlock& frames, qint64 frameIndex, int span)
{
    // The viewport itself stays as the caller set it; the picture fills all of it.
    render(frames, frameIndex, span, QRectF(-1.0, -1.0, 2.0, 2.0));
}

} // namespace kvx

#pragma once

#include "render/pipeline/FrameBlock.h"

#include <QRectF>

class RenderState;

namespace kvx {

// What a display or an off-screen job needs from a processing pipeline.
class RenderPipeAPI {
public:
    virtual ~RenderPipeAPI() = default;

    // Creates programs and textures; needs a current context. False on any failure.
    virtual bool init() = 0;
    // Destroys every GPU object; call with the same context current.
    virtual void release() = 0;
    virtual void renderToCurrentViewport(const FrameBlock& frames, qint64 frameIndex, int span) = 0;
    // Draws frameIndex (with span frames of temporal window) into the rectangle viewportRect,
    // in normalised device coordinates of the frame buffer and viewport bound by the caller.
    virtual void render(const FrameBlock& frames, qint64 frameIndex, int span, const QRectF& viewportRect) = 0;
    virtual int height() const = 0;
    virtual int width() const = 0;
    virtual void startRenderThread() = 0;
    virtual void applyRenderState(const RenderState& state) = 0;
};

// Behaviour common to pipelines: the read-back flag of off-screen users and drawing into
// the whole current viewport.
class RenderPipeline : public RenderPipeAPI {
public:
    void renderToCurrentViewport(const FrameBlock& frames, qint64 frameIndex, int span) override;

    // Set by users that read the result back with glReadPixels (bottom row first): the
    // picture is then laid out so that the first row read is its top row.
    void setReadBack(bool readBack) { readBack_ = readBack; }
    bool readBack() const { return readBack_; }

protected:
    bool readBack_ = false;
};

} // namespace kvx

#pragma once

#include "render/pipeline/BaseLegacyPipe.h"

#include <QByteArray>
#include <QSize>

#include <array>
#include <memory>

class QOffscreenSurface;
class QOpenGLContext;
class QOpenGLFramebufferObject;

namespace kvx {

// The pipeline drawing into an off-screen frame buffer whose pixels are read back: the
// common ground of the thumbnail and the command-line export. Lives on the GUI thread.
class OffscreenRenderer {
public:
    OffscreenRenderer();
    ~OffscreenRenderer();
    OffscreenRenderer(const OffscreenRenderer&) = delete;
    OffscreenRenderer& operator=(const OffscreenRenderer&) = delete;

    // Makes a context current on an off-screen surface and sets up the target frame buffer
    // of outputSize and the pipeline. Logs what failed and returns false.
    bool open(const QSize& outputSize);

    BaseLegacyPipe& pipe() { return pipe_; }
    QSize outputSize() const { return outputSize_; }
    qsizetype frameBytes() const { return qsizetype(outputSize_.width()) * outputSize_.height() * 3; }

    // Binds the target and clears it; call once before the first frame.
    void beginFrames();
    // Draws frameIndex into the whole target. The image read afterwards is the window staged
    // by the call before (the upload is double-buffered).
    void renderFrame(const FrameBlock& frames, qint64 frameIndex, int span);
    // The target as 8-bit RGB without row padding, top row of the picture first.
    void readFrame(uchar* rgb);
    QByteArray readFrame();

private:
    void close();

    std::unique_ptr<QOpenGLContext> context_;
    std::unique_ptr<QOffscreenSurface> surface_;
    std::unique_ptr<QOpenGLFramebufferObject> target_;
    BaseLegacyPipe pipe_;
    QSize outputSize_;
    std::array<int, 4> viewport_{};
};

} // namespace kvx

#pragma once

#include "render/pipeline/FrameBlock.h"

#include <QOpenGLFunctions_1_5>
#include <QSize>

namespace kvx {

// Thin wrappers over texture objects of the current context. Allocation is always level 0,
// without data; contents change through sub-image updates only.
class GLTexture {
public:
    GLTexture(QOpenGLFunctions_1_5* gl, GLenum target);
    virtual ~GLTexture() = default;
    GLTexture(const GLTexture&) = delete;
    GLTexture& operator=(const GLTexture&) = delete;

    bool create();
    void bind(int unit) const;
    void release(int unit) const;
    virtual void destroy();

    // Sets filtering and wrap mode of every axis in use.
    void setSampling(GLenum filter, GLenum wrap);

    GLuint id() const { return id_; }
    GLenum target() const { return target_; }
    QSize size() const { return size_; }

protected:
    QOpenGLFunctions_1_5* gl_;
    GLenum target_;
    GLuint id_ = 0;
    QSize size_;
};

// A one-dimensional float table (the linearisation table).
class GLTexture1D : public GLTexture {
public:
    explicit GLTexture1D(QOpenGLFunctions_1_5* gl);
    void allocate(int entries);
    void upload(const float* values);
    void fill(float value);
};

// A 2-D texture of one channel (or four, for GL_RGBA32F), or a 2-D texture array (one layer
// per frame).
class GLTexture2D : public GLTexture {
public:
    GLTexture2D(QOpenGLFunctions_1_5* gl, GLenum target);
    void allocate(GLenum internalFormat, int width, int height, int layers = 1);
    // Replaces the whole content of a float texture: width x height texels of its channels.
    void upload(const float* values);
    // Every channel of every texel.
    void fill(float value);
    int layers() const { return layers_; }

protected:
    int layers_ = 0;
    int channels_ = 1;
};

// The frame array with its two pixel-unpack buffers: each call stages a window of frames
// into one buffer and uploads the window staged by the call before, so copying one window
// overlaps the texture transfer of the previous one.
class GLDoubleBuffer : public GLTexture2D {
public:
    explicit GLDoubleBuffer(QOpenGLFunctions_1_5* gl);
    // 8-bit frames of width x height, layers deep; both buffers are emptied.
    void allocate(int width, int height, int layers);
    // Stages the window for frameIndex into the current buffer, then switches buffers and
    // uploads the other one into the array. Returns the frames the array now holds.
    int stageAndUpload(const FrameBlock& frames, qint64 frameIndex, int span);
    int heldFrames() const { return held_; }
    void destroy() override;

private:
    GLuint buffers_[2] = {0, 0};
    int staged_[2] = {0, 0};
    int current_ = 0;
    int held_ = 0;
};

} // namespace kvx

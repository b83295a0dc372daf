#include "render/pipeline/GLTexture.h"

#include "render/pipeline/FrameWindow.h"

#include <algorithm>
#include <vector>

namespace kvx {

GLTexture::GLTexture(QOpenGLFunctions_1_5* gl, GLenum target) : gl_(gl), target_(target)
{}

bool GLTexture::create()
{
    if (!id_)
        gl_->glGenTextures(1, &id_);
    return id_ != 0;
}

void GLTexture::bind(int unit) const
{
    gl_->glActiveTexture(GLenum(GL_TEXTURE0 + unit));
    gl_->glBindTexture(target_, id_);
}

void GLTexture::release(int unit) const
{
    gl_->glActiveTexture(GLenum(GL_TEXTURE0 + unit));
    gl_->glBindTexture(target_, 0);
}

void GLTexture::destroy()
{
    if (id_)
        gl_->glDeleteTextures(1, &id_);
    id_ = 0;
    size_ = QSize();
}

void GLTexture::setSampling(GLenum filter, GLenum wrap)
{
    gl_->glBindTexture(target_, id_);
    gl_->glTexParameteri(target_, GL_TEXTURE_MIN_FILTER, GLint(filter));
    gl_->glTexParameteri(target_, GL_TEXTURE_MAG_FILTER, GLint(filter));
    gl_->glTexParameteri(target_, GL_TEXTURE_WRAP_S, GLint(wrap));
    if (target_ != GL_TEXTURE_1D)
        gl_->glTexParameteri(target_, GL_TEXTURE_WRAP_T, GLint(wrap));
}

GLTexture1D::GLTexture1D(QOpenGLFunctions_1_5* gl) : GLTexture(gl, GL_TEXTURE_1D)
{}

void GLTexture1D::allocate(int entries)
{
    gl_->glBindTexture(target_, id_);
    gl_->glTexImage1D(target_, 0, GL_R32F, entries, 0, GL_RED, GL_FLOAT, nullptr);
    size_ = QSize(entries, 1);
}

void GLTexture1D::upload(const float* values)
{
    gl_->glBindTexture(target_, id_);
    gl_->glTexSubImage1D(target_, 0, 0, size_.width(), GL_RED, GL_FLOAT, values);
}

void GLTexture1D::fill(float value)
{
    const std::vector<float> values(size_t(size_.width()), value);
    upload(values.data());
}

GLTexture2D::GLTexture2D(QOpenGLFunctions_1_5* gl, GLenum target) : GLTexture(gl, target)
{}

void GLTexture2D::allocate(GLenum internalFormat, int width, int height, int layers)
{
    gl_->glBindTexture(target_, id_);
    const GLenum type = internalFormat == GL_R8 ? GL_UNSIGNED_BYTE : GL_FLOAT;
    channels_ = internalFormat == GL_RGBA32F ? 4 : 1;
    const GLenum format = channels_ == 4 ? GL_RGBA : GL_RED;
    if (target_ == GL_TEXTURE_2D_ARRAY)
        gl_->glTexImage3D(target_, 0, GLint(internalFormat), width, height, layers, 0, format, type, nullptr);
    else
        gl_->glTexImage2D(target_, 0, GLint(internalFormat), width, height, 0, format, type, nullptr);
    size_ = QSize(width, height);
    layers_ = layers;
}

void GLTexture2D::upload(const float* values)
{
    gl_->glBindTexture(target_, id_);
    gl_->glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    gl_->glTexSubImage2D(target_, 0, 0, 0, size_.width(), size_.height(), channels_ == 4 ? GL_RGBA : GL_RED, GL_FLOAT,
                         values);
}

void GLTexture2D::fill(float value)
{
    // A band of rows at a time: fresh memory for a whole frame's texels costs more to fault in
    // than the uploads themselves.
    const int bandRows = std::max(1, std::min(size_.height(), (1 << 20) / std::max(1, size_.width() * channels_)));
    const std::vector<float> band(size_t(size_.width()) * size_t(bandRows) * size_t(channels_), value);
    gl_->glBindTexture(target_, id_);
    gl_->glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    for (int row = 0; row < size_.height(); row += bandRows) {
        gl_->glTexSubImage2D(target_, 0, 0, row, size_.width(), std::min(bandRows, size_.height() - row),
                             channels_ == 4 ? GL_RGBA : GL_RED, GL_FLOAT, band.data());
    }
}

GLDoubleBuffer::GLDoubleBuffer(QOpenGLFunctions_1_5* gl) : GLTexture2D(gl, GL_TEXTURE_2D_ARRAY)
{}

void GLDoubleBuffer::allocate(int width, int height, int layers)
{
    GLTexture2D::allocate(GL_R8, width, height, layers);
    const size_t bytes = size_t(width) * size_t(height) * size_t(layers);
    // Start from black rather than whatever the driver leaves in new storage, one layer at a time.
    const std::vector<uchar> zeros(size_t(width) * size_t(height), 0);
    gl_->glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (int layer = 0; layer < layers; ++layer)
        gl_->glTexSubImage3D(target_, 0, 0, 0, layer, width, height, 1, GL_RED, GL_UNSIGNED_BYTE, zeros.data());

    if (!buffers_[0])
        gl_->glGenBuffers(2, buffers_);
    for (GLuint buffer : buffers_) {
        gl_->glBindBuffer(GL_PIXEL_UNPACK_BUFFER, buffer);
        gl_->glBufferData(GL_PIXEL_UNPACK_BUFFER, GLsizeiptr(bytes), nullptr, GL_STREAM_DRAW);
    }
    gl_->glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
    staged_[0] = staged_[1] = 0;
    current_ = 0;
    held_ = 0;
}

int GLDoubleBuffer::stageAndUpload(const FrameBlock& frames, qint64 frameIndex, int span)
{
    span = std::min(span, layers_);

    // The buffer is mapped as it is: its transfer into the array ended with the call before
    // last, and fresh storage for every window would cost a software renderer more (new pages
    // to clear) than any wait it could save.
    gl_->glBindBuffer(GL_PIXEL_UNPACK_BUFFER, buffers_[current_]);
    auto* dest = static_cast<uchar*>(gl_->glMapBuffer(GL_PIXEL_UNPACK_BUFFER, GL_WRITE_ONLY));
    staged_[current_] = dest ? stageFrameWindow(frames, frameIndex, span, dest) : 0;
    if (dest && !gl_->glUnmapBuffer(GL_PIXEL_UNPACK_BUFFER))
        staged_[current_] = 0;

    current_ ^= 1;
    // Only the staged layers: the others are not read while the array holds fewer frames,
    // and a software renderer pays for every byte of the transfer.
    if (staged_[current_] > 0) {
        gl_->glBindBuffer(GL_PIXEL_UNPACK_BUFFER, buffers_[current_]);
        gl_->glBindTexture(target_, id_);
        gl_->glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        gl_->glTexSubImage3D(target_, 0, 0, 0, 0, size_.width(), size_.height(), staged_[current_], GL_RED,
                             GL_UNSIGNED_BYTE, nullptr);
        held_ = staged_[current_];
    }
    gl_->glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
    return held_;
}

void GLDoubleBuffer::destroy()
{
    if (buffers_[0])
        gl_->glDeleteBuffers(2, buffers_);
    buffers_[0] = buffers_[1] = 0;
    staged_[0] = staged_[1] = 0;
    held_ = 0;
    GLTexture2D::destroy();
}

} // namespace kvx

#include "render/pipeline/OffscreenRenderer.h"

#include <QDebug>
#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions>
#include <QSurfaceFormat>

namespace kvx {

namespace {

QSurfaceFormat legacyFormat()
{
    QSurfaceFormat format;
    format.setVersion(1, 5);
    format.setProfile(QSurfaceFormat::NoProfile);
    return format;
}

} // namespace

OffscreenRenderer::OffscreenRenderer() = default;

OffscreenRenderer::~OffscreenRenderer()
{
    close();
}

bool OffscreenRenderer::open(const QSize& outputSize)
{
    // OpenGL needs a GUI application; a console-only process cannot have a context.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        qDebug() << "Could not create QOpenGLContext";
        return false;
    }
    const QSurfaceFormat format = legacyFormat();
    context_ = std::make_unique<QOpenGLContext>();
    context_->setFormat(format);
    if (!context_->create()) {
        qDebug() << "Could not create QOpenGLContext";
        context_.reset();
        return false;
    }
    surface_ = std::make_unique<QOffscreenSurface>();
    surface_->setFormat(format);
    surface_->create();
    if (!context_->makeCurrent(surface_.get())) {
        qDebug() << "Could not instantiate context";
        return false;
    }

    if (outputSize.width() > 0 && outputSize.height() > 0)
        target_ = std::make_unique<QOpenGLFramebufferObject>(outputSize, GL_TEXTURE_2D);
    if (!target_ || !target_->isValid()) {
        qDebug() << "Could not create fbo";
        target_.reset();
        return false;
    }
    outputSize_ = outputSize;

    pipe_.setReadBack(true);
    if (!pipe_.init()) {
        qDebug() << "Could not initialise the processing pipeline";
        return false;
    }
    return true;
}

void OffscreenRenderer::beginFrames()
{
    QOpenGLFunctions* gl = context_->functions();
    target_->bind();
    gl->glViewport(0, 0, outputSize_.width(), outputSize_.height());
    gl->glClearColor(1.0f, 0.25f, 0.25f, 1.0f);
    gl->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    gl->glGetIntegerv(GL_VIEWPORT, viewport_.data());
}

void OffscreenRenderer::renderFrame(const FrameBlock& frames, qint64 frameIndex, int span)
{
    context_->functions()->glViewport(viewport_[0], viewport_[1], viewport_[2], viewport_[3]);
    pipe_.render(frames, frameIndex, span, QRectF(-1.0, -1.0, 2.0, 2.0));
}

void OffscreenRenderer::readFrame(uchar* rgb)
{
    QOpenGLFunctions* gl = context_->functions();
    // Rows of 3-byte pixels are packed tightly; the default alignment of 4 would pad them.
    gl->glPixelStorei(GL_PACK_ALIGNMENT, 1);
    gl->glReadPixels(0, 0, outputSize_.width(), outputSize_.height(), GL_RGB, GL_UNSIGNED_BYTE, rgb);
}

QByteArray OffscreenRenderer::readFrame()
{
    QByteArray rgb(frameBytes(), Qt::Uninitialized);
    readFrame(reinterpret_cast<uchar*>(rgb.data()));
    return rgb;
}

void OffscreenRenderer::close()
{
    if (!context_)
        return;
    if (surface_ && context_->makeCurrent(surface_.get())) {
        pipe_.release();
        if (target_)
            target_->release();
        target_.reset();
        context_->doneCurrent();
    }
    context_.reset();
    surface_.reset();
}

} // namespace kvx

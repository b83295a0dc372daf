#include "playback/ImageDisplayWidget.h"

#include "playback/FramePlan.h"
#include "storage/SavedClip.h"

#include <QDebug>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QSurfaceFormat>

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace {

constexpr int kTestWidth = 1280;
constexpr int kTestHeight = 720;

// A diagonal ramp: the byte at column x, row y is (x + y) modulo 256.
QByteArray testRamp()
{
    QByteArray ramp(kTestWidth * kTestHeight, Qt::Uninitialized);
    for (int y = 0; y < kTestHeight; ++y)
        for (int x = 0; x < kTestWidth; ++x)
            ramp[y * kTestWidth + x] = char((x + y) % 256);
    return ramp;
}

bool hasPictureSize(const SavedClip& clip)
{
    return clip.width > 0 && clip.height > 0 && clip.lineBytes > 0 && clip.lineCount > 0;
}

void clearTo(float grey)
{
    QOpenGLFunctions* gl = QOpenGLContext::currentContext()->functions();
    gl->glClearColor(grey, grey, grey, 1.0f);
    gl->glClear(GL_COLOR_BUFFER_BIT);
}

} // namespace

void setDisplaySurfaceFormat()
{
    QSurfaceFormat format;
    format.setVersion(1, 5);
    format.setProfile(QSurfaceFormat::NoProfile);
    format.setSwapBehavior(QSurfaceFormat::TripleBuffer);
    format.setSwapInterval(1);
    QSurfaceFormat::setDefaultFormat(format);
}

ImageDisplayWidget::ImageDisplayWidget(QWidget* parent) : QOpenGLWidget(parent), testImage_(testRamp())
{
    ownState_.setValue(QStringLiteral("DarkSubState"), 0);
    ownState_.setValue(QStringLiteral("PSCScaleState"), 0);
    connect(&repaintTimer_, &QTimer::timeout, this, [this] {
        if (isVisible() && (cursor_.isPlaying() || repaintWanted_))
            update();
    });
    connect(&ownState_, &RenderState::dirty_signal, this, &ImageDisplayWidget::wantRepaint);
    repaintTimer_.start(kRepaintMs);
}

ImageDisplayWidget::~ImageDisplayWidget()
{
    attachClip({});
    releasePipe();
}

int ImageDisplayWidget::frameCount() const
{
    return clip_ ? int(std::min<quint64>(clip_->totalFrames, std::numeric_limits<int>::max())) : 0;
}

void ImageDisplayWidget::attachClip(QSharedPointer<SavedClip> clip)
{
    if (clip_) {
        clip_->saveRenderState();
        for (const QMetaObject::Connection& c : std::as_const(clipConnections_))
            disconnect(c);
        clipConnections_.clear();
    }
    clip_ = clip && hasPictureSize(*clip) ? clip : nullptr;
    cursor_ = playback::PlaybackCursor();
    appliedState_ = nullptr;
    stagedFrames_ = nullptr;
    calibrationPending_ = false;
    if (clip_) {
        calibrationPending_ = true;
        clipConnections_ << connect(clip_.data(), &DownloadableClip::calibrationFileFinished, this, [this] {
            calibrationPending_ = true;
            wantRepaint();
        });
        // A frame drawn black may have arrived; a paint value may have changed.
        clipConnections_ << connect(clip_.data(), &DownloadableClip::segmentListUpdated, this,
                                    &ImageDisplayWidget::wantRepaint);
        clipConnections_ << connect(&clip_->renderState(), &RenderState::dirty_signal, this,
                                    &ImageDisplayWidget::wantRepaint);
        cursor_.setFrame(int(std::clamp<qint64>(clip_->currentFrame(), 0, std::numeric_limits<int>::max())));
    }
    wantRepaint();
}

bool ImageDisplayWidget::showsClip() const
{
    return clip_ && frameCount() > 0 && clip_->frameData(0);
}

void ImageDisplayWidget::pressPlay(int direction)
{
    if (showsClip())
        cursor_.press(direction);
}

void ImageDisplayWidget::step(int delta)
{
    if (showsClip()) {
        cursor_.step(delta, frameCount());
        wantRepaint();
    }
}

void ImageDisplayWidget::SetCurrentFrame(int nFrm)
{
    if (nFrm != cursor_.frame())
        wantRepaint();
    cursor_.setFrame(nFrm);
}

RenderState& ImageDisplayWidget::state()
{
    return showsClip() ? clip_->renderState() : ownState_;
}

void ImageDisplayWidget::initializeGL()
{
    pipeReady_ = pipe_.init();
    if (!pipeReady_) {
        qWarning() << "The processing pipeline cannot run on this OpenGL; nothing is drawn";
        return;
    }
    pipe_.applyRenderState(ownState_);
    appliedState_ = &ownState_;
    stagedFrames_ = nullptr;
    // A new context has none of the calibration uploaded into the old one.
    calibrationPending_ = bool(clip_);
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &ImageDisplayWidget::releasePipe,
            Qt::UniqueConnection);
}

void ImageDisplayWidget::releasePipe()
{
    if (!pipeReady_)
        return;
    makeCurrent();
    pipe_.release();
    doneCurrent();
    pipeReady_ = false;
}

void ImageDisplayWidget::paintGL()
{
    if (!pipeReady_) {
        clearTo(0.5f);
        repaintWanted_ = false;
        return;
    }
    RenderState& current = state();
    if (showsClip())
        uploadCalibration(current);
    if (&current != appliedState_ || current.isChanged()) {
        pipe_.applyRenderState(current);
        current.setChanged(false);
        appliedState_ = &current;
    }
    clearTo(0.5f);
    const bool settled = showsClip() ? drawClipFrame() : drawTestImage();
    repaintWanted_ = !settled;
}

void ImageDisplayWidget::uploadCalibration(RenderState& state)
{
    // The calibration arrives first in a download; until it is there the frames wait for it.
    if (!calibrationPending_ || !clip_->hasCalibration())
        return;
    QByteArray calibration;
    int width = 0;
    int height = 0;
    if (!clip_->loadCalibration(&calibration, &width, &height)) {
        qWarning().noquote()
            << QStringLiteral("The calibration of %1 cannot be read; it plays uncalibrated").arg(clip_->folderPath());
        state.setCalibrationMode(kvx::CalibrationMode::None);
        calibrationPending_ = false;
        return;
    }
    // A failed upload is tried again with the next repaint.
    if (pipe_.resize(width, height) && pipe_.uploadPolynomial(calibration, width, height)) {
        state.setCalibrationMode(kvx::CalibrationMode::FullPolynomial);
        calibrationPending_ = false;
    }
}

bool ImageDisplayWidget::drawClipFrame()
{
    const int count = frameCount();
    const int index = cursor_.advance(clip_->lowerTrim(), clip_->upperTrim());
    const playback::FramePlan plan = playback::planFrame(index, count, clip_->segments());
    cursor_.setFrame(plan.frame);
    clip_->setCurrentFrame(plan.frame);
    emit newPlaybackFrame(plan.frame);

    const kvx::FrameBlock frames = kvx::FrameBlock::describeMapped(
        clip_->frameData(0), clip_->dataSize(), count, clip_->lineBytes, clip_->lineCount, clip_->bytesPerFrame());
    if (!plan.present || plan.frame >= frames.frameCount) {
        // Not on disk (yet): black, never what the file or the pipeline held before.
        clearTo(0.0f);
        stagedFrames_ = nullptr;
        return true;
    }
    return render(frames, plan.frame, plan.span);
}

bool ImageDisplayWidget::drawTestImage()
{
    const kvx::FrameBlock ramp = kvx::FrameBlock::describe(reinterpret_cast<const uchar*>(testImage_.constData()), 1,
                                                           kTestWidth, kTestHeight, kTestWidth * kTestHeight);
    return render(ramp, 0, 1);
}

bool ImageDisplayWidget::render(const kvx::FrameBlock& frames, int frame, int span)
{
    const bool follows = frames.data == stagedFrames_ && std::abs(qint64(frame) - stagedFrame_) <= 1;
    const bool settled = !follows || frame == stagedFrame_;
    if (!follows)
        pipe_.renderToCurrentViewport(frames, frame, span);
    pipe_.renderToCurrentViewport(frames, frame, span);
    stagedFrames_ = frames.data;
    stagedFrame_ = frame;
    return settled;
}

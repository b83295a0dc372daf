#pragma once

#include "playback/PlaybackCursor.h"
#include "render/pipeline/BaseLegacyPipe.h"
#include "render/state/RenderState.h"

#include <QByteArray>
#include <QOpenGLWidget>
#include <QSharedPointer>
#include <QTimer>

class SavedClip;

// The OpenGL surface the display is made for: version 1.5 without a profile, triple-buffered,
// swapped with the screen's refresh. Set it before the first window is made.
void setDisplaySurfaceFormat();

// The OpenGL view of the playback window: draws the attached clip's frames through its own
// processing pipeline with the clip's render state, one frame per repaint while playing (a
// repaint every 16 ms while visible). Stopped, it repaints only when its picture would change:
// another frame, clip, render state or frames on disk. Without a clip that has pictures it
// shows a 1280 x 720 test ramp. Frames that are not on disk yet (a clip still downloading, a
// frame file shorter than the clip) are drawn black.
class ImageDisplayWidget : public QOpenGLWidget {
    Q_OBJECT
public:
    static constexpr int kRepaintMs = 16;

    explicit ImageDisplayWidget(QWidget* parent = nullptr);
    ~ImageDisplayWidget() override;

    // Saves the render state of the clip shown so far into its folder and shows this one from
    // the frame it remembers. A null clip, or one without a picture size, shows the test ramp.
    void attachClip(QSharedPointer<SavedClip> clip);
    QSharedPointer<SavedClip> clip() const { return clip_; }
    // Frames of the attached clip; 0 without one.
    int frameCount() const;

    int currentFrame() const { return cursor_.frame(); }
    int direction() const { return cursor_.direction(); }
    // The play buttons: a press while playing stops, otherwise playback starts that way.
    void pressPlay(int direction);
    void stop() { cursor_.stop(); }
    // One frame either way inside the clip; nothing without a clip.
    void step(int delta);

    // The state used without a clip.
    RenderState& ownState() { return ownState_; }

signals:
    void newPlaybackFrame(int frame);

public slots:
    void SetCurrentFrame(int nFrm);

protected:
    void initializeGL() override;
    void paintGL() override;

private:
    // A clip with a picture size and frames on disk to show; otherwise the test ramp is shown.
    bool showsClip() const;
    RenderState& state();
    void uploadCalibration(RenderState& state);
    // Both true when the picture now shows what was asked for.
    bool drawClipFrame();
    bool drawTestImage();
    void wantRepaint() { repaintWanted_ = true; }
    // Draws a frame; the pipeline shows the window staged by its call before, so a frame
    // that does not follow the one staged last is staged first. False while the picture
    // still shows the neighbour staged before.
    bool render(const kvx::FrameBlock& frames, int frame, int span);
    void releasePipe();

    kvx::BaseLegacyPipe pipe_;
    bool pipeReady_ = false;
    QTimer repaintTimer_;
    RenderState ownState_;
    QByteArray testImage_;
    QSharedPointer<SavedClip> clip_;
    QList<QMetaObject::Connection> clipConnections_;
    playback::PlaybackCursor cursor_;
    bool calibrationPending_ = false;
    bool repaintWanted_ = true;
    // The state last handed to the pipeline; a new one is applied whether changed or not.
    const RenderState* appliedState_ = nullptr;
    // The frames last staged in the pipeline: their block and frame, none after a black picture.
    const uchar* stagedFrames_ = nullptr;
    int stagedFrame_ = 0;
};

// Playback of a 2048 x 1080 simulator clip in the playback window on this machine's OpenGL
// (llvmpipe under Xvfb): frames per second over 10 s of forward playback, CPU time per frame
// of the whole process, and the CPU time per frame spent outside OpenGL (staging the 7-frame
// window and the widget's bookkeeping: stepping, the frame plan, slider and label), timed
// alone on the same frames. Peer in the same run: the pipeline drawing the same frames
// off-screen at the view's size as fast as it can. Prints "name: value unit" lines.
//
// Needs an X server: run it as `scripts/testnet.sh private -- xvfb-run -a playback_bench`.
// Options: --frames N (default 120), --seconds S (default 10).

#include "SimClipFolders.h"
#include "bench/ProcessCpu.h"
#include "playback/FramePlan.h"
#include "playback/ImageDisplayWidget.h"
#include "playback/ImageDisplayWindow.h"
#include "playback/PlaybackCursor.h"
#include "render/pipeline/FrameWindow.h"
#include "render/pipeline/OffscreenRenderer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>

namespace {

constexpr int kWidth = 2048;
constexpr int kHeight = 1080;
constexpr qint64 kFramesPerBlock = 20;

void print(const char* name, double value, const char* unit)
{
    std::printf("%s: %.3f %s\n", name, value, unit);
    std::fflush(stdout);
}

double threadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// A finished download of the simulator's clip, stored in blocks as a download stores them.
QSharedPointer<SavedClip> downloadedClip(const QString& base, int frames)
{
    const testdata::FolderContent content =
        testdata::simulatorContent(testdata::simulatedClip(2, quint64(frames), kWidth, kHeight));
    const QSharedPointer<SavedClip> clip = testdata::startedDownload(base, content);
    for (qint64 first = 0; clip && first < frames; first += kFramesPerBlock)
        if (!testdata::storeFrames(*clip, content, {first, std::min<qint64>(frames, first + kFramesPerBlock) - 1}))
            return {};
    return clip;
}

int argument(const QStringList& args, const QString& name, int fallback)
{
    const qsizetype at = args.indexOf(name);
    return at > 0 && at + 1 < args.size() ? args[at + 1].toInt() : fallback;
}

} // namespace

int main(int argc, char** argv)
{
    setDisplaySurfaceFormat();
    QApplication app(argc, argv);
    const int frames = argument(app.arguments(), "--frames", 120);
    const int seconds = argument(app.arguments(), "--seconds", 10);
    if (frames < 8 || seconds < 1)
        return 2;

    QTemporaryDir dir;
    const QSharedPointer<SavedClip> clip = downloadedClip(dir.path(), frames);
    if (!clip) {
        std::fprintf(stderr, "could not make the clip folder\n");
        return 1;
    }
    print("playback_clip_frames", frames, "frames");

    ImageDisplayWindow window;
    window.resize(1280, 800);
    window.setClip(clip);
    window.show();
    ImageDisplayWidget* view = window.display();
    int shown = 0;
    QObject::connect(view, &ImageDisplayWidget::newPlaybackFrame, [&shown] { ++shown; });
    window.findChild<QPushButton*>("fwdPlayButton")->click();

    // Playback runs a little first, so shaders are compiled and the frame file is in memory.
    QElapsedTimer timer;
    timer.start();
    while ((shown < 3 || timer.elapsed() < 1000) && timer.elapsed() < 60000)
        app.processEvents(QEventLoop::AllEvents, 50);
    shown = 0;
    const double cpuBefore = processCpuSeconds();
    const double mainBefore = threadCpuSeconds();
    timer.restart();
    while (timer.elapsed() < seconds * 1000)
        app.processEvents(QEventLoop::AllEvents, 50);
    const double wall = double(timer.nsecsElapsed()) / 1e9;
    const int played = shown;
    const double cpu = processCpuSeconds() - cpuBefore;
    const double mainCpu = threadCpuSeconds() - mainBefore;
    if (played == 0) {
        std::fprintf(stderr, "no frame was shown\n");
        return 1;
    }
    const QSize viewSize = view->size();
    print("playback_view_width", viewSize.width(), "pixels");
    print("playback_view_height", viewSize.height(), "pixels");
    print("playback_fps", played / wall, "frames/s");
    print("playback_cpu_per_frame", 1000.0 * cpu / played, "ms");
    print("playback_gui_thread_cpu_per_frame", 1000.0 * mainCpu / played, "ms");

    // The same frames through the steps a repaint takes outside OpenGL: the next frame, its
    // plan, the frame block, the 7-frame window copied into staging memory, and the frame
    // handed to the slider and label.
    window.findChild<QPushButton*>("pauseButton")->click();
    window.hide();
    QByteArray staging(qsizetype(kWidth) * kHeight * playback::kTemporalSpan, Qt::Uninitialized);
    playback::PlaybackCursor cursor;
    cursor.press(playback::PlaybackCursor::Forward);
    constexpr int kStagedFrames = 600;
    const double stagingBefore = threadCpuSeconds();
    for (int i = 0; i < kStagedFrames; ++i) {
        const playback::FramePlan plan =
            playback::planFrame(cursor.advance(clip->lowerTrim(), clip->upperTrim()), frames, clip->segments());
        const auto block = kvx::FrameBlock::describeMapped(clip->frameData(0), clip->dataSize(), frames, kWidth,
                                                           kHeight, clip->bytesPerFrame());
        kvx::stageFrameWindow(block, plan.frame, plan.span, reinterpret_cast<uchar*>(staging.data()));
        emit view->newPlaybackFrame(plan.frame);
    }
    const double outsideGl = (threadCpuSeconds() - stagingBefore) / kStagedFrames;
    print("playback_outside_gl_cpu_per_frame", 1000.0 * outsideGl, "ms");
    print("playback_outside_gl_share", 100.0 * outsideGl / (cpu / played), "%");

    // Peer: the pipeline alone, off-screen at the view's size, on the same frames.
    kvx::OffscreenRenderer renderer;
    QByteArray calibration;
    int width = 0;
    int height = 0;
    if (!renderer.open(viewSize) || !clip->loadCalibration(&calibration, &width, &height)
        || !renderer.pipe().resize(width, height) || !renderer.pipe().uploadPolynomial(calibration, width, height))
        return 1;
    renderer.pipe().applyRenderState(clip->renderState());
    const auto block = kvx::FrameBlock::describeMapped(clip->frameData(0), clip->dataSize(), frames, kWidth, kHeight,
                                                       clip->bytesPerFrame());
    renderer.beginFrames();
    int drawn = 0;
    timer.restart();
    while (timer.elapsed() < seconds * 1000 / 2) {
        const int frame = drawn % frames;
        renderer.renderFrame(block, frame, frame >= 3 ? 7 : 1);
        renderer.readFrame(); // waits for the picture, as a swap does
        ++drawn;
    }
    const double pipelineFps = drawn / (double(timer.nsecsElapsed()) / 1e9);
    print("pipeline_offscreen_fps", pipelineFps, "frames/s");
    print("playback_vs_pipeline", (played / wall) / pipelineFps, "x");
    return 0;
}

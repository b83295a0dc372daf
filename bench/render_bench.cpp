// Throughput of the command-line renderer (the clips manager run as the export runs it, with
// default settings, on this machine's OpenGL) on a simulator clip of 2048 x 1080, set against
// FFmpeg converting the same raw Bayer frames (bayer_gbrg8) to rgb24 in the same run. Prints
// "name: value unit" lines; the CPU figure is the renderer process's user + system time.
//
// Needs an X server for OpenGL: run it as `unshare -n xvfb-run -a render_bench`. FFmpeg runs
// in a private network namespace of its own. Options: --frames N (default 200),
// --picture FILE writes the source scene and the rendered frame side by side.

#include "sim/ClipContent.h"
#include "storage/SavedClip.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>

namespace {

constexpr int kWidth = 2048;
constexpr int kHeight = 1080;
constexpr qint64 kFrameBytes = qint64(kWidth) * kHeight;
constexpr qint64 kFramesPerBlock = 20;

void print(const char* name, double value, const char* unit)
{
    std::printf("%s: %.3f %s\n", name, value, unit);
    std::fflush(stdout);
}

SimClip benchClip(int frames)
{
    SimClip clip;
    clip.info.cameraSerial = 4711;
    clip.info.totalFrames = quint64(frames);
    clip.info.clipUid = 0xbe7c;
    clip.info.fps = 1000;
    clip.info.lineBytes = kWidth;
    clip.info.lineCount = kHeight;
    clip.info.width = kWidth;
    clip.info.height = kHeight;
    clip.info.clipNumber = 2;
    return clip;
}

// A clip folder as a download leaves it: calibration and frames stored through the write jobs.
QString makeClipFolder(const QString& base, const SimClip& sim)
{
    SavedClip clip(sim.info);
    if (!clip.prepareDownload(base, {}))
        return {};
    SavedClip::RAMBufferPtr buffer;
    QSignalSpy calibrated(&clip, &DownloadableClip::calibrationFileFinished);
    if (!clip.allocateBuffer(ClipSegment{0, 0}, true, &buffer))
        return {};
    fillCalibration(sim, 0, buffer->size(), buffer->data());
    if (!clip.storeCalibration(buffer) || !calibrated.wait(60000))
        return {};
    const qint64 frames = qint64(sim.info.totalFrames);
    QSignalSpy progress(&clip, &SavedClip::clipDownloadProgress);
    for (qint64 first = 0; first < frames; first += kFramesPerBlock) {
        const qint64 last = std::min(frames, first + kFramesPerBlock) - 1;
        buffer.reset();
        if (!clip.allocateBuffer(ClipSegment{first, last}, false, &buffer))
            return {};
        fillFrames(sim, quint64(first), quint64(last - first + 1), buffer->data());
        if (!clip.storeFrames(buffer) || !progress.wait(120000))
            return {};
    }
    return clip.folderPath();
}

// User + system seconds of the children that have ended so far.
double childrenCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Runs a program to its end; the seconds it took, or a negative value when it failed.
double timedRun(const QString& program, const QStringList& arguments, const QString& home)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home);
    env.insert("XDG_CONFIG_HOME", home + "/.config");
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    if (!process.waitForFinished(3600 * 1000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        std::fprintf(stderr, "%s failed\n", qPrintable(program));
        return -1.0;
    }
    return double(timer.nsecsElapsed()) / 1e9;
}

// The scene the simulator recorded, seen through its own mosaic: every 2 x 2 quad gives one
// pixel of its red, mean green and blue.
QImage sourceScene(const SimClip& sim, qint64 frame)
{
    QByteArray raw(kFrameBytes, Qt::Uninitialized);
    fillFrames(sim, quint64(frame), 1, reinterpret_cast<uchar*>(raw.data()));
    auto at = [&](int c, int r) { return int(uchar(raw[qsizetype(r) * kWidth + c])); };
    QImage image(kWidth / 2, kHeight / 2, QImage::Format_RGB888);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int c = 2 * x, r = 2 * y; // G B / R G
            image.setPixel(x, y, qRgb(at(c, r + 1), (at(c, r) + at(c + 1, r + 1)) / 2, at(c + 1, r)));
        }
    }
    return image;
}

bool writePicture(const QString& path, const QImage& source, const QByteArray& rendered)
{
    const QImage processed(reinterpret_cast<const uchar*>(rendered.constData()), kWidth, kHeight, kWidth * 3,
                           QImage::Format_RGB888);
    const QSize half(kWidth / 2, kHeight / 2);
    const int caption = 40;
    QImage picture(2 * half.width() + 20, half.height() + caption, QImage::Format_RGB888);
    picture.fill(QColor(40, 40, 40));
    QPainter painter(&picture);
    painter.drawImage(QPoint(0, caption), source.scaled(half, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    painter.drawImage(QPoint(half.width() + 20, caption),
                      processed.scaled(half, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPixelSize(22);
    painter.setFont(font);
    painter.drawText(QPoint(10, 28), "Simulator source scene (its Bayer mosaic, 2x2 quads)");
    painter.drawText(QPoint(half.width() + 30, 28), "Command-line renderer, default settings");
    painter.end();
    return picture.save(path);
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    const qsizetype framesAt = args.indexOf("--frames");
    const int frames = framesAt > 0 && framesAt + 1 < args.size() ? args[framesAt + 1].toInt() : 200;
    const qsizetype pictureAt = args.indexOf("--picture");
    const QString picturePath = pictureAt > 0 && pictureAt + 1 < args.size() ? args[pictureAt + 1] : QString();
    if (frames < 2)
        return 2;

    QTemporaryDir dir;
    const SimClip sim = benchClip(frames);
    const QString folder = makeClipFolder(dir.filePath("clips"), sim);
    if (folder.isEmpty()) {
        std::fprintf(stderr, "could not make the clip folder\n");
        return 1;
    }
    const double megapixels = double(kFrameBytes) * frames / 1e6;
    print("render_frames", frames, "frames");

    const QString home = dir.filePath("home");
    // A short run first, as a user's earlier sessions would have done: Mesa keeps the machine
    // code of compiled shaders in the home folder's cache.
    if (timedRun(VLM_CLIPSMGR_PATH, {"-s", folder, "-o", "/dev/null", "--lo", "0", "--up", "3"}, home) < 0)
        return 1;
    const double cpuBefore = childrenCpuSeconds();
    const double renderSeconds = timedRun(
        VLM_CLIPSMGR_PATH, {"-s", folder, "-o", "/dev/null", "--lo", "0", "--up", QString::number(frames - 1)}, home);
    if (renderSeconds < 0)
        return 1;
    print("render_fps", frames / renderSeconds, "frames/s");
    print("render_throughput", megapixels / renderSeconds, "MP/s");
    print("render_cpu_per_frame", (childrenCpuSeconds() - cpuBefore) * 1000 / frames, "ms");

    // The frame file holds exactly the clip's raw frames, one after the other.
    const double ffmpegSeconds =
        timedRun("unshare",
                 {"-n", "ffmpeg", "-hide_banner", "-loglevel", "error", "-f", "rawvideo", "-pix_fmt", "bayer_gbrg8",
                  "-s", QStringLiteral("%1x%2").arg(kWidth).arg(kHeight), "-i", folder + "/0.bin", "-f", "rawvideo",
                  "-pix_fmt", "rgb24", "-y", "/dev/null"},
                 home);
    if (ffmpegSeconds < 0)
        return 1;
    print("ffmpeg_bayer_fps", frames / ffmpegSeconds, "frames/s");
    print("ffmpeg_bayer_throughput", megapixels / ffmpegSeconds, "MP/s");
    print("render_vs_ffmpeg", ffmpegSeconds / renderSeconds, "x");

    if (!picturePath.isEmpty()) {
        const qint64 shown = frames / 2;
        const QString raw = dir.filePath("shown.raw");
        if (timedRun(VLM_CLIPSMGR_PATH,
                     {"-s", folder, "-o", raw, "--lo", QString::number(shown), "--up", QString::number(shown)}, home)
            < 0)
            return 1;
        QFile file(raw);
        if (!file.open(QIODevice::ReadOnly) || !writePicture(picturePath, sourceScene(sim, shown), file.readAll()))
            return 1;
    }
    return 0;
}

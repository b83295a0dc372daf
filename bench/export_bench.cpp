// Export time of a 2048 x 1080 simulator clip through the encoder runner (the clips manager as
// the renderer piped into FFmpeg) to PNG images, a ProRes MOV and an H.264 MP4, beside the
// renderer alone writing to /dev/null in the same run: the difference is what encoding adds.
// Prints "name: value unit" lines.
//
// Run as `scripts/testnet.sh private -- xvfb-run -a export_bench [--frames N]` (default 200).

#include "SimClipFolders.h"
#include "export/ExportFormats.h"
#include "export/FfmpegTool.h"
#include "export/RecorderEncoderDialog.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int kWidth = 2048;
constexpr int kHeight = 1080;
constexpr qint64 kFramesPerBlock = 20;

void print(const QString& name, double value, const char* unit)
{
    std::printf("%s: %.3f %s\n", qPrintable(name), value, unit);
    std::fflush(stdout);
}

int codecRow(int type, const char* codec)
{
    const QList<exportfmt::CodecRow>& rows = exportfmt::codecRows(type);
    for (int i = 0; i < rows.size(); ++i)
        if (QLatin1String(rows[i].codec) == QLatin1String(codec))
            return i;
    return 0;
}

// Seconds of one export, or a negative value when it did not succeed.
double timedExport(const QSharedPointer<SavedClip>& clip, int type, int row, const QString& output,
                   const EncoderPrograms& programs)
{
    auto* runner =
        new RecorderEncoderDialog(clip, exportfmt::ffmpegArguments(type, kWidth, kHeight, 25, row), output, programs);
    QSignalSpy ended(runner, &RecorderEncoderDialog::encodingEnded);
    QElapsedTimer timer;
    timer.start();
    if (!runner->start()) {
        std::fprintf(stderr, "%s\n", qPrintable(runner->startError()));
        delete runner;
        return -1.0;
    }
    const bool done = ended.wait(3600 * 1000);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    runner->accept();
    return done && ended.first().first().toBool() ? seconds : -1.0;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const qsizetype framesAt = args.indexOf("--frames");
    const int frames = framesAt > 0 && framesAt + 1 < args.size() ? args[framesAt + 1].toInt() : 200;
    if (frames < 2)
        return 2;
    QTemporaryDir dir;
    qputenv("HOME", dir.filePath("home").toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", dir.filePath("home/.config").toLocal8Bit());
    const EncoderPrograms programs{VLM_CLIPSMGR_PATH, ffmpegtool::findProgram()};

    const testdata::FolderContent content =
        testdata::simulatorContent(testdata::simulatedClip(2, quint64(frames), kWidth, kHeight));
    const QSharedPointer<SavedClip> clip = testdata::startedDownload(dir.filePath("clips"), content);
    for (qint64 first = 0; clip && first < frames; first += kFramesPerBlock)
        if (!testdata::storeFrames(*clip, content,
                                   ClipSegment{first, std::min<qint64>(frames, first + kFramesPerBlock) - 1}))
            return 1;
    if (!clip || !clip->saveRenderState())
        return 1;
    print("export_frames", frames, "frames");

    QProcess renderer;
    renderer.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    renderer.start(programs.renderer,
                   {"-s", clip->folderPath(), "-o", "-", "--lo", "0", "--up", QString::number(frames - 1)});
    if (!renderer.waitForFinished(3600 * 1000) || renderer.exitCode() != 0)
        return 1;
    const double renderSeconds = double(timer.nsecsElapsed()) / 1e9;
    print("render_alone_seconds", renderSeconds, "s");
    print("render_alone_fps", frames / renderSeconds, "frames/s");

    const QString out = dir.filePath("out");
    QDir().mkpath(out);
    const struct {
        const char* name;
        int type;
        const char* codec;
    } targets[] = {{"png", exportfmt::Png, ""}, {"prores", exportfmt::Mov, "prores"}, {"h264", exportfmt::Mp4, ""}};
    for (const auto& target : targets) {
        const double seconds = timedExport(clip, target.type, codecRow(target.type, target.codec),
                                           exportfmt::outputFile(target.type, out, target.name), programs);
        if (seconds < 0)
            return 1;
        const QString name = QStringLiteral("export_%1").arg(target.name);
        print(name + "_seconds", seconds, "s");
        print(name + "_fps", frames / seconds, "frames/s");
        print(name + "_encode_seconds", std::max(0.0, seconds - renderSeconds), "s");
        print(name + "_vs_render_alone", seconds / renderSeconds, "x");
    }
    return 0;
}

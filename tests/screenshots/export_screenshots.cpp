// Takes the export's screenshots: the export dialog for an image type and a movie type, and the
// runner during an export of a 2048 x 1080 clip and after a failed one. Run by
// scripts/screenshots.sh (test network, Xvfb).
//
// Usage: export_screenshots <output folder> <clips manager program>

#include "SampleClipFolders.h"
#include "SyntheticMosaic.h"
#include "TestHome.h"
#include "clipsmgr/VLMClipsApp.h"
#include "export/ExportFormats.h"
#include "export/FfmpegTool.h"
#include "export/ImgExportDlg.h"
#include "export/RecorderEncoderDialog.h"

#include <QComboBox>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>

namespace {

bool shoot(QWidget* widget, const QString& path)
{
    QTest::qWait(300);
    const bool ok = widget->grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

testdata::Rgb8 bars(int c, int r, int f)
{
    const int band = (c / 256 + f) % 8;
    return {band & 1 ? 200 : 40, band & 2 ? 200 : 40, r < 540 ? (band & 4 ? 200 : 40) : 120};
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    if (argc != 3 || !home.isValid())
        return 2;
    useTestHome(home.path());
    VLMClipsApp app(argc, argv);
    app.applyLookAndScale();
    const QString out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    const EncoderPrograms programs{QString::fromLocal8Bit(argv[2]), ffmpegtool::findProgram()};
    QDir().mkpath(out);

    constexpr int kWidth = 2048, kHeight = 1080, kFrames = 24;
    testdata::FolderContent content;
    content.clip = sampleClip(3, kFrames, kWidth, kHeight);
    const QByteArray frames = testdata::mosaicFrames(kWidth, kHeight, kFrames, bars);
    content.frames = [&frames](qint64 first, qint64 count, uchar* to) {
        std::memcpy(to, frames.constData() + first * kWidth * kHeight, size_t(count * kWidth * kHeight));
    };
    const QSharedPointer<SavedClip> clip = testdata::startedDownload(home.filePath("clips"), content);
    if (!clip || !testdata::storeFrames(*clip, content, ClipSegment{0, kFrames - 1}) || !clip->saveRenderState())
        return 1;
    const QString exports = home.filePath("Videos/VLMV-Exports");
    QDir().mkpath(exports);

    ImgExportDlg images(QSize(kWidth, kHeight), exportfmt::Tiff, 24, 0, exports, "Img", clip->folderPath());
    images.setEncoders(ffmpegtool::encoders(programs.ffmpeg));
    app.scaleWidget(&images, true);
    images.show();
    bool ok = shoot(&images, out + "/export-dialog.png");
    ImgExportDlg movie(QSize(kWidth, kHeight), exportfmt::Mov, 25, 7, exports, "Take3", clip->folderPath());
    movie.setEncoders(ffmpegtool::encoders(programs.ffmpeg));
    app.scaleWidget(&movie, true);
    movie.show();
    ok = shoot(&movie, out + "/export-dialog-movie.png") && ok;

    auto* running = new RecorderEncoderDialog(clip, exportfmt::ffmpegArguments(exportfmt::Mov, kWidth, kHeight, 25, 7),
                                              exportfmt::outputFile(exportfmt::Mov, exports, "Take3"), programs);
    app.scaleWidget(running, false);
    if (!running->start())
        return 1;
    if (!QTest::qWaitFor([&] { return QFileInfo(exports + "/Take3.mov").size() > 0; }, 120000))
        return 1;
    QTest::qWait(2500);
    ok = shoot(running, out + "/export-running.png") && ok;
    running->abort();
    running->accept();

    // H.261 takes no 2048 x 1080 pictures: FFmpeg fails at once.
    int h261 = 0;
    while (QLatin1String(exportfmt::codecRows(exportfmt::Avi)[h261].codec) != QLatin1String("h261"))
        ++h261;
    auto* failing =
        new RecorderEncoderDialog(clip, exportfmt::ffmpegArguments(exportfmt::Avi, kWidth, kHeight, 25, h261),
                                  exportfmt::outputFile(exportfmt::Avi, exports, "Take3"), programs);
    app.scaleWidget(failing, false);
    QSignalSpy ended(failing, &RecorderEncoderDialog::encodingEnded);
    if (!failing->start() || !ended.wait(120000))
        return 1;
    ok = shoot(failing, out + "/export-failed.png") && ok;
    failing->accept();
    return ok ? 0 : 1;
}

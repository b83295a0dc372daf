// The export's arguments, output names and codec rows, the export dialog's choices and checks,
// and the runner's reading of FFmpeg's output and of a finished run.

#include "export/EncoderRun.h"
#include "export/ExportFormats.h"
#include "export/FfmpegTool.h"
#include "export/ImgExportDlg.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QtTest>

using namespace exportfmt;

namespace {

int rowOf(int type, const char* codec)
{
    const QList<CodecRow>& rows = codecRows(type);
    for (int i = 0; i < rows.size(); ++i)
        if (QLatin1String(rows[i].codec) == QLatin1String(codec))
            return i;
    return -1;
}

QSet<QString> allEncoders()
{
    QSet<QString> names;
    for (int type : {Avi, Mov, Mpg})
        for (const CodecRow& row : codecRows(type))
            names.insert(QString::fromLatin1(row.codec));
    return names;
}

} // namespace

class TestExportDialog : public QObject {
    Q_OBJECT

private slots:
    void argumentsAndOutputNames();
    void codecRowsTheClipCannotUseAreNamed();
    void encoderListIsRead();
    void typeSwitchKeepsOrResetsTheCodec();
    void badRateFolderAndSpaceAreRefused();
    void acceptedDialogGivesTheExport();
    void runnerReadsProgressAndJudgesTheEnd();
};

void TestExportDialog::argumentsAndOutputNames()
{
    QCOMPARE(ffmpegArguments(Tiff, 1920, 1080, 24, 5),
             QString("-vcodec rawvideo -f rawvideo -pix_fmt rgb24 -s 1920x1080  -i - -y -vcodec tiff -start_number 0"));
    QCOMPARE(outputFile(Tiff, "/out", "Img"), QString("/out/Img%06d.tif"));
    QCOMPARE(outputFile(Mov, "/out", "take"), QString("/out/take.mov"));
    // A "%" of the folder or prefix is no pattern for FFmpeg; a movie name is no pattern.
    QCOMPARE(outputFile(Png, "/a%b", "x%"), QString("/a%%b/x%%%06d.png"));
    QCOMPARE(outputFile(Avi, "/a%b", "x"), QString("/a%b/x.avi"));
    QCOMPARE(encoderrun::shownOutput("/a%%b/x%%%06d.png"), QString("/a%b/x%%06d.png"));

    // MP4 has its fixed x264 settings whatever the codec index.
    QCOMPARE(ffmpegArguments(Mp4, 64, 32, 30, 7), ffmpegArguments(Mp4, 64, 32, 30, 0));
    QVERIFY(ffmpegArguments(Mp4, 64, 32, 30, 0)
                .endsWith("-s 64x32 -r 30  -i - -y -pix_fmt yuv420p -c:v libx264 -preset veryslow -qp 0"));
    QVERIFY(ffmpegArguments(Mov, 64, 32, 25, rowOf(Mov, "mjpeg")).endsWith("-vcodec mjpeg -pix_fmt yuvj444p"));
    QVERIFY(ffmpegArguments(Jpeg, 64, 32, 25, 0).contains("-vcodec mjpeg "));
    QVERIFY(ffmpegArguments(Mov, 64, 32, 25, 19).isEmpty());
    QVERIFY(ffmpegArguments(Avi, 64, 32, 25, -1).isEmpty());
}

void TestExportDialog::codecRowsTheClipCannotUseAreNamed()
{
    const QSet<QString> all = allEncoders();
    const auto problem = [&](int type, const char* codec, int w, int h, int fps) {
        return codecRowProblem(codecRows(type)[rowOf(type, codec)], w, h, fps, all);
    };
    QVERIFY(!problem(Avi, "h261", 2048, 1080, 25).isEmpty());
    QVERIFY(problem(Avi, "h261", 352, 288, 25).isEmpty());
    QVERIFY(!problem(Mov, "h263", 2048, 1080, 25).isEmpty());
    QVERIFY(!problem(Avi, "dnxhd", 1920, 1080, 25).isEmpty());
    QVERIFY(!problem(Avi, "rv10", 2048, 1080, 25).isEmpty()); // 1080 is no multiple of 16
    QVERIFY(!problem(Avi, "svq1", 3840, 2160, 25).isEmpty());
    QVERIFY(!problem(Mpg, "mpeg1video", 2048, 1080, 15).isEmpty());
    QVERIFY(problem(Mpg, "mpeg1video", 2048, 1080, 25).isEmpty());
    QVERIFY(!problem(Mpg, "mpeg2video", 2048, 1080, 1000).isEmpty());
    QVERIFY(problem(Avi, "ffv1", 2048, 1080, 1000).isEmpty());
    QVERIFY(codecRowProblem(codecRows(Avi)[0], 64, 32, 25, {}).contains("zlib"));
}

void TestExportDialog::encoderListIsRead()
{
    const QString listing = "Encoders:\n V..... = Video\n ------\n"
                            " V....D libx264              libx264 H.264 / AVC (codec h264)\n"
                            " V..... mpeg4                MPEG-4 part 2\n"
                            " A....D aac                  AAC (Advanced Audio Coding)\n";
    QCOMPARE(ffmpegtool::parseEncoders(listing), (QSet<QString>{"libx264", "h264", "mpeg4"}));
}

void TestExportDialog::typeSwitchKeepsOrResetsTheCodec()
{
    ImgExportDlg dialog(QSize(2048, 1080), Avi, 25, 20, "/tmp", "Img", "/clips/c1");
    dialog.setEncoders(allEncoders());
    auto* types = dialog.findChild<QComboBox*>("typeCombo");
    auto* codecs = dialog.findChild<QComboBox*>("codecCombo");
    QCOMPARE(codecs->currentIndex(), 20);
    // MOV has 19 rows: the first that can encode this clip is taken, never row -1.
    types->setCurrentIndex(Mov - 1);
    QCOMPARE(codecs->currentIndex(), 0);
    codecs->setCurrentIndex(rowOf(Mov, "mjpeg"));
    types->setCurrentIndex(Avi - 1);
    QCOMPARE(codecs->currentIndex(), rowOf(Mov, "mjpeg")); // the index is kept
    types->setCurrentIndex(Png - 1);
    QVERIFY(!codecs->isEnabled());
    types->setCurrentIndex(Avi - 1);
    QCOMPARE(codecs->currentIndex(), 0); // reset by a type without rows

    // A row the clip cannot use is disabled with the reason, and not selected.
    const auto* model = qobject_cast<QStandardItemModel*>(codecs->model());
    QStandardItem* h261 = model->item(rowOf(Avi, "h261"));
    QVERIFY(!h261->isEnabled());
    QVERIFY(h261->toolTip().contains("176x144"));
    ImgExportDlg onH261(QSize(2048, 1080), Avi, 25, rowOf(Avi, "h261"), "/tmp", "Img", "/clips/c1");
    onH261.setEncoders(allEncoders());
    QCOMPARE(onH261.findChild<QComboBox*>("codecCombo")->currentIndex(), 0);
}

void TestExportDialog::badRateFolderAndSpaceAreRefused()
{
    QTemporaryDir dir;
    ImgExportDlg dialog(QSize(64, 32), Mov, 25, 0, dir.path(), "Img", "/clips/c1");
    auto* fps = dialog.findChild<QLineEdit*>("fpsEdit");
    auto* problem = dialog.findChild<QLabel*>("problemLabel");
    for (const char* text : {"0", "abc", "-5"}) {
        fps->setText(text);
        dialog.OnOK();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(problem->text().contains("fps"));
    }
    fps->setText("25");
    dialog.findChild<QLineEdit*>("folderEdit")->setText(dir.filePath("missing"));
    dialog.OnOK();
    QVERIFY(problem->text().contains("does not exist"));
    QCOMPARE(dialog.result(), int(QDialog::Rejected));

    // Uncompressed images that cannot fit on the volume.
    QVERIFY(outputFolderProblem(Tiff, dir.path(), 1, 64, 32).isEmpty());
    QVERIFY(outputFolderProblem(Tiff, dir.path(), qint64(1) << 40, 4096, 2160).contains("MB"));
    QVERIFY(outputFolderProblem(Png, dir.path(), qint64(1) << 40, 4096, 2160).isEmpty());
}

void TestExportDialog::acceptedDialogGivesTheExport()
{
    QTemporaryDir dir;
    ImgExportDlg dialog(QSize(1920, 1080), Tiff, 24, 3, dir.path(), "Img", "/clips/c1");
    dialog.findChild<QLineEdit*>("fpsEdit")->setText("30");
    dialog.OnOK();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.outputFile(), QDir::toNativeSeparators(dir.path()) + "/Img%06d.tif");
    QCOMPARE(dialog.ffmpegArguments(), ffmpegArguments(Tiff, 1920, 1080, 30, 0));
    QCOMPARE(dialog.fps(), 30);
    QCOMPARE(dialog.codecIndex(), 0);
    QVERIFY(dialog.findChild<QLabel*>("commandLabel")->text().contains("ffmpeg -vcodec rawvideo"));
}

void TestExportDialog::runnerReadsProgressAndJudgesTheEnd()
{
    QCOMPARE(encoderrun::ffmpegArguments("  -i -   -y\t-vcodec png ", "/o/x.png"),
             (QStringList{"-i", "-", "-y", "-vcodec", "png", "/o/x.png"}));
    QCOMPARE(encoderrun::rendererArguments("/c/clip 1", 10, 19),
             (QStringList{"-s", "/c/clip 1/", "-o", "-", "--lo", "10", "--up", "19"}));
    const QString console = "Input #0\nframe=    4 fps=0.0 q=0.0 size=\rframe=   10 fps=9.1 q=-0.0 Lsize=N/A\n";
    QCOMPARE(encoderrun::framesDone(console), 10);
    QCOMPARE(encoderrun::framesDone("Input #0"), -1);
    QCOMPARE(encoderrun::progressText(10, 40, 2.0), QString("Frame 10 of 40, 5.0 frames/s, about 6 s left"));
    QCOMPARE(encoderrun::lastLines(console, 1), QString("frame=   10 fps=9.1 q=-0.0 Lsize=N/A"));

    encoderrun::Outcome outcome;
    outcome.rendererExitedCleanly = outcome.ffmpegExitedCleanly = true;
    outcome.framesExpected = outcome.framesDone = 10;
    QVERIFY(encoderrun::succeeded(outcome));
    outcome.framesDone = 9; // a frame lost on the way is no success
    QVERIFY(!encoderrun::succeeded(outcome));
    outcome.framesDone = 10;
    outcome.rendererExitedCleanly = false;
    outcome.rendererErrors = "Failed to open clip from folder /x\n";
    outcome.outputFile = "/o/take.mov";
    outcome.outputLeft = true;
    QVERIFY(!encoderrun::succeeded(outcome));
    const QString text = encoderrun::failureText(outcome);
    QVERIFY(text.startsWith("The export failed."));
    QVERIFY(text.contains("/o/take.mov is incomplete."));
    QVERIFY(text.contains("Failed to open clip from folder /x"));
    QVERIFY(encoderrun::outputWriteFailed("Error writing trailer of /o/x.avi: No space left on device"));
    QVERIFY(!encoderrun::outputWriteFailed(console));
}

QTEST_MAIN(TestExportDialog)
#include "tst_export_dialog.moc"

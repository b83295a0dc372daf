// The clips manager run as the command-line renderer, as the export runs it: a child process
// with a clip folder and an output, checked for the bytes it writes, its messages and its
// exit code.

#include "SampleClipFolders.h"
#include "SyntheticMosaic.h"

#include <QFile>
#include <QNetworkInterface>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 32;
constexpr int kFrames = 100;
constexpr qsizetype kFrameBytes = qsizetype(kWidth) * kHeight * 3;

// Frame f is a grey of level 20 + 2f with a brighter top-left quarter.
testdata::Rgb8 rampScene(int c, int r, int f)
{
    const int v = 20 + 2 * f + ((c < kWidth / 2 && r < kHeight / 2) ? 60 : 0);
    return {v, v, v};
}

QByteArray unitCalibration()
{
    QByteArray bytes(kWidth * kHeight * 8, 0);
    for (int p = 0; p < kWidth * kHeight; ++p)
        qToLittleEndian<qint16>(1024, bytes.data() + p * 8 + 2);
    return bytes;
}

struct Run {
    int exitCode = -1;
    QByteArray output; // standard output
    QString log;       // standard error: the debug log
};

int pixelGrey(const QByteArray& rgb, qsizetype frame, int x, int y)
{
    return uchar(rgb[frame * kFrameBytes + (qsizetype(y) * kWidth + x) * 3 + 1]);
}

} // namespace

class TestCommandLineExport : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void writesOneUprightFrameWithoutTrims();
    void writesTheTrimmedRange();
    void upperTrimPastTheEndStopsAtTheLastFrame();
    void resolutionSetsTheOutputSize();
    void dashWritesBinaryToStandardOutput();
    void goesOnWithoutCalibration();
    void failuresEndWithExitCodeOne_data();
    void failuresEndWithExitCodeOne();
    void sourceAloneStartsTheGui();
    void versionIsPrinted();

private:
    Run run(const QStringList& arguments, const QProcessEnvironment& extra = {});
    QByteArray exportToFile(const QStringList& arguments);

    QTemporaryDir dir_;
    QString clipFolder_;
    QString bareFolder_;
    QString program_;
};

void TestCommandLineExport::initTestCase()
{
    program_ = qEnvironmentVariable("VLM_CLIPSMGR");
    QVERIFY2(QFile::exists(program_), "VLM_CLIPSMGR names no program");
    const QByteArray frames = testdata::mosaicFrames(kWidth, kHeight, kFrames, rampScene);
    clipFolder_ = testdata::makeClipFolder(dir_.filePath("clips"), kWidth, kHeight, kFrames, frames, unitCalibration());
    QVERIFY(!clipFolder_.isEmpty());
    bareFolder_ = testdata::makeClipFolder(dir_.filePath("bare"), kWidth, kHeight, kFrames, frames, QByteArray());
    QVERIFY(!bareFolder_.isEmpty());
}

Run TestCommandLineExport::run(const QStringList& arguments, const QProcessEnvironment& extra)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Settings and default folders of the child stay inside the test's directory.
    env.insert("HOME", dir_.filePath("home"));
    env.insert("XDG_CONFIG_HOME", dir_.filePath("home/.config"));
    env.insert("QT_LOGGING_RULES", "default.debug=true");
    for (const QString& key : extra.keys())
        env.insert(key, extra.value(key));
    process.setProcessEnvironment(env);
    process.start(program_, arguments);
    Run result;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    result.output = process.readAllStandardOutput();
    result.log = QString::fromLocal8Bit(process.readAllStandardError());
    return result;
}

QByteArray TestCommandLineExport::exportToFile(const QStringList& arguments)
{
    const QString out = dir_.filePath("out.raw");
    QFile::remove(out);
    const Run result = run(QStringList{"-s", clipFolder_, "-o", out} + arguments);
    if (result.exitCode != 0) {
        qWarning().noquote() << result.log;
        return {};
    }
    QFile file(out);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestCommandLineExport::writesOneUprightFrameWithoutTrims()
{
    const QByteArray rgb = exportToFile({});
    QCOMPARE(rgb.size(), kFrameBytes);
    // The first row written is the top of the picture, where the bright quarter is.
    QVERIFY(pixelGrey(rgb, 0, kWidth / 4, kHeight / 4) > pixelGrey(rgb, 0, 3 * kWidth / 4, kHeight / 4) + 30);
    QVERIFY(pixelGrey(rgb, 0, kWidth / 4, kHeight / 4) > pixelGrey(rgb, 0, kWidth / 4, 3 * kHeight / 4) + 30);
}

void TestCommandLineExport::writesTheTrimmedRange()
{
    const QByteArray rgb = exportToFile({"--lo", "10", "--up", "19"});
    QCOMPARE(rgb.size(), 10 * kFrameBytes);
    // Frames 10..19 in order: each a little brighter than the one before.
    for (qsizetype f = 1; f < 10; ++f)
        QVERIFY(pixelGrey(rgb, f, 3 * kWidth / 4, 3 * kHeight / 4)
                > pixelGrey(rgb, f - 1, 3 * kWidth / 4, 3 * kHeight / 4));
}

void TestCommandLineExport::upperTrimPastTheEndStopsAtTheLastFrame()
{
    const QByteArray rgb = exportToFile({"--lo", "95", "--up", "500"});
    QCOMPARE(rgb.size(), 5 * kFrameBytes);
    const QByteArray first = exportToFile({});
    // The last picture is frame 99, the brightest, not frame 0 again.
    QVERIFY(pixelGrey(rgb, 4, 3 * kWidth / 4, 3 * kHeight / 4) > pixelGrey(rgb, 3, 3 * kWidth / 4, 3 * kHeight / 4));
    QVERIFY(pixelGrey(rgb, 4, 3 * kWidth / 4, 3 * kHeight / 4)
            > pixelGrey(first, 0, 3 * kWidth / 4, 3 * kHeight / 4) + 50);
}

void TestCommandLineExport::resolutionSetsTheOutputSize()
{
    const QByteArray rgb = exportToFile({"--res", "90x50", "--lo", "0", "--up", "1"});
    QCOMPARE(rgb.size(), qsizetype(2 * 90 * 50 * 3));
}

void TestCommandLineExport::dashWritesBinaryToStandardOutput()
{
    const Run result = run({"-s", clipFolder_, "-o", "-", "--lo", "3", "--up", "5"});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.output.size(), 3 * kFrameBytes);
    QCOMPARE(result.output, exportToFile({"--lo", "3", "--up", "5"}));
}

void TestCommandLineExport::goesOnWithoutCalibration()
{
    const QString out = dir_.filePath("bare.raw");
    const Run result = run({"-s", bareFolder_, "-o", out, "--lo", "0", "--up", "2"});
    QCOMPARE(result.exitCode, 0);
    QVERIFY(result.log.contains("Loading calibration..."));
    QVERIFY(result.log.contains("Failed to open calibration"));
    QCOMPARE(QFileInfo(out).size(), 3 * kFrameBytes);
}

void TestCommandLineExport::failuresEndWithExitCodeOne_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("platform");
    const QString out = QDir::tempPath() + "/vlm-never-written.raw";
    QTest::newRow("no such folder") << QStringList{"-s", "/nonexistent/clip", "-o", out}
                                    << "Failed to open clip from folder /nonexistent/clip"
                                    << "";
    QTest::newRow("empty source") << QStringList{"-s", "", "-o", out}
                                  << "Must provide video clip directory with -s option"
                                  << "";
    QTest::newRow("empty output") << QStringList{"-s", "x", "-o", ""}
                                  << "Must provide output raw video file name with -o option"
                                  << "";
    QTest::newRow("single number") << QStringList{"-s", "x", "-o", out, "--res", "1920"}
                                   << "Must provide output resolution as x separated pair, i.e. --res 3840x2160"
                                   << "";
    QTest::newRow("zero width") << QStringList{"-s", "x", "-o", out, "--res", "0x1080"} << "Failed to process --res"
                                << "";
    QTest::newRow("unknown option") << QStringList{"--bogus"} << "Unknown option 'bogus'."
                                    << "";
    QTest::newRow("unwritable output") << QStringList{"-s", "@clip", "-o", "/nonexistent/x.raw"}
                                       << "Cannot open /nonexistent/x.raw for writing"
                                       << "";
    QTest::newRow("full disk") << QStringList{"-s", "@clip", "-o", "/dev/full"} << "Output write error"
                               << "";
    QTest::newRow("target too large") << QStringList{"-s", "@clip", "-o", out, "--res", "100000x100000"}
                                      << "Could not create fbo"
                                      << "";
    QTest::newRow("no OpenGL") << QStringList{"-s", "@clip", "-o", out} << "Could not create QOpenGLContext"
                               << "offscreen";
}

void TestCommandLineExport::failuresEndWithExitCodeOne()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    QFETCH(QString, platform);
    arguments.replaceInStrings(QRegularExpression("^@clip$"), clipFolder_);
    QProcessEnvironment extra;
    if (!platform.isEmpty()) {
        // Without an X server Qt's offscreen platform has no OpenGL.
        extra.insert("QT_QPA_PLATFORM", platform);
        extra.insert("DISPLAY", "");
    }
    const Run result = run(arguments, extra);
    QVERIFY2(result.log.contains(message), qPrintable(result.log));
    QCOMPARE(result.exitCode, 1);
    QVERIFY(result.output.isEmpty());
}

void TestCommandLineExport::versionIsPrinted()
{
    const Run result = run({"--version"});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(QString::fromLocal8Bit(result.output).trimmed(), QString("VLMClips 1.00.05"));
}

void TestCommandLineExport::sourceAloneStartsTheGui()
{
    // The GUI keeps running; the renderer would have ended long before. Its main window
    // broadcasts discovery, so it may only start where loopback is the sole interface.
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces())
        QVERIFY2(interface.flags().testFlag(QNetworkInterface::IsLoopBack),
                 "refusing to start the GUI outside a private network namespace");
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", dir_.filePath("home"));
    env.insert("XDG_CONFIG_HOME", dir_.filePath("home/.config"));
    process.setProcessEnvironment(env);
    process.start(program_, {"-s", clipFolder_});
    QVERIFY(process.waitForStarted());
    QVERIFY(!process.waitForFinished(4000));
    process.kill();
    process.waitForFinished();
}

QTEST_MAIN(TestCommandLineExport)
#include "tst_command_line_renderer.moc"

// Exports through the installed FFmpeg: one trial frame per file type and codec row that the
// dialog offers, a trimmed clip rendered by the clips manager and encoded to each file type,
// and runs that fail or are aborted.

#include "PrivateMounts.h"
#include "SampleClipFolders.h"
#include "SyntheticMosaic.h"
#include "export/EncoderRun.h"
#include "export/ExportFormats.h"
#include "export/FfmpegTool.h"
#include "export/RecorderEncoderDialog.h"

#include <QDir>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

using namespace exportfmt;

namespace {

bool privateMounts = false;

constexpr int kWidth = 64;
constexpr int kHeight = 32;
constexpr int kFrames = 30;

testdata::Rgb8 scene(int c, int r, int f)
{
    const int v = 30 + 5 * f + (c < kWidth / 2 ? 40 : 0) + (r < kHeight / 2 ? 20 : 0);
    return {v, v, v};
}

// Runs a program to its end; its standard output, or empty on failure (ok false).
QByteArray run(const QString& program, const QStringList& arguments, const QByteArray& input = {}, bool* ok = nullptr)
{
    if (ok)
        *ok = false;
    QProcess process;
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        qWarning().noquote() << program << arguments.join(' ') << process.readAllStandardError().right(400);
        process.kill();
        process.waitForFinished();
        return {};
    }
    if (ok)
        *ok = true;
    return process.readAllStandardOutput();
}

// The direct children of this process still alive.
int childProcesses()
{
    int count = 0;
    for (const QString& task : QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile children("/proc/self/task/" + task + "/children");
        if (children.open(QIODevice::ReadOnly))
            count += QString::fromLatin1(children.readAll()).split(' ', Qt::SkipEmptyParts).size();
    }
    return count;
}

} // namespace

class TestExportEncode : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void everyOfferedRowEncodesATrialFrame();
    void trimmedClipEncodesExactlyItsFrames_data();
    void trimmedClipEncodesExactlyItsFrames();
    void failuresAreReportedAsFailures_data();
    void failuresAreReportedAsFailures();
    void imagesIntoAVolumeThatFillsUpFail();
    void abortEndsBothProgramsAndNamesTheOutput();
    void missingProgramsAreNamed();
    void ffmpegBesideTheProgramInAFolderWithBlanks();

private:
    // Runs an export to its end: whether it succeeded, with the text it showed.
    bool exportClip(const QString& arguments, const QString& output, QString* shown = nullptr,
                    EncoderPrograms programs = {});
    // An executable shell script in the test's folder.
    QString script(const QString& name, const QString& body);

    QTemporaryDir dir_;
    QSharedPointer<SavedClip> clip_;
    EncoderPrograms programs_;
    QByteArray rendered_; // the renderer's frames 10 to 19
};

void TestExportEncode::initTestCase()
{
    programs_ = {qEnvironmentVariable("VLM_CLIPSMGR"), ffmpegtool::findProgram()};
    QVERIFY2(QFile::exists(programs_.renderer), "VLM_CLIPSMGR names no program");
    QVERIFY2(!programs_.ffmpeg.isEmpty(), "no ffmpeg installed");
    // The renderer's settings stay inside the test's folder.
    qputenv("HOME", dir_.filePath("home").toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", dir_.filePath("home/.config").toLocal8Bit());

    testdata::FolderContent content;
    content.clip = sampleClip(1, kFrames, kWidth, kHeight);
    const QByteArray frames = testdata::mosaicFrames(kWidth, kHeight, kFrames, scene);
    content.frames = [frames](qint64 first, qint64 count, uchar* out) {
        std::memcpy(out, frames.constData() + first * kWidth * kHeight, size_t(count * kWidth * kHeight));
    };
    clip_ = testdata::startedDownload(dir_.filePath("clips"), content);
    QVERIFY(clip_ && testdata::storeFrames(*clip_, content, ClipSegment{0, kFrames - 1}));
    clip_->setLowerTrim(10);
    clip_->setUpperTrim(19);
    QVERIFY(clip_->saveRenderState());
    rendered_ = run(programs_.renderer, {"-s", clip_->folderPath(), "-o", "-", "--lo", "10", "--up", "19"});
    QCOMPARE(rendered_.size(), 10 * kWidth * kHeight * 3);
}

bool TestExportEncode::exportClip(const QString& arguments, const QString& output, QString* shown,
                                  EncoderPrograms programs)
{
    if (programs.renderer.isEmpty())
        programs.renderer = programs_.renderer;
    if (programs.ffmpeg.isEmpty())
        programs.ffmpeg = programs_.ffmpeg;
    auto* runner = new RecorderEncoderDialog(clip_, arguments, output, programs);
    QSignalSpy ended(runner, &RecorderEncoderDialog::encodingEnded);
    if (!runner->start()) {
        delete runner;
        return false;
    }
    if (!ended.wait(120000)) {
        runner->reject();
        return false;
    }
    if (shown)
        *shown = runner->findChild<QTextBrowser*>("consoleView")->toPlainText();
    runner->accept();
    return ended.first().first().toBool();
}

void TestExportEncode::everyOfferedRowEncodesATrialFrame()
{
    // A small size every size-bound row accepts. One FFmpeg per file type writes the frame
    // once for each of the type's offered rows (FFmpeg's outputs after one input); a type that
    // fails is tried row by row to name the row.
    const int w = 176, h = 144, fps = 25;
    const QSet<QString> encoders = ffmpegtool::encoders(programs_.ffmpeg);
    const QByteArray frame(w * h * 3, char(90));
    QVERIFY(QDir().mkpath(dir_.filePath("trial")));
    const auto encode = [&](int type, const QList<int>& rows) {
        QStringList arguments{"-loglevel", "error"};
        for (int row : rows) {
            const QString file = outputFile(type, dir_.filePath("trial"), QString("t%1_%2").arg(type).arg(row));
            const QStringList one = encoderrun::ffmpegArguments(ffmpegArguments(type, w, h, fps, row), file);
            // The input options once, then each row's output options and file.
            arguments += arguments.size() == 2 ? one : one.mid(one.indexOf("-i") + 2);
        }
        bool ok = false;
        run(programs_.ffmpeg, arguments, frame, &ok);
        return ok;
    };
    QStringList failed;
    int tried = 0;
    for (int type = kFirstType; type <= kLastType; ++type) {
        QList<int> rows;
        for (int row = 0; row < std::max<int>(1, int(codecRows(type).size())); ++row)
            if (codecRows(type).isEmpty() || codecRowProblem(codecRows(type)[row], w, h, fps, encoders).isEmpty())
                rows << row;
        tried += int(rows.size());
        if (encode(type, rows))
            continue;
        for (int row : rows)
            if (!encode(type, {row}))
                failed << QString("type %1 row %2").arg(type).arg(row);
    }
    QVERIFY(tried > 60);
    QVERIFY2(failed.isEmpty(), qPrintable(failed.join(", ")));
}

void TestExportEncode::trimmedClipEncodesExactlyItsFrames_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("codec");
    QTest::addColumn<bool>("lossless");
    QTest::newRow("tiff") << int(Tiff) << QString() << true;
    QTest::newRow("png") << int(Png) << QString() << true;
    QTest::newRow("jpeg") << int(Jpeg) << QString() << false;
    QTest::newRow("dpx") << int(Dpx) << QString() << true;
    QTest::newRow("avi ffv1") << int(Avi) << QString("ffv1") << false;
    QTest::newRow("mov prores") << int(Mov) << QString("prores") << false;
    QTest::newRow("mov mjpeg") << int(Mov) << QString("mjpeg") << false;
    QTest::newRow("mp4") << int(Mp4) << QString() << false;
    QTest::newRow("mpg mpeg2video") << int(Mpg) << QString("mpeg2video") << false;
}

void TestExportEncode::trimmedClipEncodesExactlyItsFrames()
{
    QFETCH(int, type);
    QFETCH(QString, codec);
    QFETCH(bool, lossless);
    int row = 0;
    while (!codec.isEmpty() && QLatin1String(codecRows(type)[row].codec) != codec)
        ++row;
    const QString folder = dir_.filePath(QString("out%1_%2").arg(type).arg(row));
    QVERIFY(QDir().mkpath(folder));
    const QString output = outputFile(type, folder, "Img");
    QString shown;
    QVERIFY(exportClip(ffmpegArguments(type, kWidth, kHeight, 25, row), output, &shown));
    QVERIFY(shown.contains("Video successfully encoded."));

    if (isMovie(type)) {
        const QByteArray counted = run("ffprobe",
                                       {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                                        "stream=nb_read_frames", "-of", "csv=p=0", output});
        QCOMPARE(counted.trimmed().split(',').first(), QByteArray("10"));
        return;
    }
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 10);
    QVERIFY(QFile::exists(folder + "/Img000000." + extension(type)));
    if (lossless) {
        const QByteArray decoded =
            run(programs_.ffmpeg, {"-loglevel", "error", "-i", output, "-f", "rawvideo", "-pix_fmt", "rgb24", "-"});
        QVERIFY(decoded == rendered_);
    }
}

QString TestExportEncode::script(const QString& name, const QString& body)
{
    const QString path = dir_.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(("#!/bin/sh\n" + body + "\n").toLocal8Bit()) < 0)
        return {};
    file.close();
    file.setPermissions(file.permissions() | QFile::ExeOwner);
    return path;
}

void TestExportEncode::failuresAreReportedAsFailures_data()
{
    QTest::addColumn<QString>("renderer");
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("said");
    const QString avi = ffmpegArguments(Avi, kWidth, kHeight, 25, 0);
    QTest::newRow("renderer fails") << script("failing", "echo 'Failed to open clip from folder' >&2; exit 1") << avi
                                    << dir_.filePath("r.avi") << "Failed to open clip from folder";
    // H.261 takes no 64x32 pictures.
    int h261 = 0;
    while (QLatin1String(codecRows(Avi)[h261].codec) != QLatin1String("h261"))
        ++h261;
    QTest::newRow("ffmpeg fails") << QString() << ffmpegArguments(Avi, kWidth, kHeight, 25, h261)
                                  << dir_.filePath("f.avi") << "FFmpeg ended with an error";
    QFile::link("/dev/full", dir_.filePath("full.avi"));
    QTest::newRow("volume full") << QString() << avi << dir_.filePath("full.avi") << "could not write the output";
    // The renderer ends well but a frame short: no success either.
    QTest::newRow("frames missing") << script("short",
                                              "head -c " + QString::number(9 * kWidth * kHeight * 3) + " /dev/zero")
                                    << avi << dir_.filePath("s.avi") << "9 of 10 frames";
}

void TestExportEncode::failuresAreReportedAsFailures()
{
    QFETCH(QString, renderer);
    QFETCH(QString, arguments);
    QFETCH(QString, output);
    QFETCH(QString, said);
    QString shown;
    QVERIFY(!exportClip(arguments, output, &shown, {renderer, {}}));
    QVERIFY2(shown.contains("The export failed.") && shown.contains(said), qPrintable(shown));
    QVERIFY(!shown.contains("Video successfully encoded."));
    QCOMPARE(childProcesses(), 0);
}

// A volume that takes the first few pictures of a sequence and then no more.
void TestExportEncode::imagesIntoAVolumeThatFillsUpFail()
{
    QVERIFY2(privateMounts, "no private mount namespace for the small volume");
    const privatemounts::SizedVolume volume(32 << 10);
    QVERIFY(volume.isMounted());
    const QString folder = volume.path();
    QString shown;
    QVERIFY(!exportClip(ffmpegArguments(Tiff, kWidth, kHeight, 25, 0), outputFile(Tiff, folder, "Img"), &shown));
    QVERIFY2(shown.contains("The export failed.") && !shown.contains("Video successfully encoded."), qPrintable(shown));
    const qsizetype written = QDir(folder).entryList(QDir::Files).size();
    QVERIFY2(written > 0 && written < 10, qPrintable(QString::number(written)));
}

void TestExportEncode::abortEndsBothProgramsAndNamesTheOutput()
{
    const QString endless = script("endless", "exec cat /dev/zero");
    const QString output = dir_.filePath("aborted.avi");
    auto* runner = new RecorderEncoderDialog(clip_, ffmpegArguments(Avi, kWidth, kHeight, 25, 0), output,
                                             {endless, programs_.ffmpeg});
    QSignalSpy ended(runner, &RecorderEncoderDialog::encodingEnded);
    QVERIFY(runner->start());
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(output).size() > 0, 20000);
    runner->findChild<QPushButton*>("abortButton")->click();
    QCOMPARE(ended.size(), 1);
    QCOMPARE(ended.first().first().toBool(), false);
    QCOMPARE(childProcesses(), 0);
    const QString shown = runner->findChild<QTextBrowser*>("consoleView")->toPlainText();
    QVERIFY(shown.contains("The export was aborted.") && shown.contains(output + " is incomplete."));
    QVERIFY(!runner->findChild<QPushButton*>("abortButton")->isVisible());
    runner->findChild<QPushButton*>("okButton")->click();
}

void TestExportEncode::missingProgramsAreNamed()
{
    const QString output = dir_.filePath("never.avi");
    const QString avi = ffmpegArguments(Avi, kWidth, kHeight, 25, 0);
    for (const auto& [programs, message] :
         {std::pair{EncoderPrograms{programs_.renderer, QString()},
                    "FFMPEG not found. Failed to start FFMPEG program."},
          std::pair{EncoderPrograms{dir_.filePath("none"), QString()},
                    "FFMPEG not found. Failed to start FFMPEG program."},
          std::pair{EncoderPrograms{dir_.filePath("none"), programs_.ffmpeg}, "Failed to start renderer"}}) {
        RecorderEncoderDialog runner(clip_, avi, output, programs);
        QVERIFY(!runner.start());
        QCOMPARE(runner.startError(), QString(message));
        QVERIFY(!runner.isVisible());
        QCOMPARE(childProcesses(), 0);
    }
}

void TestExportEncode::ffmpegBesideTheProgramInAFolderWithBlanks()
{
    const QString folder = dir_.filePath("program folder/with blanks");
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(QFile::link(programs_.ffmpeg, folder + "/ffmpeg"));
    const QString found = ffmpegtool::findProgram(folder);
    QCOMPARE(found, folder + "/ffmpeg");
    const QString output = dir_.filePath("blanks.avi");
    QVERIFY(exportClip(ffmpegArguments(Avi, kWidth, kHeight, 25, 0), output, nullptr, {{}, found}));
    QVERIFY(QFileInfo(output).size() > 0);
}

int main(int argc, char** argv)
{
    // Before any thread exists: a process with threads cannot change its mount namespace.
    privateMounts = privatemounts::enter();
    QApplication app(argc, argv);
    TestExportEncode test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_export_encode.moc"

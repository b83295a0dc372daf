// The clips manager's command line and the export's frame range and temporal span.

#include "export/CommandLineRenderer.h"
#include "export/ExportCommandLine.h"

#include <QCommandLineParser>
#include <QtTest>

using kvx::ExportCommandLine;
using Mode = kvx::ExportCommandLine::Mode;

namespace {

ExportCommandLine parse(QStringList arguments)
{
    QCommandLineParser parser;
    kvx::addExportOptions(parser);
    arguments.prepend(QStringLiteral("VLMVelClipsMgr"));
    if (!parser.parse(arguments))
        qFatal("parser refused the arguments: %s", qPrintable(parser.errorText()));
    return kvx::readExportCommandLine(parser);
}

} // namespace

Q_DECLARE_METATYPE(kvx::ExportCommandLine::Mode)

class TestExportCommandLine : public QObject {
    Q_OBJECT

private slots:
    void modeAndMessage_data();
    void modeAndMessage();
    void valuesOfAnExport();
    void developerModeOnlyForEnable_data();
    void developerModeOnlyForEnable();
    void frameRange_data();
    void frameRange();
    void spanNeedsThreeNeighboursEachSide();
};

void TestExportCommandLine::modeAndMessage_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Mode>("mode");
    QTest::addColumn<QString>("message");
    const QString pair = "Must provide output resolution as x separated pair, i.e. --res 3840x2160";
    QTest::newRow("nothing") << QStringList{} << Mode::Gui << "";
    QTest::newRow("source alone") << QStringList{"-s", "/clips/a"} << Mode::Gui << "";
    QTest::newRow("output alone") << QStringList{"-o", "out.raw"} << Mode::Gui << "";
    QTest::newRow("both") << QStringList{"-s", "/clips/a", "-o", "out.raw"} << Mode::Export << "";
    QTest::newRow("long names") << QStringList{"--source-directory", "a", "--output-file", "-"} << Mode::Export << "";
    QTest::newRow("empty source") << QStringList{"-s", "", "-o", "out.raw"} << Mode::Error
                                  << "Must provide video clip directory with -s option";
    QTest::newRow("empty output, no source")
        << QStringList{"-o", ""} << Mode::Error << "Must provide output raw video file name with -o option";
    QTest::newRow("resolution alone") << QStringList{"--res", "1920"} << Mode::Gui << "";
    const QStringList both{"-s", "a", "-o", "b", "--res"};
    QTest::newRow("one number") << both + QStringList{"1920"} << Mode::Error << pair;
    QTest::newRow("three numbers") << both + QStringList{"1920x1080x2"} << Mode::Error << pair;
    QTest::newRow("empty pieces dropped") << both + QStringList{"x1920xx1080x"} << Mode::Export << "";
    QTest::newRow("zero width") << both + QStringList{"0x1080"} << Mode::Error << "Failed to process --res";
    QTest::newRow("not a number") << both + QStringList{"widexhigh"} << Mode::Error << "Failed to process --res";
    QTest::newRow("negative as a signed size")
        << both + QStringList{"4294967295x10"} << Mode::Error << "Failed to process --res";
}

void TestExportCommandLine::modeAndMessage()
{
    QFETCH(QStringList, arguments);
    const ExportCommandLine line = parse(arguments);
    QTEST(line.mode, "mode");
    QTEST(line.message, "message");
}

void TestExportCommandLine::valuesOfAnExport()
{
    ExportCommandLine line =
        parse({"-s", "/clips/a", "-o", "-", "--res", "1920x1080", "--lo", "10", "--up", "19", "--pass", "s3cret"});
    QCOMPARE(line.mode, Mode::Export);
    QCOMPARE(line.sourceDirectory, QStringLiteral("/clips/a"));
    QCOMPARE(line.outputFile, QStringLiteral("-"));
    QCOMPARE(line.outputWidth, 1920);
    QCOMPARE(line.outputHeight, 1080);
    QCOMPARE(line.lowerTrim, 10);
    QCOMPARE(line.upperTrim, 19);
    QCOMPARE(line.developerPassword, QStringLiteral("s3cret"));

    line = parse({"-s", "a", "-o", "b", "--lo", "ten"});
    QCOMPARE(line.outputWidth, 0); // the clip's own size
    QCOMPARE(line.lowerTrim, 0);   // not a number
    QCOMPARE(line.upperTrim, 0);
}

void TestExportCommandLine::developerModeOnlyForEnable_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("developer");
    QTest::newRow("enable") << "enable" << true;
    QTest::newRow("Enable") << "Enable" << false;
    QTest::newRow("yes") << "yes" << false;
}

void TestExportCommandLine::developerModeOnlyForEnable()
{
    QFETCH(QString, value);
    QTEST(parse({"-d", value}).developerMode, "developer");
}

void TestExportCommandLine::frameRange_data()
{
    QTest::addColumn<qint64>("frames");
    QTest::addColumn<qint64>("lower");
    QTest::addColumn<qint64>("upper");
    QTest::addColumn<qint64>("first");
    QTest::addColumn<qint64>("last");
    QTest::newRow("no trims: frame 0") << qint64(100) << qint64(0) << qint64(0) << qint64(0) << qint64(0);
    QTest::newRow("10 to 19") << qint64(100) << qint64(10) << qint64(19) << qint64(10) << qint64(19);
    // Ends outside the clip keep the clip's own end, the last frame, never a frame past it.
    QTest::newRow("upper past the end") << qint64(100) << qint64(95) << qint64(500) << qint64(95) << qint64(99);
    QTest::newRow("unset trims") << qint64(100) << qint64(-1) << qint64(-1) << qint64(0) << qint64(99);
    QTest::newRow("crossed trims") << qint64(100) << qint64(20) << qint64(10) << qint64(0) << qint64(99);
    QTest::newRow("no frames") << qint64(0) << qint64(0) << qint64(0) << qint64(0) << qint64(-1);
}

void TestExportCommandLine::frameRange()
{
    QFETCH(qint64, frames);
    QFETCH(qint64, lower);
    QFETCH(qint64, upper);
    const kvx::ExportRange range = kvx::exportRange(frames, lower, upper);
    QTEST(range.first, "first");
    QTEST(range.last, "last");
}

void TestExportCommandLine::spanNeedsThreeNeighboursEachSide()
{
    const qint64 n = 10;
    const int expected[10] = {1, 1, 1, 7, 7, 7, 7, 1, 1, 1};
    for (qint64 f = 0; f < n; ++f)
        QCOMPARE(kvx::exportSpan(f, n), expected[f]);
    QCOMPARE(kvx::exportSpan(3, 6), 1); // too short a clip for any window
}

QTEST_GUILESS_MAIN(TestExportCommandLine)
#include "tst_export_arguments.moc"

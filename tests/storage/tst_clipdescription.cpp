#include "SampleClips.h"
#include "TestFiles.h"
#include "storage/ClipDescription.h"
#include "storage/ClipFolder.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestClipDescription : public QObject {
    Q_OBJECT
private slots:
    void writesTheFieldsInOrder();
    void readsWhatItWrote();
    void cameraFlagsDecodeFieldByField();
    void readKeepsWhatTheFileLacksOrSpoils();
    void readSurvivesHostileFiles();
    void frameRangeText();
    void folderNamesAndClipFolders();
};

void TestClipDescription::writesTheFieldsInOrder()
{
    ClipDescription d;
    d.info.cameraSerial = 10042;
    d.info.unnamed4 = 1;
    d.info.totalFrames = 100;
    d.info.clipUid = 0x1122334455667788ULL;
    d.info.fps = 29.97f;
    d.info.flags = 64;
    d.info.frameBytes = 3000000;
    d.info.width = 1920;
    d.info.height = 1080;
    d.info.lineBytes = 2048;
    d.info.lineCount = 1080;
    d.info.clipNumber = 4;
    d.info.clipVersion = 2;
    d.presentFrames = QList<ClipSegment>{{0, 9}, {20, 29}};
    d.calibrationStored = true;

    QBuffer out;
    out.open(QIODevice::WriteOnly);
    QVERIFY(clipxml::write(&out, d));
    const QByteArray expected = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                "<ClipInfo>\n"
                                "    <Camera_Serial>4294977338</Camera_Serial>\n"
                                "    <Frames_Captured>100</Frames_Captured>\n"
                                "    <UID>1234605616436508552</UID>\n"
                                "    <FPS>29.97</FPS>\n"
                                "    <Clip_Flags>64</Clip_Flags>\n"
                                "    <Camera_Flags>304001771011311488</Camera_Flags>\n"
                                "    <Clip_ID>4</Clip_ID>\n"
                                "    <Calibration_Type>2</Calibration_Type>\n"
                                "    <Download_Finished>0</Download_Finished>\n"
                                "    <Frame_Bytes>3000000</Frame_Bytes>\n"
                                "    <Present_Frames>0-9,20-29</Present_Frames>\n"
                                "    <Calibration_Stored>1</Calibration_Stored>\n"
                                "</ClipInfo>\n";
    QCOMPARE(out.data(), expected);
}

void TestClipDescription::readsWhatItWrote()
{
    QTemporaryDir dir;
    ClipDescription written;
    written.info = sampleClip(2, 500, 2048, 1080);
    written.info.fps = 59.94f;
    written.info.unnamed4 = 7;
    written.info.flags = 64;
    written.info.frameBytes = 2211840;
    written.downloadFinished = true;
    written.presentFrames = QList<ClipSegment>{{0, 499}};
    written.calibrationStored = false;
    QFile out(dir.filePath("clip.xml"));
    QVERIFY(out.open(QIODevice::WriteOnly));
    QVERIFY(clipxml::write(&out, written));
    out.close();

    ClipDescription read;
    QFile in(dir.filePath("clip.xml"));
    QVERIFY(clipxml::read(&in, read));
    QCOMPARE(read.info, written.info);
    QVERIFY(read.downloadFinished);
    QCOMPARE(read.presentFrames, written.presentFrames);
    QCOMPARE(read.calibrationStored, std::optional<bool>(false));
    QVERIFY(!in.isOpen());
}

void TestClipDescription::cameraFlagsDecodeFieldByField()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("clip.xml");
    QVERIFY(writeFile(path, "<ClipInfo><Camera_Flags>304001771011311488</Camera_Flags></ClipInfo>"));
    ClipDescription d;
    QFile file(path);
    QVERIFY(clipxml::read(&file, d));
    QCOMPARE(d.info.width, quint16(1920));
    QCOMPARE(d.info.height, quint16(1080));
    QCOMPARE(d.info.lineBytes, quint16(2048));
    QCOMPARE(d.info.lineCount, quint16(1080));

    // All bits set in one field do not spill into the next.
    QVERIFY(writeFile(path,
                      "<ClipInfo><Camera_Flags>18446462603027808255</Camera_Flags></ClipInfo>")); // 0xFFFF0000FFFFFFFF
    QVERIFY(clipxml::read(&file, d));
    QCOMPARE(d.info.width, quint16(0xFFFF));
    QCOMPARE(d.info.height, quint16(0xFFFF));
    QCOMPARE(d.info.lineBytes, quint16(0));
    QCOMPARE(d.info.lineCount, quint16(0xFFFF));
}

void TestClipDescription::readKeepsWhatTheFileLacksOrSpoils()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("clip.xml");
    // An older folder: no added elements. Values too large for their field, negative or no
    // number at all leave the field alone; unknown elements are skipped.
    QVERIFY(writeFile(path,
                      "<?xml version=\"1.0\"?>"
                      "<ClipInfo><Frames_Captured>250</Frames_Captured><Clip_ID>70000</Clip_ID>"
                      "<FPS>fast</FPS><Clip_Flags>-1</Clip_Flags><Unknown>3</Unknown>"
                      "<Calibration_Type> 3 </Calibration_Type><FPS>inf</FPS></ClipInfo>"));
    ClipDescription d;
    d.info = sampleClip(2, 10, 64, 32);
    d.info.fps = 24.0f;
    QFile file(path);
    QVERIFY(clipxml::read(&file, d));
    QCOMPARE(d.info.clipUid, 0xC11B0002ULL);
    QCOMPARE(d.info.totalFrames, quint64(250));
    QCOMPARE(d.info.clipNumber, quint16(2));
    QCOMPARE(d.info.fps, 24.0f);
    QCOMPARE(d.info.flags, 0u);
    QCOMPARE(d.info.clipVersion, quint16(3));
    QVERIFY(!d.presentFrames);
    QVERIFY(!d.calibrationStored);
}

void TestClipDescription::readSurvivesHostileFiles()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("clip.xml");
    ClipDescription d;
    QFile file(path);

    // Cut off in the middle: the fields before the cut stay.
    QVERIFY(writeFile(path, "<ClipInfo><Frames_Captured>77</Frames_Captured><UID>5</UID><FPS>2"));
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("failed to parse the XML file .*clip.xml:1"));
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(".+"));
    QVERIFY(!clipxml::read(&file, d));
    QCOMPARE(d.info.totalFrames, quint64(77));
    QCOMPARE(d.info.clipUid, quint64(5));

    // Deep nesting, a huge text and binary noise.
    QByteArray deep = "<ClipInfo><Clip_ID>9</Clip_ID><Present_Frames>";
    for (int i = 0; i < 100000; ++i)
        deep += "<x>";
    for (int i = 0; i < 100000; ++i)
        deep += "</x>";
    deep += "</Present_Frames><UID>" + QByteArray(4 << 20, '7') + "</UID></ClipInfo>";
    QVERIFY(writeFile(path, deep));
    QVERIFY(clipxml::read(&file, d));
    QCOMPARE(d.info.clipNumber, quint16(9));
    QCOMPARE(d.info.clipUid, quint64(5));

    QByteArray noise(4096, '\0');
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = char((i * 131 + 7) & 0xFF);
    QVERIFY(writeFile(path, noise));
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("failed to parse the XML file .*"));
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(".+"));
    QVERIFY(!clipxml::read(&file, d));

    QFile missing(dir.filePath("missing.xml"));
    QVERIFY(!clipxml::read(&missing, d));
}

void TestClipDescription::frameRangeText()
{
    QCOMPARE(clipxml::rangesText({}), QString());
    QCOMPARE(clipxml::rangesText({{0, 0}, {5, 1000000000000}}), "0-0,5-1000000000000");
    QCOMPARE(clipxml::parseRanges("0-9, 20-99"), (QList<ClipSegment>{{0, 9}, {20, 99}}));
    // Reversed, negative, open or wordy pieces are dropped; the good ones stay.
    QCOMPARE(clipxml::parseRanges("9-3,-4-2,7-,x-y,12,30-31,,40-40"), (QList<ClipSegment>{{30, 31}, {40, 40}}));
}

void TestClipDescription::folderNamesAndClipFolders()
{
    QCOMPARE(clipfolder::folderNameFor(QDateTime(QDate(2019, 3, 7), QTime(14, 5, 9))), "2019-03-07_14.05.09");
    QCOMPARE(clipfolder::folderNameFor(QDateTime(QDate(987, 12, 31), QTime(0, 0, 0))), "987-12-31_00.00.00");

    QTemporaryDir dir;
    const QString first = clipfolder::createFolder(dir.filePath("a/b"), "2019-03-07_14.05.09");
    QCOMPARE(first, QDir::cleanPath(dir.filePath("a/b/2019-03-07_14.05.09")));
    // A second download in the same second gets a folder of its own.
    const QString second = clipfolder::createFolder(dir.filePath("a/b"), "2019-03-07_14.05.09");
    QCOMPARE(second, QDir::cleanPath(dir.filePath("a/b/2019-03-07_14.05.09-2")));

    QVERIFY(!clipfolder::isClipFolder(first));
    QVERIFY(writeFile(first + "/calib.bin", ""));
    QVERIFY(writeFile(first + "/clip.xml", ""));
    QVERIFY(!clipfolder::isClipFolder(first));
    QVERIFY(writeFile(first + "/renderInfo.xml", ""));
    QVERIFY(clipfolder::isClipFolder(first));
}

QTEST_GUILESS_MAIN(TestClipDescription)
#include "tst_clipdescription.moc"

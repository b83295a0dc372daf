#include "SampleClips.h"
#include "TestFiles.h"
#include "storage/ClipFolder.h"
#include "storage/SavedClip.h"
#include "storage/SavedClipList.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Stores frames [first, last] of the clip, each byte of frame i being i, and waits for the write.
bool storeFrames(SavedClip& clip, qint64 first, qint64 last)
{
    SavedClip::RAMBufferPtr buffer;
    if (!clip.allocateBuffer({first, last}, false, &buffer))
        return false;
    for (qint64 i = first; i <= last; ++i)
        std::memset(buffer->data() + (i - first) * clip.bytesPerFrame(), int(i), size_t(clip.bytesPerFrame()));
    QSignalSpy progress(&clip, &SavedClip::clipDownloadProgress);
    return clip.storeFrames(buffer) && progress.wait(5000);
}

// A prepared clip folder of 10 frames of 64 x 32 in base. Each folder is named one second after
// the one before, as downloads started a second apart are.
QSharedPointer<SavedClip> preparedClip(const QString& base, quint64 frames = 10)
{
    static QDateTime start(QDate(2024, 5, 1), QTime(9, 0));
    auto clip = QSharedPointer<SavedClip>::create(sampleClip(2, frames, 64, 32));
    clip->setFolderClock([] { return start = start.addSecs(1); });
    return clip->prepareDownload(base, {}) ? clip : nullptr;
}

RecorderPaintState recorderWith(std::initializer_list<std::pair<int, qint16>> values,
                                QList<ColorMatrixRecord> matrices = {})
{
    OutputStatePacket packet;
    for (const auto& [i, v] : values)
        packet.values[size_t(i)] = v;
    return {packet, matrices};
}

// Draws every thumbnail as a plain picture (red unless told otherwise) and notes where it was
// asked to.
struct RedThumbnails : ThumbnailRenderer {
    bool render(SavedClip&, const QString& path) override
    {
        paths.append(path);
        QImage picture(20, 10, QImage::Format_RGB32);
        picture.fill(colour);
        return picture.save(path);
    }
    QStringList paths;
    QColor colour = Qt::red;
};

QColor middleOf(const QPixmap& picture)
{
    const QImage image = picture.toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

} // namespace

class TestSavedClip : public QObject {
    Q_OBJECT
private slots:
    void prepareDownloadLaysOutTheFolder();
    void initialRenderStateFromTheRecorder();
    void initialRenderStateFromDefaults();
    void openFolderNeedsDescriptionAndRenderState();
    void folderWithTheOriginalDescriptionKeepsItsCalibration_data();
    void folderWithTheOriginalDescriptionKeepsItsCalibration();
    void paintOptionsAreImportedOnce();
    void partialFolderReopensWithItsFrames();
    void presentFramesStopWhereTheFileEnds();
    void explicitFrameSizeSurvivesReopening();
    void descriptionTexts();
    void trims();
    void savedTrimsSurviveReopening_data();
    void savedTrimsSurviveReopening();
    void listShowsClipFoldersOnly();
    void rebuildKeepsOpenClips();
    void deleteRemovesFolderAndRow();
    void thumbnailsComeFromTheRendererHandedIn();
    void thumbnailIsKeptUntilItsFileChanges();
};

void TestSavedClip::prepareDownloadLaysOutTheFolder()
{
    QTemporaryDir dir;
    SavedClip clip(sampleClip(2, 100, 2048, 1080));
    QVERIFY(clip.prepareDownload(dir.filePath("clips"), {}));

    QCOMPARE(clip.basePath(), dir.filePath("clips") + "/");
    QVERIFY(QRegularExpression("^\\d{4}-\\d\\d-\\d\\d_\\d\\d\\.\\d\\d\\.\\d\\d$").match(clip.folderName()).hasMatch());
    QCOMPARE(clip.folderPath(), clip.basePath() + clip.folderName());
    QCOMPARE(QFileInfo(clip.folderPath() + "/0.bin").size(), qint64(221184000));
    QCOMPARE(QFileInfo(clip.folderPath() + "/calib.bin").size(), qint64(17694720));
    QVERIFY(clipfolder::isClipFolder(clip.folderPath()));
    QCOMPARE(clip.dataSize(), qint64(221184000));
    QVERIFY(clip.frameData(99));
    QVERIFY(!clip.frameData(100));
    QCOMPARE(clip.expectedFrames(), 100);
    QCOMPARE(clip.upperTrim(), 99);

    const QByteArray xml = readFile(clip.folderPath() + "/clip.xml");
    QVERIFY(xml.contains("<Frames_Captured>100</Frames_Captured>"));
    QVERIFY(xml.contains("<Download_Finished>0</Download_Finished>"));
    QVERIFY(xml.contains("<Present_Frames></Present_Frames>"));
    QVERIFY(readFile(clip.folderPath() + "/ColorMatrices.xml").contains("<Number_of_Matrices>0</Number_of_Matrices>"));
    QVERIFY(!clip.renderState().isChanged());

    // No thumbnail can be drawn yet, so the list shows the default picture.
    QVERIFY(!QFileInfo::exists(clip.folderPath() + "/thumb.tif"));
}

void TestSavedClip::initialRenderStateFromTheRecorder()
{
    QTemporaryDir dir;
    ColorMatrixRecord warm;
    warm.temperature = 3200;
    warm.matrix = {2, 0, 0, 0, 1, 0, 0, 0, 1};
    ColorMatrixRecord cold;
    cold.temperature = 6500;
    cold.matrix = {1, 0, 0, 0, 1, 0, 0, 0, 4};
    const RecorderPaintState recorder = recorderWith({{0, 8192},
                                                      {1, 3072},
                                                      {3, 12},
                                                      {4, -7},
                                                      {5, 100},
                                                      {9, 2048},
                                                      {10, 1024},
                                                      {11, 512},
                                                      {12, 2304},
                                                      {13, 1536},
                                                      {22, 4},
                                                      {23, 5},
                                                      {24, -6},
                                                      {25, 768},
                                                      {2, 999},
                                                      {14, 999}},
                                                     {warm, cold});
    SavedClip clip(sampleClip(2, 10, 64, 32));
    QVERIFY(clip.prepareDownload(dir.path(), recorder));

    RenderState& s = clip.renderState();
    QCOMPARE(s.floatValue("TNKThresh"), 8.0f);
    QCOMPARE(s.doubleValue("DNRUVThresh"), 3.0);
    QCOMPARE(s.doubleValue("DNRYThresh"), 1.5);
    QCOMPARE(s.doubleValue("PedestalR"), 12.0);
    QCOMPARE(s.doubleValue("PedestalG"), -7.0);
    QCOMPARE(s.doubleValue("GainR"), 2.0);
    QCOMPARE(s.doubleValue("GainB"), 0.5);
    QCOMPARE(s.doubleValue("Gamma"), 2.25);
    QCOMPARE(s.doubleValue("Saturation"), 1.5);
    QCOMPARE(s.doubleValue("FlareB"), -6.0);
    QCOMPARE(s.doubleValue("ColorTempMatrix"), 0.75);
    QCOMPARE(s.doubleValue("Brightness"), 0.0);
    QCOMPARE(s.intValue("DarkSubState"), 0);
    QCOMPARE(s.intValue("PSCScaleState"), 0);

    // 0.75 of a set of two selects the second matrix; gains and normalisation follow.
    QCOMPARE(clip.baseColorMatrix()(2, 2), 4.0);
    const auto m = s.matrix3x3Value("ColorCorrectionMatrix");
    QCOMPARE(m(0, 0), 2.0); // row sums: 2, 1, 2 -> divided by 1
    QCOMPARE(m(1, 1), 1.0);
    QCOMPARE(m(2, 2), 2.0);
    QCOMPARE(s.matrix3x1Value("ColorOffsets")(2, 0), 106.0 / 1024.0);

    // The folder holds the same: the matrices and the render state as saved.
    ColorMatrixSet saved;
    QVERIFY(saved.load(clip.folderPath() + "/ColorMatrices.xml"));
    QCOMPARE(saved.records.size(), 2);
    QCOMPARE(saved.records[1].temperature, 6500);
    RenderState reloaded;
    QFile info(clip.folderPath() + "/renderInfo.xml");
    QVERIFY(reloaded.loadStateXml(&info));
    QCOMPARE(reloaded.doubleValue("Gamma"), 2.25);
    QCOMPARE(reloaded.matrix3x3Value("ColorCorrectionMatrix"), m);
}

void TestSavedClip::initialRenderStateFromDefaults()
{
    QTemporaryDir dir;
    SavedClip clip(sampleClip(2, 10, 64, 32));
    QVERIFY(clip.prepareDownload(dir.path(), {}));
    RenderState& s = clip.renderState();
    QCOMPARE(s.floatValue("TNKThresh"), 5.0f);
    QCOMPARE(s.doubleValue("DNRUVThresh"), 2.0);
    QCOMPARE(s.doubleValue("DNRYThresh"), 1.0);
    QCOMPARE(s.doubleValue("GainG"), 1.0);
    QCOMPARE(s.doubleValue("Gamma"), 2.0);
    QCOMPARE(s.doubleValue("Saturation"), 1.0);
    QCOMPARE(s.doubleValue("ColorTempMatrix"), 0.5);
    QCOMPARE(s.doubleValue("PedestalB"), 0.0);
    // No matrices from the recorder: the identity.
    QVERIFY(s.matrix3x3Value("ColorCorrectionMatrix").isIdentity());
}

void TestSavedClip::folderWithTheOriginalDescriptionKeepsItsCalibration_data()
{
    QTest::addColumn<qint64>("calibrationBytes");
    QTest::addColumn<bool>("calibrated");
    QTest::newRow("calib.bin of 8 x 4 x 8 bytes") << qint64(8 * 4 * 8) << true;
    QTest::newRow("calib.bin one byte short") << qint64(8 * 4 * 8 - 1) << false;
    QTest::newRow("no calib.bin") << qint64(-1) << false;
}

// A folder written by an earlier version or another tool: clip.xml holds only the nine
// original elements, nothing says whether the calibration arrived, and calib.bin decides.
void TestSavedClip::folderWithTheOriginalDescriptionKeepsItsCalibration()
{
    QFETCH(qint64, calibrationBytes);
    QFETCH(bool, calibrated);
    QTemporaryDir dir;
    const QString folder = dir.filePath("2019-03-07_14.05.09");
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(writeFile(folder + "/clip.xml",
                      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ClipInfo>\n"
                      "    <Camera_Serial>2901180001</Camera_Serial>\n    <Frames_Captured>3</Frames_Captured>\n"
                      "    <UID>77</UID>\n    <FPS>500</FPS>\n    <Clip_Flags>0</Clip_Flags>\n"
                      "    <Camera_Flags>"
                          + QByteArray::number(8ull | 4ull << 16 | 8ull << 32 | 4ull << 48)
                          + "</Camera_Flags>\n"
                            "    <Clip_ID>0</Clip_ID>\n    <Calibration_Type>1</Calibration_Type>\n"
                            "    <Download_Finished>1</Download_Finished>\n</ClipInfo>\n"));
    QVERIFY(writeFile(folder + "/renderInfo.xml", "<?xml version=\"1.0\"?>\n<RenderState/>\n"));
    QVERIFY(writeFile(folder + "/0.bin", QByteArray(3 * 8 * 4, 'x')));
    QByteArray calibration;
    for (qint64 i = 0; i < calibrationBytes; ++i)
        calibration.append(char(i));
    if (calibrationBytes >= 0)
        QVERIFY(writeFile(folder + "/calib.bin", calibration));

    SavedClip clip;
    QVERIFY(clip.openFolder(folder));
    QVERIFY(clip.isComplete());
    QCOMPARE(clip.hasCalibration(), calibrated);
    QByteArray loaded;
    int width = 0;
    int height = 0;
    QCOMPARE(clip.loadCalibration(&loaded, &width, &height), calibrated);
    if (calibrated) {
        QCOMPARE(loaded, calibration);
        QCOMPARE(width, 8);
        QCOMPARE(height, 4);
    }
}

void TestSavedClip::openFolderNeedsDescriptionAndRenderState()
{
    QTemporaryDir dir;
    const auto prepared = preparedClip(dir.path());
    QVERIFY(prepared);
    const QString folder = prepared->folderPath();

    SavedClip reopened;
    QVERIFY(reopened.openFolder(folder));
    QCOMPARE(reopened.totalFrames, quint64(10));
    QCOMPARE(reopened.lineBytes, quint16(64));
    QCOMPARE(reopened.folderName(), prepared->folderName());
    QCOMPARE(reopened.renderState().doubleValue("DNRUVThresh"), 2.0);

    QVERIFY(QFile::remove(folder + "/renderInfo.xml"));
    SavedClip withoutRenderState;
    QVERIFY(!withoutRenderState.openFolder(folder));
    QVERIFY(QFile::remove(folder + "/clip.xml"));
    SavedClip withoutDescription;
    QVERIFY(!withoutDescription.openFolder(folder));
}

void TestSavedClip::paintOptionsAreImportedOnce()
{
    QTemporaryDir dir;
    const auto prepared = preparedClip(dir.path());
    const QString folder = prepared->folderPath();
    QVERIFY(writeFile(folder + "/paint.xml",
                      "<?xml version=\"1.0\"?>\n<PaintOptions><Gamma>9</Gamma>"
                      "<ColorMat>256</ColorMat></PaintOptions>"));
    {
        SavedClip clip;
        QVERIFY(clip.openFolder(folder));
        QCOMPARE(clip.renderState().doubleValue("ColorTempMatrix"), 0.25);
        QCOMPARE(clip.renderState().doubleValue("Gamma"), 2.0);
    }
    QVERIFY(!QFileInfo::exists(folder + "/paint.xml"));
    {
        SavedClip clip;
        QVERIFY(clip.openFolder(folder));
        QCOMPARE(clip.renderState().doubleValue("ColorTempMatrix"), 0.25); // kept in renderInfo.xml
    }

    // Without "ColorMat" the position becomes 1/1024; a malformed file is left alone.
    QVERIFY(writeFile(folder + "/paint.xml", "<PaintOptions><Gamma>9</Gamma></PaintOptions>"));
    {
        SavedClip clip;
        QVERIFY(clip.openFolder(folder));
        QCOMPARE(clip.renderState().doubleValue("ColorTempMatrix"), 1.0 / 1024.0);
    }
    QVERIFY(writeFile(folder + "/paint.xml", "<PaintOptions><ColorMat>5"));
    {
        SavedClip clip;
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("failed to parse the XML file .*"));
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(".+"));
        QVERIFY(clip.openFolder(folder));
        QCOMPARE(clip.renderState().doubleValue("ColorTempMatrix"), 1.0 / 1024.0);
    }
    QVERIFY(QFileInfo::exists(folder + "/paint.xml"));
}

void TestSavedClip::partialFolderReopensWithItsFrames()
{
    QTemporaryDir dir;
    const auto prepared = preparedClip(dir.path());
    QVERIFY(storeFrames(*prepared, 2, 4));
    QVERIFY(storeFrames(*prepared, 7, 9));
    const QString folder = prepared->folderPath();

    SavedClip reopened;
    QVERIFY(reopened.openFolder(folder));
    QCOMPARE(reopened.segments(), (QList<ClipSegment>{{2, 4}, {7, 9}}));
    QCOMPARE(reopened.downloadedFrames(), 6u);
    QVERIFY(!reopened.isComplete());
    QVERIFY(reopened.description().startsWith("Downloading Clip #3"));
    QCOMPARE(reopened.frameData(8)[100], uchar(8));
    QVERIFY(!reopened.hasCalibration()); // calib.bin exists, but nothing was stored in it

    // Finishing the download marks the folder finished.
    QVERIFY(storeFrames(*prepared, 0, 1));
    QVERIFY(storeFrames(*prepared, 5, 6));
    QVERIFY(readFile(folder + "/clip.xml").contains("<Download_Finished>1</Download_Finished>"));
    SavedClip finished;
    QVERIFY(finished.openFolder(folder));
    QVERIFY(finished.isComplete());
    QVERIFY(!finished.description().startsWith("Downloading"));
}

void TestSavedClip::presentFramesStopWhereTheFileEnds()
{
    QTemporaryDir dir;
    const auto prepared = preparedClip(dir.path());
    QVERIFY(storeFrames(*prepared, 0, 9));
    const QString folder = prepared->folderPath();
    QVERIFY(QFile::resize(folder + "/0.bin", 64 * 32 * 6 + 100));

    SavedClip reopened;
    QVERIFY(reopened.openFolder(folder));
    QCOMPARE(reopened.segments(), (QList<ClipSegment>{{0, 5}}));
    QVERIFY(reopened.frameData(5));
    QVERIFY(!reopened.frameData(6));
}

void TestSavedClip::explicitFrameSizeSurvivesReopening()
{
    QTemporaryDir dir;
    kvx::ClipInfoPacket::clipInfo info = sampleClip(2, 4, 64, 32);
    info.flags = 64;
    info.frameBytes = 3000;
    SavedClip clip(info);
    QVERIFY(clip.prepareDownload(dir.path(), {}));
    QCOMPARE(clip.bytesPerFrame(), 3000);
    QCOMPARE(QFileInfo(clip.folderPath() + "/0.bin").size(), qint64(12000));
    QVERIFY(storeFrames(clip, 0, 3));

    SavedClip reopened;
    QVERIFY(reopened.openFolder(clip.folderPath()));
    QCOMPARE(reopened.bytesPerFrame(), 3000);
    QVERIFY(reopened.isComplete());
    QCOMPARE(reopened.frameData(3) - reopened.frameData(0), 9000);
    QCOMPARE(reopened.frameData(3)[2999], uchar(3));
}

void TestSavedClip::descriptionTexts()
{
    kvx::ClipInfoPacket::clipInfo info = sampleClip(2, 1000, 2048, 1080);
    info.width = 1920;
    SavedClip clip(info);
    clip.addRange({0, 994}); // 99.5 % rounds up to 100
    QCOMPARE(clip.description(),
             QString("Clip #3 ''\nCamera: 29-0118-0001 (VLM HD)\n"
                     "Frames: 1000 - Recording time: 1.000 s\n"
                     "FPS: 1000 - Image resolution: 1920x1080"));
    clip.removeRange({994, 994});
    QVERIFY(clip.description().startsWith("Downloading Clip #3"));
    QCOMPARE(clip.infoLines().at(3), " Total recording time: 1 s");
    QCOMPARE(clip.infoLines().at(4), " FPS: 1000");

    info.clipNumber = 0;
    info.width = 3840;
    info.fps = 0.0f; // a recorder that reported no rate
    SavedClip uhd(info);
    QVERIFY(uhd.description().contains("Clip #1 ''\nCamera: 29-0118-0001 (VLM UHD)\n"));
    QVERIFY(uhd.description().contains("Recording time: 0.000 s\nFPS: 0 - Image resolution: 3840x1080"));
    QCOMPARE(uhd.infoLines().at(5), " Image resolution: 3840x1080 (UHD)");
}

void TestSavedClip::trims()
{
    SavedClip clip(sampleClip(2, 50, 64, 32));
    QSignalSpy trimmed(&clip, &SavedClip::trimUpdated);
    clip.renderState().setChanged(false);
    clip.setUpperTrim(40);
    clip.setLowerTrim(5);
    QCOMPARE(trimmed.count(), 2);
    QCOMPARE(trimmed.last().at(0).toInt(), 5);
    QCOMPARE(trimmed.last().at(1).toInt(), 40);
    QCOMPARE(clip.renderState().value("LowerTrim").toLongLong(), 5);
    QCOMPARE(clip.renderState().value("UpperTrim").toLongLong(), 40);
    QVERIFY(clip.renderState().isChanged());
}

void TestSavedClip::savedTrimsSurviveReopening_data()
{
    QTest::addColumn<qint64>("lower");
    QTest::addColumn<qint64>("upper");
    QTest::addColumn<int>("reopenedLower");
    QTest::addColumn<int>("reopenedUpper");
    QTest::newRow("both set") << qint64(5) << qint64(40) << 5 << 40;
    QTest::newRow("only the lower one set") << qint64(12) << qint64(-1) << 12 << 49;
    QTest::newRow("only the upper one set") << qint64(-1) << qint64(30) << 0 << 30;
    QTest::newRow("a single frame") << qint64(49) << qint64(49) << 49 << 49;
    QTest::newRow("upper beyond the clip") << qint64(5) << qint64(50) << 5 << 49;
    QTest::newRow("out of order") << qint64(30) << qint64(10) << 0 << 49;
    QTest::newRow("none set") << qint64(-1) << qint64(-1) << 0 << 49;
}

void TestSavedClip::savedTrimsSurviveReopening()
{
    QFETCH(qint64, lower);
    QFETCH(qint64, upper);
    QTemporaryDir dir;
    const auto clip = preparedClip(dir.path(), 50);
    QVERIFY(clip);
    clip->renderState().setValue("LowerTrim", lower);
    clip->renderState().setValue("UpperTrim", upper);
    QVERIFY(clip->saveRenderState());

    SavedClip reopened;
    QVERIFY(reopened.openFolder(clip->folderPath()));
    QTEST(reopened.lowerTrim(), "reopenedLower");
    QTEST(reopened.upperTrim(), "reopenedUpper");
}

void TestSavedClip::listShowsClipFoldersOnly()
{
    QTemporaryDir dir;
    const auto a = preparedClip(dir.path());
    const auto b = preparedClip(dir.path(), 20);
    QVERIFY(a && b);
    // Not clip folders: one without its render state, a plain folder, a file, a link to a clip.
    const auto incomplete = preparedClip(dir.filePath("elsewhere"));
    const QString moved = dir.filePath("2000-01-01_00.00.00");
    QVERIFY(QDir().rename(incomplete->folderPath(), moved));
    QVERIFY(QFile::remove(moved + "/renderInfo.xml"));
    QVERIFY(QDir(dir.path()).mkdir("notes"));
    QVERIFY(writeFile(dir.filePath("readme.txt"), "x"));
    QVERIFY(QFile::link(a->folderPath(), dir.filePath("link")));

    SavedClipList list;
    list.rebuildFromFolder(dir.path());
    QCOMPARE(list.rowCount(), 2);
    QCOMPARE(list.clipAt(0)->folderPath(), a->folderPath());
    QCOMPARE(list.clipAt(1)->totalFrames, quint64(20));
    QCOMPARE(list.clipAt(0)->row(), 0);
    QCOMPARE(list.clipAt(1)->row(), 1);

    const QModelIndex first = list.index(0);
    QCOMPARE(list.data(first, Qt::DisplayRole).toString(),
             QString("Downloading Clip #3 '%1'\nCamera: 29-0118-0001 (VLM HD)\n"
                     "Frames: 10 - Recording time: 0.010 s\nFPS: 1000 - Image resolution: 64x32\n"
                     "Incomplete: 0 of 10 frames")
                 .arg(a->folderName()));
    const QPixmap icon = list.data(first, Qt::DecorationRole).value<QPixmap>();
    QVERIFY(!icon.isNull());
    QCOMPARE(icon.height(), 64);
    QVERIFY(!list.data(first, Qt::UserRole + 7).isValid());

    // A row follows its clip's progress.
    QSignalSpy changed(&list, &QAbstractItemModel::dataChanged);
    list.clipAt(1)->addRange({0, 19});
    QVERIFY(changed.count() >= 1);
    QCOMPARE(changed.last().at(0).toModelIndex().row(), 1);
    QVERIFY(list.data(list.index(1)).toString().startsWith("Clip #3"));
}

void TestSavedClip::rebuildKeepsOpenClips()
{
    QTemporaryDir dir;
    const auto a = preparedClip(dir.path());
    QVERIFY(a);
    SavedClipList list;
    list.append(a);
    const auto appended = list.appendClip(sampleClip(2, 3, 64, 32));
    QCOMPARE(list.rowCount(), 2);
    QCOMPARE(appended->row(), 1);

    list.rebuildFromFolder(dir.path());
    QCOMPARE(list.rowCount(), 1);
    QCOMPARE(list.clipAt(0), a); // the downloading clip keeps its object
    QCOMPARE(appended->row(), -1);

    // The same clip downloaded again into a second folder is a second row, not a copy of the first.
    const auto again = preparedClip(dir.path());
    list.rebuildFromFolder(dir.path());
    QCOMPARE(list.rowCount(), 2);
    QCOMPARE(list.clipAt(0), a);
    QVERIFY(list.clipAt(1) != a);
    QCOMPARE(list.clipAt(1)->folderPath(), again->folderPath());

    list.rebuildFromFolder(dir.filePath("none"));
    QCOMPARE(list.rowCount(), 0);
}

void TestSavedClip::deleteRemovesFolderAndRow()
{
    QTemporaryDir dir;
    const auto a = preparedClip(dir.path());
    SavedClipList list;
    list.rebuildFromFolder(dir.path());
    QCOMPARE(list.rowCount(), 1);
    const QString folder = list.clipAt(0)->folderPath();
    QVERIFY(list.deleteClip(0));
    QCOMPARE(list.rowCount(), 0);
    QVERIFY(!QFileInfo::exists(folder));
    QVERIFY(QFileInfo::exists(dir.path()));

    // A clip that has no folder deletes nothing, least of all the working folder.
    SavedClip unprepared(sampleClip(2, 1, 64, 32));
    QVERIFY(!unprepared.deleteFolder());
    QVERIFY(!list.deleteClip(5));
}

void TestSavedClip::thumbnailsComeFromTheRendererHandedIn()
{
    QTemporaryDir dir;
    const auto red = std::make_shared<RedThumbnails>();
    SavedClipList list;
    list.setThumbnailRenderer(red);
    const auto clip = list.appendClip(sampleClip(2, 4, 64, 32));
    QVERIFY(clip->prepareDownload(dir.path(), {}));
    QVERIFY(storeFrames(*clip, 2, 3));
    QVERIFY2(red->paths.isEmpty(), "drawn before the clip was complete");
    QVERIFY(storeFrames(*clip, 0, 1));
    const QString thumb = clip->folderPath() + "/thumb.tif";
    QCOMPARE(red->paths, QStringList{thumb});
    const QImage shown = list.data(list.index(0), Qt::DecorationRole).value<QPixmap>().toImage();
    QCOMPARE(shown.height(), 64);
    QCOMPARE(shown.pixelColor(shown.width() / 2, 32), QColor(Qt::red));

    // Reopened without its thumbnail, the folder gets a new one; without a renderer it does not.
    QVERIFY(QFile::remove(thumb));
    SavedClipList bare;
    bare.rebuildFromFolder(dir.path());
    QCOMPARE(bare.rowCount(), 1);
    QVERIFY(!QFileInfo::exists(thumb));
    list.rebuildFromFolder(dir.path());
    QCOMPARE(red->paths, QStringList({thumb, thumb}));
    QVERIFY(QFileInfo::exists(thumb));
}

// The list asks for the picture on every repaint: it must not read and scale "thumb.tif"
// each time, yet show a new one as soon as the file changes.
void TestSavedClip::thumbnailIsKeptUntilItsFileChanges()
{
    QTemporaryDir dir;
    const auto red = std::make_shared<RedThumbnails>();
    const auto clip = preparedClip(dir.path(), 2);
    QVERIFY(clip);
    const QPixmap standIn = clip->thumbnail(); // no file yet: the default clip picture
    QVERIFY(!standIn.isNull());
    QCOMPARE(clip->thumbnail().cacheKey(), standIn.cacheKey());

    clip->setThumbnailRenderer(red);
    QVERIFY(storeFrames(*clip, 0, 1));
    const QPixmap first = clip->thumbnail();
    QCOMPARE(middleOf(first), QColor(Qt::red));
    QCOMPARE(clip->thumbnail().cacheKey(), first.cacheKey());
    QCOMPARE(clip->thumbnail().cacheKey(), first.cacheKey());

    red->colour = Qt::blue;
    QVERIFY(clip->updateThumbnail());
    QCOMPARE(middleOf(clip->thumbnail()), QColor(Qt::blue));

    // Changed by someone else: a larger picture of another colour.
    QImage other(40, 20, QImage::Format_RGB32);
    other.fill(Qt::green);
    QVERIFY(other.save(clip->folderPath() + "/thumb.tif"));
    QCOMPARE(middleOf(clip->thumbnail()), QColor(Qt::green));
    QVERIFY(QFile::remove(clip->folderPath() + "/thumb.tif"));
    QCOMPARE(clip->thumbnail().toImage(), standIn.toImage());
}

QTEST_MAIN(TestSavedClip)
#include "tst_savedclip.moc"

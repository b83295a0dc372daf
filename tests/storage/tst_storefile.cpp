// The store path of frame blocks: direct writes of the aligned middle with page-cache heads and
// tails for frame sizes that are no multiple of a page, blocks written side by side, the
// mapping and the hash list seeing what direct writes put on the disk, a file system that
// refuses direct I/O, and a write cut short in the middle of its direct part.
#include "FileSizeLimit.h"
#include "PrivateMounts.h"
#include "SampleClips.h"
#include "TestFiles.h"
#include "storage/SavedClip.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

#include <cstring>

namespace {

QString refusingDisk; // a ramfs (no direct I/O) in this test's own mount namespace, or empty
QString whyNoRefusingDisk;

// Must run before any thread exists.
void mountRefusingDisk()
{
    whyNoRefusingDisk = privatemounts::enterOrWhyNot();
    if (whyNoRefusingDisk.isEmpty())
        refusingDisk = privatemounts::mount("ramfs", nullptr, &whyNoRefusingDisk);
}

// The build tree lies on a disk file system, where direct writes really bypass the page cache
// (unlike tmpfs, which takes them as ordinary writes).
QString diskTemplate()
{
    const QString build = qEnvironmentVariable("VLM_BINARY_DIR");
    return build.isEmpty() ? QString() : build + QStringLiteral("/storefile-XXXXXX");
}

bool acceptsDirectIo(const QString& folder)
{
    const QByteArray path = QFile::encodeName(folder + QStringLiteral("/probe"));
    const int descriptor = ::open(path.constData(), O_RDWR | O_CREAT | O_DIRECT, 0600);
    if (descriptor >= 0)
        ::close(descriptor);
    ::unlink(path.constData());
    return descriptor >= 0;
}

uchar pattern(qint64 fileOffset)
{
    return uchar((fileOffset * 13 + fileOffset / 4099) % 251);
}

// Stores every block without waiting for the one before, then waits for all of them.
bool storeTogether(SavedClip& clip, const QList<ClipSegment>& blocks)
{
    QSignalSpy progress(&clip, &SavedClip::clipDownloadProgress);
    const qint64 frameBytes = clip.bytesPerFrame();
    for (const ClipSegment& frames : blocks) {
        SavedClip::RAMBufferPtr buffer;
        if (!clip.allocateBuffer(frames, false, &buffer))
            return false;
        for (qint64 i = 0; i < buffer->size(); ++i)
            buffer->data()[i] = pattern(frames.first * frameBytes + i);
        if (!clip.storeFrames(buffer))
            return false;
    }
    while (progress.count() < blocks.size())
        if (!progress.wait(20000))
            return false;
    return true;
}

// The first offset in [from, to) whose byte is not the pattern, or -1.
qint64 firstWrongByte(const uchar* data, qint64 from, qint64 to)
{
    for (qint64 i = from; i < to; ++i)
        if (data[i] != pattern(i))
            return i;
    return -1;
}

int pageCacheNotices = 0;
QtMessageHandler defaultHandler = nullptr;

void countPageCacheNotices(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QStringLiteral("Direct I/O refused")))
        ++pageCacheNotices;
    defaultHandler(type, context, message);
}

} // namespace

class TestStoreFile : public QObject {
    Q_OBJECT
private slots:
    void unalignedFramesLandExactly_data();
    void unalignedFramesLandExactly();
    void refusingFileSystemGetsPageCacheWrites();
    void writeCutShortInItsDirectPart();
    void cleanupTestCase();
};

void TestStoreFile::unalignedFramesLandExactly_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QList<ClipSegment>>("blocks");
    // 2073600 bytes a frame: every block starts and ends inside a page.
    QTest::newRow("1920 x 1080") << 1920 << 1080 << QList<ClipSegment>{{4, 5}, {0, 1}, {2, 3}, {6, 6}};
    QTest::newRow("odd width") << 1001 << 30 << QList<ClipSegment>{{3, 9}, {0, 0}, {10, 11}, {1, 2}};
}

void TestStoreFile::unalignedFramesLandExactly()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QList<ClipSegment>, blocks);
    QTemporaryDir dir(diskTemplate());
    QVERIFY(dir.isValid());
    qint64 frames = 0;
    for (const ClipSegment& block : blocks)
        frames = std::max(frames, block.last + 1);
    SavedClip clip(sampleClip(2, quint64(frames), quint16(width), quint16(height)));
    QVERIFY(clip.prepareDownload(dir.path(), {}));

    // Reading the empty file through the mapping puts its pages into the page cache; direct
    // writes must not leave those behind.
    const qint64 fileBytes = clip.bytesPerFrame() * frames;
    QCOMPARE(clip.dataSize(), fileBytes);
    int zeros = 0;
    for (qint64 i = 0; i < fileBytes; i += 512)
        zeros += clip.frameData(0)[i] == 0;
    QCOMPARE(zeros, int((fileBytes + 511) / 512));

    QSignalSpy hashList(&clip, &SavedClip::hashListFinished);
    QVERIFY(storeTogether(clip, blocks));
    QVERIFY(clip.isComplete());
    QCOMPARE(clip.writesFramesDirect(), acceptsDirectIo(dir.path()));
    QCOMPARE(firstWrongByte(clip.frameData(0), 0, fileBytes), -1);
    const QByteArray onDisk = readFile(clip.folderPath() + "/0.bin");
    QCOMPARE(onDisk.size(), fileBytes);
    QCOMPARE(firstWrongByte(reinterpret_cast<const uchar*>(onDisk.constData()), 0, fileBytes), -1);

    // The hash list made from blocks finishing in any order, those ahead of the hashed part
    // read back past the page cache, names what the disk holds.
    SavedClip::RAMBufferPtr calibration;
    QVERIFY(clip.allocateBuffer({}, true, &calibration));
    std::memset(calibration->data(), 0x3c, size_t(calibration->size()));
    QVERIFY(clip.storeCalibration(calibration));
    calibration.reset();
    QVERIFY(hashList.wait(20000));
    QVERIFY2(hashList[0][0].toBool(), qPrintable(hashList[0][1].toString()));
    const FolderCheck check = clip.verifyFolder();
    QVERIFY2(check.intact(), qPrintable(check.report()));
    QCOMPARE(check.filesChecked, 3);
    QCOMPARE(clip.receiveMemory().inUse(), 0);
}

void TestStoreFile::refusingFileSystemGetsPageCacheWrites()
{
    if (refusingDisk.isEmpty())
        QSKIP(qPrintable("no private ramfs here: " + whyNoRefusingDisk));
    QVERIFY(!acceptsDirectIo(refusingDisk));
    pageCacheNotices = 0;
    defaultHandler = qInstallMessageHandler(countPageCacheNotices);

    SavedClip clip(sampleClip(2, 12, 1001, 30));
    QVERIFY(clip.prepareDownload(refusingDisk, {}));
    QSignalSpy calibrated(&clip, &DownloadableClip::calibrationFileFinished);
    SavedClip::RAMBufferPtr calibration;
    QVERIFY(clip.allocateBuffer({}, true, &calibration));
    std::memset(calibration->data(), 0x5a, size_t(calibration->size()));
    QVERIFY(clip.storeCalibration(calibration));
    calibration.reset();
    QVERIFY(calibrated.wait(5000));
    QVERIFY(storeTogether(clip, {{0, 5}, {6, 11}}));
    qInstallMessageHandler(defaultHandler);

    QVERIFY(clip.isComplete());
    QVERIFY(!clip.writesFramesDirect());
    QCOMPARE(firstWrongByte(clip.frameData(0), 0, clip.dataSize()), -1);
    // Said once for the file system, not for each file or block.
    QCOMPARE(pageCacheNotices, 1);
}

void TestStoreFile::writeCutShortInItsDirectPart()
{
    QTemporaryDir dir(diskTemplate());
    QVERIFY(dir.isValid());
    const qint64 frameBytes = 1920 * 1080;
    SavedClip clip(sampleClip(2, 6, 1920, 1080));
    QVERIFY(clip.prepareDownload(dir.path(), {}));
    QSignalSpy failed(&clip, &SavedClip::framesStoreFailed);
    QVERIFY(storeTogether(clip, {{0, 1}}));
    {
        // The file may not grow past the middle of frame 3: the write stops within the part
        // of block 2-4 that goes to the disk directly.
        FileSizeLimit limit(rlim_t(3 * frameBytes + frameBytes / 2 + 100));
        SavedClip::RAMBufferPtr buffer;
        QVERIFY(clip.allocateBuffer({2, 4}, false, &buffer));
        std::memset(buffer->data(), 0x77, size_t(buffer->size()));
        QVERIFY(clip.storeFrames(buffer));
        buffer.reset();
        QVERIFY(failed.wait(20000));
    }
    QCOMPARE(failed.at(0).at(0).value<ClipSegment>(), (ClipSegment{2, 4}));
    QCOMPARE(clip.segments(), (QList<ClipSegment>{{0, 1}}));
    QVERIFY(readFile(clip.folderPath() + "/clip.xml").contains("<Present_Frames>0-1</Present_Frames>"));
    // What was stored before is untouched, up to the last byte of frame 1.
    QCOMPARE(firstWrongByte(clip.frameData(0), 0, 2 * frameBytes), -1);

    // Given another chance the frames store fine, still directly.
    QVERIFY(storeTogether(clip, {{2, 4}, {5, 5}}));
    QVERIFY(clip.isComplete());
    QCOMPARE(clip.writesFramesDirect(), acceptsDirectIo(dir.path()));
    QCOMPARE(firstWrongByte(clip.frameData(0), 0, clip.dataSize()), -1);
}

void TestStoreFile::cleanupTestCase()
{
    privatemounts::unmount(refusingDisk);
}

int main(int argc, char** argv)
{
    mountRefusingDisk();
    QCoreApplication app(argc, argv);
    TestStoreFile test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_storefile.moc"

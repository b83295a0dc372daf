// A download into a really full file system: a small tmpfs mounted in this test's own mount
// namespace, so nothing of it is visible outside this process.
#include "PrivateMounts.h"
#include "SampleClips.h"
#include "TestFiles.h"
#include "storage/SavedClip.h"

#include <QDir>
#include <QSignalSpy>
#include <QStorageInfo>
#include <QTest>

namespace {

QString smallDisk; // mount point of a 2 MiB tmpfs, empty when it could not be made
QString secondSmallDisk;
QString whyNoSmallDisk;

uchar pattern(qint64 fileOffset)
{
    return uchar(fileOffset * 7 % 251);
}

// Must run before any thread exists.
void mountSmallDisks()
{
    whyNoSmallDisk = privatemounts::enterOrWhyNot();
    if (!whyNoSmallDisk.isEmpty())
        return;
    smallDisk = privatemounts::mount("tmpfs", "size=2m", &whyNoSmallDisk);
    secondSmallDisk = privatemounts::mount("tmpfs", "size=2m", &whyNoSmallDisk);
}

} // namespace

class TestFullDisk : public QObject {
    Q_OBJECT
private slots:
    void fullDiskLeavesFramesMissing();
    void fullDiskKeepsTheNeighbourOfAnUnalignedBlock();
    void cleanupTestCase();
};

void TestFullDisk::fullDiskLeavesFramesMissing()
{
    if (smallDisk.isEmpty())
        QSKIP(qPrintable("no private tmpfs here: " + whyNoSmallDisk));

    // 64 frames of 64 KiB: a 4 MiB frame file, sparse until written, on a 2 MiB disk.
    SavedClip clip(sampleClip(2, 64, 256, 256));
    QVERIFY(clip.prepareDownload(smallDisk, {}));
    QSignalSpy progress(&clip, &SavedClip::clipDownloadProgress);
    QSignalSpy failed(&clip, &SavedClip::framesStoreFailed);

    SavedClip::RAMBufferPtr first;
    QVERIFY(clip.allocateBuffer({0, 15}, false, &first));
    std::memset(first->data(), 0x11, size_t(first->size()));
    QVERIFY(clip.storeFrames(first));
    first.reset();
    QVERIFY(progress.wait(5000));

    SavedClip::RAMBufferPtr second;
    QVERIFY(clip.allocateBuffer({16, 47}, false, &second));
    std::memset(second->data(), 0x22, size_t(second->size()));
    QVERIFY(clip.storeFrames(second));
    second.reset();
    QVERIFY(failed.wait(5000));

    QCOMPARE(progress.count(), 1);
    QCOMPARE(failed.at(0).at(0).value<ClipSegment>(), (ClipSegment{16, 47}));
    QCOMPARE(clip.segments(), (QList<ClipSegment>{{0, 15}}));
    QVERIFY(!clip.isComplete());
    QCOMPARE(clip.receiveMemory().inUse(), 0);

    // The description on disk still tells the truth, and a reopened folder agrees. Rewriting it
    // on the full disk fails without replacing it.
    QVERIFY(!clip.writeClipXml());
    QVERIFY(!clip.saveRenderState());
    const QByteArray xml = readFile(clip.folderPath() + "/clip.xml");
    QVERIFY(xml.contains("<Present_Frames>0-15</Present_Frames>"));
    QVERIFY(xml.contains("<Download_Finished>0</Download_Finished>"));
    SavedClip reopened;
    QVERIFY(reopened.openFolder(clip.folderPath()));
    QCOMPARE(reopened.segments(), (QList<ClipSegment>{{0, 15}}));
    QCOMPARE(reopened.frameData(15)[0], uchar(0x11));

    // A download that cannot even write its description leaves no half-made folder behind.
    SavedClip another(sampleClip(2, 4, 16, 16));
    QCOMPARE(QStorageInfo(smallDisk).bytesAvailable(), 0);
    QVERIFY(!another.prepareDownload(smallDisk, {}));
    QCOMPARE(QDir(smallDisk).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{clip.folderName()});
    QVERIFY(another.folderPath().isEmpty());
}

void TestFullDisk::fullDiskKeepsTheNeighbourOfAnUnalignedBlock()
{
    if (secondSmallDisk.isEmpty())
        QSKIP(qPrintable("no private tmpfs here: " + whyNoSmallDisk));

    // Frames of 66066 bytes (no multiple of a page): a block that does not fit starts in the
    // last page of the block stored before it, and must leave that block whole.
    SavedClip clip(sampleClip(2, 48, 1001, 66));
    const qint64 frameBytes = clip.bytesPerFrame();
    QVERIFY(clip.prepareDownload(secondSmallDisk, {}));
    QSignalSpy progress(&clip, &SavedClip::clipDownloadProgress);
    QSignalSpy failed(&clip, &SavedClip::framesStoreFailed);
    for (const ClipSegment& frames : {ClipSegment{0, 9}, ClipSegment{10, 39}}) {
        SavedClip::RAMBufferPtr buffer;
        QVERIFY(clip.allocateBuffer(frames, false, &buffer));
        for (qint64 i = 0; i < buffer->size(); ++i)
            buffer->data()[i] = pattern(frames.first * frameBytes + i);
        QVERIFY(clip.storeFrames(buffer));
        buffer.reset();
        QVERIFY(frames.first == 0 ? progress.wait(5000) : failed.wait(5000));
    }

    QCOMPARE(failed.at(0).at(0).value<ClipSegment>(), (ClipSegment{10, 39}));
    QCOMPARE(clip.segments(), (QList<ClipSegment>{{0, 9}}));
    QVERIFY(readFile(clip.folderPath() + "/clip.xml").contains("<Present_Frames>0-9</Present_Frames>"));
    SavedClip reopened;
    QVERIFY(reopened.openFolder(clip.folderPath()));
    QCOMPARE(reopened.segments(), (QList<ClipSegment>{{0, 9}}));
    for (qint64 i = 0; i < 10 * frameBytes; ++i)
        if (reopened.frameData(0)[i] != pattern(i))
            QFAIL(qPrintable(QString("stored byte %1 is wrong").arg(i)));
}

void TestFullDisk::cleanupTestCase()
{
    privatemounts::unmount(smallDisk);
    privatemounts::unmount(secondSmallDisk);
}

int main(int argc, char** argv)
{
    mountSmallDisks();
    QCoreApplication app(argc, argv);
    TestFullDisk test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_fulldisk.moc"

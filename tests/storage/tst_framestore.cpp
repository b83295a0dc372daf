#include "FileSizeLimit.h"
#include "SampleClips.h"
#include "TestFiles.h"
#include "storage/SavedClip.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <algorithm>

namespace {

constexpr int W = 64;
constexpr int H = 32;
constexpr int F = W * H;

SavedClip::RAMBufferPtr filledBlock(SavedClip& clip, qint64 first, qint64 last)
{
    SavedClip::RAMBufferPtr buffer;
    if (!clip.allocateBuffer({first, last}, false, &buffer))
        return nullptr;
    for (qint64 i = 0; i < buffer->size(); ++i)
        buffer->data()[i] = uchar((first * F + i) * 7 % 251);
    return buffer;
}

QByteArray calibrationBlock(const QList<qint16>& values)
{
    QByteArray bytes(values.size() * 2, '\0');
    for (qsizetype i = 0; i < values.size(); ++i)
        qToLittleEndian<qint16>(values[i], bytes.data() + 2 * i);
    return bytes;
}

} // namespace

class TestFrameStore : public QObject {
    Q_OBJECT
private slots:
    void receiveMemoryBoundsTheBlocksInFlight();
    void freedBlocksAreReusedWhileADownloadRuns();
    void largeFreshBlocksAreFaultedInUntouched();
    void allocateRefusesRangesOutsideTheClip();
    void blocksLandAtTheirOffsetsInAnyOrder();
    void calibrationIsStoredAndLoaded();
    void calibrationOfTheWrongSizeDoesNotLoad();
    void failedWriteLeavesFramesMissing();
};

void TestFrameStore::receiveMemoryBoundsTheBlocksInFlight()
{
    SavedClip clip(sampleClip(2, 100, W, H));
    clip.receiveMemory().setBudget(5 * F);
    SavedClip::RAMBufferPtr a;
    SavedClip::RAMBufferPtr b;
    SavedClip::RAMBufferPtr c;
    QVERIFY(clip.allocateBuffer({0, 2}, false, &a));
    QCOMPARE(a->size(), 3 * F);
    QCOMPARE(a->firstFrame(), 0);
    QCOMPARE(a->lastFrame(), 2);
    QVERIFY(clip.allocateBuffer({3, 4}, false, &b));
    QVERIFY(!clip.allocateBuffer({5, 5}, false, &c)); // full: the caller asks again later
    QVERIFY(!c);
    b.reset();
    QCOMPARE(clip.receiveMemory().inUse(), 3 * F);
    QVERIFY(clip.allocateBuffer({5, 6}, false, &c));
    a.reset();
    c.reset();
    QCOMPARE(clip.receiveMemory().inUse(), 0);

    // A block larger than the whole budget is granted only while nothing else is held.
    QVERIFY(clip.allocateBuffer({0, 9}, false, &a));
    QVERIFY(!clip.allocateBuffer({10, 10}, false, &b));
    a.reset();

    QVERIFY(clip.allocateBuffer({}, true, &c));
    QVERIFY(c->isCalibration());
    QCOMPARE(c->size(), qint64(W) * H * 8);

    QVERIFY(ReceiveMemory::defaultBudget() > 0);
    QVERIFY(ReceiveMemory::defaultBudget() <= qint64(1) << 30);
}

void TestFrameStore::freedBlocksAreReusedWhileADownloadRuns()
{
    SavedClip clip(sampleClip(2, 100, W, H));
    ReceiveMemory& memory = clip.receiveMemory();
    memory.setBudget(5 * F);
    SavedClip::RAMBufferPtr held;
    SavedClip::RAMBufferPtr block;
    QVERIFY(clip.allocateBuffer({0, 0}, false, &held));

    // A block of the same size gets the bytes of the one written before it.
    QVERIFY(clip.allocateBuffer({1, 3}, false, &block));
    const uchar* bytes = block->data();
    block.reset();
    QCOMPARE(memory.spareBytes(), 3 * F);
    QCOMPARE(memory.inUse(), F);
    // (Frame 5 lies at the same position within a page as frame 1, so the data do too.)
    QVERIFY(clip.allocateBuffer({5, 7}, false, &block));
    QCOMPARE(block->data(), bytes);
    QCOMPARE(memory.spareBytes(), 0);
    block.reset();

    // Spares count against the budget, and give way to a block of another size.
    SavedClip::RAMBufferPtr other;
    QVERIFY(clip.allocateBuffer({7, 10}, false, &other));
    QCOMPARE(memory.spareBytes(), 0);
    QCOMPARE(memory.inUse(), 5 * F);
    other.reset();

    // Once nothing is in flight, nothing is kept.
    held.reset();
    QCOMPARE(memory.inUse(), 0);
    QCOMPARE(memory.spareBytes(), 0);
}

void TestFrameStore::largeFreshBlocksAreFaultedInUntouched()
{
    // Large fresh blocks are faulted in on another thread: that must neither change what the
    // receive thread writes into them nor keep a block's memory after it is given back, even
    // when it is given back at once.
    SavedClip clip(sampleClip(2, 8, 4096, 2048));
    ReceiveMemory& memory = clip.receiveMemory();
    SavedClip::RAMBufferPtr block;
    for (int round = 0; round < 8; ++round) {
        QVERIFY(clip.allocateBuffer({0, 1}, false, &block));
        block.reset();
    }
    QVERIFY(clip.allocateBuffer({2, 3}, false, &block));
    std::memset(block->data(), 0x5a, size_t(block->size()));
    QTest::qWait(100);
    QVERIFY(std::all_of(block->data(), block->data() + block->size(), [](uchar b) { return b == 0x5a; }));
    block.reset();
    QTRY_COMPARE(memory.inUse(), 0);
    QCOMPARE(memory.spareBytes(), 0);
}

void TestFrameStore::allocateRefusesRangesOutsideTheClip()
{
    SavedClip clip(sampleClip(2, 10, W, H));
    SavedClip::RAMBufferPtr buffer;
    QVERIFY(!clip.allocateBuffer({8, 10}, false, &buffer));
    QVERIFY(!clip.allocateBuffer({-1, 2}, false, &buffer));
    QVERIFY(!clip.allocateBuffer({5, 4}, false, &buffer));
    QVERIFY(clip.allocateBuffer({9, 9}, false, &buffer));

    // A clip without a prepared folder cannot store anything.
    QVERIFY(!clip.storeFrames(buffer));
    QVERIFY(!clip.storeFrames(nullptr));
    QVERIFY(!clip.storeCalibration(buffer));

    SavedClip empty(sampleClip(2, 10, 0, 0));
    QVERIFY(!empty.allocateBuffer({0, 0}, false, &buffer));
    QVERIFY(!empty.allocateBuffer({}, true, &buffer));
}

void TestFrameStore::blocksLandAtTheirOffsetsInAnyOrder()
{
    QTemporaryDir dir;
    SavedClip clip(sampleClip(2, 10, W, H));
    QVERIFY(clip.prepareDownload(dir.path(), {}));
    QSignalSpy progress(&clip, &SavedClip::clipDownloadProgress);
    QSignalSpy segments(&clip, &DownloadableClip::segmentListUpdated);

    // One block after the other, so the order of completion is known.
    for (const ClipSegment& block : {ClipSegment{6, 9}, ClipSegment{0, 2}, ClipSegment{3, 5}}) {
        QVERIFY(clip.storeFrames(filledBlock(clip, block.first, block.last)));
        QVERIFY(progress.wait(5000));
    }

    // Progress counts the frames present, whatever order the blocks come in.
    QCOMPARE(progress.at(0).at(0).toInt(), 4);
    QCOMPARE(progress.at(1).at(0).toInt(), 7);
    QCOMPARE(progress.at(2).at(0).toInt(), 10);
    QCOMPARE(progress.at(2).at(1).toInt(), 10);
    QVERIFY(segments.count() >= 3);
    QVERIFY(clip.isComplete());
    QCOMPARE(clip.receiveMemory().inUse(), 0);
    QVERIFY(clip.bytesReceived() == quint64(10 * F));
    QVERIFY(clip.speed() >= 0.0);

    const QByteArray file = readFile(clip.folderPath() + "/0.bin");
    QCOMPARE(file.size(), 10 * F);
    for (qint64 i = 0; i < file.size(); ++i)
        if (uchar(file[i]) != uchar(i * 7 % 251))
            QFAIL(qPrintable(QString("byte %1 is wrong").arg(i)));
    QCOMPARE(std::memcmp(clip.frameData(4), file.constData() + 4 * F, F), 0);
    QVERIFY(readFile(clip.folderPath() + "/clip.xml").contains("<Download_Finished>1</Download_Finished>"));
}

void TestFrameStore::calibrationIsStoredAndLoaded()
{
    QTemporaryDir dir;
    SavedClip clip(sampleClip(2, 1, 2, 1));
    QVERIFY(clip.prepareDownload(dir.path(), {}));
    QByteArray data;
    int width = 0;
    int height = 0;
    QVERIFY(!clip.loadCalibration(&data, &width, &height)); // nothing stored yet

    SavedClip::RAMBufferPtr buffer;
    QVERIFY(clip.allocateBuffer({}, true, &buffer));
    const QByteArray block = calibrationBlock({0x0400, qint16(0xFC00), 0, 512, -1, 1, 2048, -2048});
    std::memcpy(buffer->data(), block.constData(), size_t(block.size()));
    QSignalSpy finished(&clip, &DownloadableClip::calibrationFileFinished);
    QVERIFY(clip.storeCalibration(buffer));
    QVERIFY(finished.wait(5000));
    QVERIFY(clip.hasCalibration());

    QVERIFY(clip.loadCalibration(&data, &width, &height));
    QCOMPARE(width, 2);
    QCOMPARE(height, 1);
    QCOMPARE(data, block);

    // A reopened folder knows its calibration arrived.
    SavedClip reopened;
    QVERIFY(reopened.openFolder(clip.folderPath()));
    QVERIFY(reopened.hasCalibration());
    QVERIFY(reopened.loadCalibration(&data, &width, &height));
}

void TestFrameStore::calibrationOfTheWrongSizeDoesNotLoad()
{
    QTemporaryDir dir;
    SavedClip clip(sampleClip(2, 1, 2048, 1080));
    QVERIFY(clip.prepareDownload(dir.path(), {}));
    const QString calib = clip.folderPath() + "/calib.bin";
    QCOMPARE(QFileInfo(calib).size(), qint64(17694720));
    QVERIFY(
        writeFile(clip.folderPath() + "/clip.xml",
                  readFile(clip.folderPath() + "/clip.xml").replace("<Calibration_Stored>0", "<Calibration_Stored>1")));

    QByteArray data;
    int width = 0;
    int height = 0;
    for (qint64 size : {qint64(17694719), qint64(17694721)}) {
        QVERIFY(QFile::resize(calib, size));
        SavedClip reopened;
        QVERIFY(reopened.openFolder(clip.folderPath()));
        QVERIFY(!reopened.loadCalibration(&data, &width, &height));
        QVERIFY(data.isEmpty());
    }
    QVERIFY(QFile::resize(calib, 17694720));
    SavedClip reopened;
    QVERIFY(reopened.openFolder(clip.folderPath()));
    QVERIFY(reopened.loadCalibration(&data, &width, &height));
    QCOMPARE(data.size(), 17694720);
}

void TestFrameStore::failedWriteLeavesFramesMissing()
{
    QTemporaryDir dir;
    SavedClip clip(sampleClip(2, 10, W, H));
    QVERIFY(clip.prepareDownload(dir.path(), {}));
    QSignalSpy progress(&clip, &SavedClip::clipDownloadProgress);
    QSignalSpy failed(&clip, &SavedClip::framesStoreFailed);
    QSignalSpy calibrationFailed(&clip, &SavedClip::calibrationStoreFailed);
    {
        // Writes past 5.5 frames fail, as on a disk that fills up there.
        FileSizeLimit limit(5 * F + F / 2);
        QVERIFY(clip.storeFrames(filledBlock(clip, 0, 2)));
        QVERIFY(progress.wait(5000));
        QVERIFY(clip.storeFrames(filledBlock(clip, 4, 7))); // breaks off in the middle
        QVERIFY(failed.wait(5000));
    }
    QCOMPARE(failed.count(), 1);
    QCOMPARE(failed.at(0).at(0).value<ClipSegment>(), (ClipSegment{4, 7}));
    QCOMPARE(clip.segments(), (QList<ClipSegment>{{0, 2}}));
    QCOMPARE(clip.receiveMemory().inUse(), 0);
    QVERIFY(readFile(clip.folderPath() + "/clip.xml").contains("<Present_Frames>0-2</Present_Frames>"));
    QCOMPARE(calibrationFailed.count(), 0);

    // Given another chance the same frames store fine.
    QVERIFY(clip.storeFrames(filledBlock(clip, 4, 7)));
    QVERIFY(progress.wait(5000));
    QCOMPARE(clip.segments(), (QList<ClipSegment>{{0, 2}, {4, 7}}));
}

QTEST_MAIN(TestFrameStore)
#include "tst_framestore.moc"

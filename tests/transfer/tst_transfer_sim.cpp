#include "sim/ClipContent.h"
#include "sim/transfer/TransferServer.h"
#include "transfer/ReceiveUDPThread.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

using kvx::ReceiveUDPEngine;
using kvx::ReceiveUDPThread;
using Request = ReceiveUDPEngine::TransferRequest;

Q_DECLARE_METATYPE(TransferFaults)

namespace {

constexpr quint32 ClipNumber = 5;
constexpr quint32 LargeClipNumber = 9; // 4096 x 2160: its calibration block spans two chunks
constexpr quint64 FirstFrame = 3;
constexpr quint64 Frames = 30; // 2048 x 1080: chunks of 20 and 10 frames, both slots in use

SimClip testClip()
{
    SimClip clip;
    clip.info.cameraSerial = 2901180001u;
    clip.info.totalFrames = 40;
    clip.info.clipUid = 0x0102030405060708ull;
    clip.info.fps = 1000.0f;
    clip.info.lineBytes = 2048;
    clip.info.lineCount = 1080;
    clip.info.width = 2048;
    clip.info.height = 1080;
    clip.info.clipNumber = ClipNumber;
    return clip;
}

SimClip largeClip()
{
    SimClip clip = testClip();
    clip.info.lineBytes = clip.info.width = 4096;
    clip.info.lineCount = clip.info.height = 2160;
    clip.info.clipNumber = LargeClipNumber;
    return clip;
}

std::optional<SimClip> findClip(quint32 number)
{
    if (number == ClipNumber)
        return testClip();
    if (number == LargeClipNumber)
        return largeClip();
    return std::nullopt;
}

// The recorder simulator on 127.0.0.1 and a receive thread fetching from it.
struct Link {
    explicit Link(const TransferFaults& faults)
        : server(findClip, QHostAddress::LocalHost, 0, faults), thread(nullptr, QHostAddress::LocalHost, 0)
    {
        QString error;
        started = server.start(&error);
        if (!started)
            qWarning() << "simulator:" << error;
        thread.setRecorderTransferPort(server.boundPort());
        thread.start();
    }
    ~Link()
    {
        thread.requestInterruption();
        thread.wait();
        server.stop();
    }
    TransferServer server;
    ReceiveUDPThread thread;
    bool started = false;
};

Request frameRequest(QByteArray& destination, quint64 first, quint64 frames)
{
    const SimClip clip = testClip();
    destination = QByteArray(qsizetype(frames * frameSize(clip)), '\0');
    Request r;
    r.destination = reinterpret_cast<uchar*>(destination.data());
    r.totalBytes = quint64(destination.size());
    r.lineBytes = clip.info.lineBytes;
    r.lineCount = clip.info.lineCount;
    r.clipNumber = ClipNumber;
    r.firstFrame = quint32(first);
    r.lastFrame = quint32(first + frames - 1);
    r.startTime.start();
    return r;
}

QByteArray expectedFrames(quint64 first, quint64 frames)
{
    const SimClip clip = testClip();
    QByteArray bytes(qsizetype(frames * frameSize(clip)), '\0');
    fillFrames(clip, first, frames, reinterpret_cast<uchar*>(bytes.data()));
    return bytes;
}

} // namespace

class TestTransferSim : public QObject {
    Q_OBJECT
private slots:
    void framesArriveByteExact_data()
    {
        QTest::addColumn<TransferFaults>("faults");
        QTest::newRow("clean") << TransferFaults{};
        TransferFaults f;
        f.lossPercent = 1;
        QTest::newRow("1 % loss") << f;
        f.lossPercent = 10;
        f.seed = 2;
        QTest::newRow("10 % loss") << f;
        f = {};
        f.burstPercent = 0.2;
        f.burstLength = 300;
        QTest::newRow("burst loss") << f;
        f = {};
        f.duplicatePercent = 5;
        f.reorderPercent = 5;
        QTest::newRow("duplication and reordering") << f;
        f = {};
        f.lossPercent = 2;
        f.dropControlPercent = 30;
        QTest::newRow("lost events and status replies") << f;
        f = {};
        f.delayMs = 30;
        QTest::newRow("slow answers, requests resent") << f;
        f = {};
        f.stopAfterPackets = 3000;
        f.resumeAfterMs = 150;
        QTest::newRow("recorder silent for a while") << f;
    }
    void framesArriveByteExact()
    {
        QFETCH(TransferFaults, faults);
        Link link(faults);
        QVERIFY(link.started);
        QSignalSpy completed(&link.thread, &ReceiveUDPThread::requestCompleted);
        QSignalSpy failed(&link.thread, &ReceiveUDPThread::requestFailed);

        QByteArray destination;
        link.thread.queueRequest(frameRequest(destination, FirstFrame, Frames));
        QTRY_COMPARE_WITH_TIMEOUT(completed.count(), 1, 20000);
        QCOMPARE(failed.count(), 0);
        QVERIFY(destination == expectedFrames(FirstFrame, Frames));
        const auto done = completed.at(0).at(0).value<Request>();
        QCOMPARE(done.firstFrame, quint32(FirstFrame));
        QVERIFY(done.rate > 0);
        if (faults.lossPercent > 0)
            QVERIFY(link.server.counters().packetsResent > 0);
    }

    void calibrationArrivesByteExact()
    {
        Link link(TransferFaults{});
        QVERIFY(link.started);
        QSignalSpy completed(&link.thread, &ReceiveUDPThread::requestCompleted);
        const SimClip clip = largeClip();
        const quint64 bytes = calibrationBytes(clip); // 70.8 MB: two chunks
        QVERIFY(bytes > ReceiveUDPEngine::ChunkPackets * ReceiveUDPEngine::DefaultPayloadSize);

        // Twice: the second fetch must start again at the head of the block.
        for (int round = 0; round < 2; ++round) {
            QByteArray destination(qsizetype(bytes), '\0');
            Request r;
            r.destination = reinterpret_cast<uchar*>(destination.data());
            r.totalBytes = bytes;
            r.flags = ReceiveUDPEngine::FlagPassedToRecorder | ReceiveUDPEngine::ByteMode;
            r.clipNumber = LargeClipNumber;
            r.startTime.start();
            link.thread.queueRequest(r);
            QTRY_COMPARE_WITH_TIMEOUT(completed.count(), round + 1, 20000);
            QByteArray expected(qsizetype(bytes), '\0');
            fillCalibration(clip, 0, expected.size(), reinterpret_cast<uchar*>(expected.data()));
            QVERIFY(destination == expected);
        }
    }

    // An error the recorder reports fails that request only; the next one still runs.
    void recorderErrorFailsTheRequestAndTheNextRuns()
    {
        TransferFaults faults;
        faults.errorAfterPackets = 500;
        faults.errorCode = TransferServer::FramesOutsideClip;
        Link link(faults);
        QVERIFY(link.started);
        QSignalSpy completed(&link.thread, &ReceiveUDPThread::requestCompleted);
        QSignalSpy failed(&link.thread, &ReceiveUDPThread::requestFailed);

        QByteArray first, second;
        link.thread.queueRequest(frameRequest(first, 0, 10));
        link.thread.queueRequest(frameRequest(second, 10, 10));
        QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, 10000);
        QCOMPARE(failed.at(0).at(0).value<Request>().firstFrame, 0u);
        QTRY_COMPARE_WITH_TIMEOUT(completed.count(), 1, 10000);
        QCOMPARE(completed.at(0).at(0).value<Request>().firstFrame, 10u);
        QVERIFY(second == expectedFrames(10, 10));
    }

    void unknownClipFails()
    {
        Link link(TransferFaults{});
        QVERIFY(link.started);
        QSignalSpy failed(&link.thread, &ReceiveUDPThread::requestFailed);
        QByteArray destination;
        Request r = frameRequest(destination, 0, 2);
        r.clipNumber = ClipNumber + 1;
        link.thread.queueRequest(r);
        QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, 5000);
        QCOMPARE(failed.at(0).at(0).value<Request>().clipNumber, ClipNumber + 1);
    }
};

QTEST_GUILESS_MAIN(TestTransferSim)
#include "tst_transfer_sim.moc"

#include "common/packets/TransferPackets.h"
#include "transfer/ReceiveUDPThread.h"

#include <QNetworkDatagram>
#include <QSignalSpy>
#include <QUdpSocket>
#include <QtTest>

#include <sys/resource.h>

#include <memory>

using kvx::ReceiveUDPEngine;
using kvx::ReceiveUDPThread;
using kvx::TxDataRequest;

namespace {

// The bind messages are debug output; the tests read them whatever the environment's rules.
QLoggingCategory::CategoryFilter defaultFilter = nullptr;
void transferDebugOn(QLoggingCategory* category)
{
    defaultFilter(category);
    if (qstrcmp(category->categoryName(), "vlm.transfer") == 0) // not lcTransfer(): it may be mid-construction
        category->setEnabled(QtDebugMsg, true);
}

// A port that is free now: bound, noted and let go.
quint16 freePort()
{
    QUdpSocket probe;
    probe.bind(QHostAddress::AnyIPv4, 0);
    return probe.localPort();
}

bool portIsFree(quint16 port)
{
    QUdpSocket probe;
    return probe.bind(QHostAddress::AnyIPv4, port, QAbstractSocket::DontShareAddress);
}

void stop(ReceiveUDPThread& thread)
{
    thread.requestInterruption();
    QVERIFY(thread.wait(5000));
}

double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

bool waitBound(const ReceiveUDPThread& thread)
{
    return QTest::qWaitFor([&] { return thread.boundPort() != 0; }, 5000);
}

} // namespace

class TestReceiveThread : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { defaultFilter = QLoggingCategory::installFilter(transferDebugOn); }

    void interruptedBeforeFirstStepReleasesItsSocket()
    {
        const quint16 port = freePort();
        ReceiveUDPThread thread(nullptr, QHostAddress::LocalHost, port);
        thread.start();
        thread.requestInterruption();
        QVERIFY(thread.wait(5000));
        QVERIFY(thread.isFinished());
        QVERIFY(portIsFree(port)); // the socket is gone, not just idle
    }

    // Meaningful in the sanitizer build only, where a leak or a use of freed memory on this path
    // fails the run; the plain build merely shows that it does not crash.
    void neverStartedThreadCleansUp()
    {
        auto thread = std::make_unique<ReceiveUDPThread>(nullptr, QHostAddress::LocalHost, freePort());
        thread.reset();
    }

    void takenPortMakesItBindTheNext()
    {
        QUdpSocket blocker;
        QVERIFY(blocker.bind(QHostAddress::AnyIPv4, 0, QAbstractSocket::DontShareAddress));
        const quint16 taken = blocker.localPort();
        QTest::ignoreMessage(QtDebugMsg,
                             QRegularExpression(QStringLiteral("^Failed to bind 127.0.0.1 on port %1$").arg(taken)));

        ReceiveUDPThread first(nullptr, QHostAddress::LocalHost, taken);
        first.start();
        QVERIFY(waitBound(first));
        QVERIFY(first.boundPort() > taken);

        // A second link of the same recorder asking for the same port lands elsewhere again.
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^Failed to bind 127.0.0.1 on port")));
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^Failed to bind 127.0.0.1 on port")));
        ReceiveUDPThread second(nullptr, QHostAddress::LocalHost, taken);
        second.start();
        QVERIFY(waitBound(second));
        QVERIFY(second.boundPort() > first.boundPort());
        stop(first);
        stop(second);
    }

    // On a two-core machine a spinning receive loop would starve the GUI thread: idle, and
    // waiting on a recorder that does not answer, the thread must sleep.
    void quietThreadLeavesTheCpu()
    {
        if (qEnvironmentVariableIsSet("VLM_SANITIZED"))
            QSKIP("wall-clock timing is not meaningful in the sanitizer build");
        QUdpSocket silentRecorder;
        QVERIFY(silentRecorder.bind(QHostAddress::LocalHost, 0));
        ReceiveUDPThread thread(nullptr, QHostAddress::LocalHost, freePort());
        thread.setRecorderTransferPort(silentRecorder.localPort());
        thread.start();
        QVERIFY(waitBound(thread));

        double before = processCpuSeconds();
        QThread::msleep(300);
        QVERIFY2(processCpuSeconds() - before < 0.1, "idle");

        QByteArray destination(1000, '\0');
        ReceiveUDPEngine::TransferRequest request;
        request.destination = reinterpret_cast<uchar*>(destination.data());
        request.totalBytes = 1000;
        request.flags = ReceiveUDPEngine::ByteMode;
        thread.queueRequest(request);
        before = processCpuSeconds();
        QThread::msleep(300);
        QVERIFY2(processCpuSeconds() - before < 0.1, "waiting for the recorder");
        QVERIFY(silentRecorder.hasPendingDatagrams()); // it did ask, and resent on time-outs
        stop(thread);
    }

    // One request through the thread: queued from this thread, data from a hand-played recorder,
    // the outcome back here as a queued signal carrying the request by value.
    void requestRunsOnTheThread()
    {
        QUdpSocket recorder;
        QVERIFY(recorder.bind(QHostAddress::LocalHost, 0));
        ReceiveUDPThread thread(nullptr, QHostAddress::LocalHost, freePort());
        thread.setRecorderTransferPort(recorder.localPort());
        QSignalSpy completed(&thread, &ReceiveUDPThread::requestCompleted);

        QByteArray destination(20000, '\0');
        ReceiveUDPEngine::TransferRequest request;
        request.destination = reinterpret_cast<uchar*>(destination.data());
        request.totalBytes = quint64(destination.size());
        request.flags = ReceiveUDPEngine::ByteMode;
        request.clipNumber = 21;
        request.startTime.start();
        thread.queueRequest(request); // before the socket is bound: picked up once running
        thread.start();

        QVERIFY(recorder.waitForReadyRead(5000));
        const QNetworkDatagram datagram = recorder.receiveDatagram();
        const auto asked = TxDataRequest::decode(datagram.data());
        QVERIFY(asked);
        QCOMPARE(asked->packetCount, 3u);
        QByteArray expected(20000, '\0');
        for (quint32 i = 0; i < 3; ++i) {
            const qsizetype n = std::min<qsizetype>(8952, 20000 - i * 8952);
            const QByteArray payload(n, char('a' + i));
            expected.replace(i * 8952, n, payload);
            QByteArray packet(kvx::TxPacketHead::Size, '\0');
            kvx::TxPacketHead{i, asked->chunkId}.encodeInto(reinterpret_cast<uchar*>(packet.data()));
            recorder.writeDatagram(packet + payload, datagram.senderAddress(), quint16(datagram.senderPort()));
        }
        QTRY_COMPARE_WITH_TIMEOUT(completed.count(), 1, 5000);
        const auto done = completed.at(0).at(0).value<ReceiveUDPEngine::TransferRequest>();
        QCOMPARE(done.clipNumber, 21u);
        QVERIFY(done.rate > 0);
        QCOMPARE(destination, expected);
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^Finished with rate: ")));
        thread.onRequestCompleted(done);
        stop(thread);
    }

    // Every port from the link's up to the last one is taken: the requests queued before the
    // thread gave up, and those queued after, fail instead of waiting for ever.
    void requestsFailWhenNoPortIsLeft()
    {
        std::vector<std::unique_ptr<QUdpSocket>> taken;
        for (quint32 port = 65530; port <= 0xFFFF; ++port) {
            taken.push_back(std::make_unique<QUdpSocket>());
            QVERIFY(taken.back()->bind(QHostAddress::AnyIPv4, quint16(port), QAbstractSocket::DontShareAddress));
        }
        ReceiveUDPThread thread(nullptr, QHostAddress::LocalHost, 65530);
        QSignalSpy failed(&thread, &ReceiveUDPThread::requestFailed);
        ReceiveUDPEngine::TransferRequest request;
        request.clipNumber = 1;
        thread.queueRequest(request);
        thread.start();
        QVERIFY(thread.wait(5000));
        QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, 5000);
        QVERIFY(!thread.failureReason().isEmpty());

        request.clipNumber = 2;
        thread.queueRequest(request);
        QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 2, 5000);
        QCOMPARE(failed.at(1).at(0).value<ReceiveUDPEngine::TransferRequest>().clipNumber, 2u);
    }
};

QTEST_GUILESS_MAIN(TestReceiveThread)
#include "tst_receive_thread.moc"

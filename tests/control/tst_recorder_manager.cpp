// The manager against 65 simulated recorders on loopback addresses (127.0.0.2 to 127.0.0.66),
// found through discovery and opened at once.
#include "EventLoopWatch.h"

#include "common/packets/PacketMagic.h"
#include "control/discovery/UdpEnumerator.h"
#include "control/manager/QMultiRecorderMgr.h"
#include "sim/SimHost.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

const QHostAddress Loopback(QStringLiteral("127.0.0.1"));
constexpr int Recorders = 65;

QHostAddress recorderAddress(int k)
{
    return QHostAddress(quint32(0x7F000002 + k));
}

bool sanitized()
{
    return qEnvironmentVariableIsSet("VLM_SANITIZED");
}

} // namespace

class TestRecorderManager : public QObject {
    Q_OBJECT

    std::unique_ptr<SimHost> sim_;

    void startSimulator(int count)
    {
        SimConfig config;
        config.clipListIntervalMs = 60000;
        for (int k = 0; k < count; ++k) {
            SimRecorderConfig r;
            r.recorderId = 2180002 + quint64(k);
            r.links = {SimLinkConfig{recorderAddress(k), 1, false, 9000, 4353}};
            config.recorders.append(r);
        }
        sim_ = std::make_unique<SimHost>(config);
        QString error;
        QVERIFY2(sim_->start(&error), qPrintable(error));
    }

    // Discovery on the loopback adapter: every recorder answers the limited broadcast.
    void discover(QMultiRecorderMgr& manager, int expected)
    {
        UdpEnumerator* udp = manager.udpDiscovery();
        udp->startOnAdapter(Loopback, QHostAddress(QStringLiteral("255.0.0.0")));
        QCOMPARE(udp->boundPorts(), QList<quint16>{UdpEnumerator::FirstPort});
        udp->scan();
        QTRY_COMPARE(udp->count(), expected);
    }

    QList<int> firstIndexes(int n)
    {
        QList<int> indexes;
        for (int i = 0; i < n; ++i)
            indexes.append(i);
        return indexes;
    }

private slots:
    void cleanup() { sim_.reset(); }

    void sixtyFourRecordersAtOnceAndNotOneMore()
    {
        startSimulator(Recorders);
        QMultiRecorderMgr manager;
        discover(manager, Recorders);
        QVERIFY(!manager.openRecorders(firstIndexes(Recorders), false));
        QCOMPARE(manager.count(), 0);

        // Opening 64 must not freeze the loop: the greetings and queries are queued per link.
        const EventLoopWatch watch(10);
        QSignalSpy timedOut(&manager, &QMultiRecorderMgr::openTimedOut);
        QVERIFY(manager.openRecorders(firstIndexes(QMultiRecorderMgr::MaxLinks), false));
        QCOMPARE(manager.count(), QMultiRecorderMgr::MaxLinks);
        if (!sanitized())
            QVERIFY2(watch.elapsedMs() < 200, qPrintable(QString::number(watch.elapsedMs())));

        auto allAnswered = [&] {
            for (int i = 0; i < manager.count(); ++i) {
                const BaseRecInterface* link = manager.link(i);
                if (!link->isConnected() || !link->records().genlockWord || !link->records().basicInfo
                    || !link->records().outputState)
                    return false;
            }
            return true;
        };
        QTRY_VERIFY_WITH_TIMEOUT(allAnswered(), 10000);
        if (!sanitized())
            QVERIFY2(watch.longestGapMs() < 150, qPrintable(QString::number(watch.longestGapMs())));
        QCOMPARE(manager.link(63)->records().basicInfo->serialNumber, 2180002u + 63u);
        QTest::qWait(QMultiRecorderMgr::OpenAnswerMs - int(watch.elapsedMs()) + 200);
        QCOMPARE(timedOut.size(), 0);

        // Closing tells every recorder to stop sending.
        manager.closeRecorders(true);
        for (int k = 0; k < QMultiRecorderMgr::MaxLinks; ++k)
            QTRY_VERIFY(sim_->recorder(k).control().subscribers().isEmpty());
        QVERIFY(sim_->recorder(64).control().subscribers().isEmpty()); // never opened
    }

    void silentRecordersAreReported()
    {
        startSimulator(2);
        QMultiRecorderMgr manager;
        discover(manager, 2);
        sim_.reset(); // the recorders vanish after discovery
        QSignalSpy timedOut(&manager, &QMultiRecorderMgr::openTimedOut);
        QVERIFY(manager.openRecorders({1, 0}, false));
        QVERIFY(timedOut.wait(QMultiRecorderMgr::OpenAnswerMs + 1000));
        QCOMPARE(timedOut[0][0].value<QList<int>>(), (QList<int>{0, 1}));
        QCOMPARE(manager.link(0)->statusText(), QStringLiteral("Ethernet: Not connected"));
    }

    // After working with the third of three, reopening one must not leave the current index
    // pointing past the table: commands and status would all be dropped.
    void reopeningStartsAtTheFirstRecorder()
    {
        startSimulator(3);
        QMultiRecorderMgr manager;
        discover(manager, 3);
        QVERIFY(manager.openRecorders({0, 1, 2}, false));
        manager.selectNext();
        manager.selectNext();
        QCOMPARE(manager.currentIndex(), 2);
        QVERIFY(manager.openRecorders({1}, false));
        QCOMPARE(manager.currentIndex(), 0);
        QSignalSpy changes(&manager, &QMultiRecorderMgr::changeRecorderStatus);
        QTRY_VERIFY(manager.link() && manager.link()->isConnected());
        QTRY_VERIFY(!changes.isEmpty());
        QCOMPARE(changes[0][0].toInt(), 0);
        manager.sendCommand(QStringLiteral("#ss$"), QMultiRecorderMgr::Target::Current);
        const quint64 id = manager.udpDiscovery()->recorderAt(1)->info.recorderId;
        const int k = int(id - 2180002);
        QTRY_VERIFY(sim_->recorder(k).control().state().recording);
    }
};

QTEST_GUILESS_MAIN(TestRecorderManager)
#include "tst_recorder_manager.moc"

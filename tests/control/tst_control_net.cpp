// The control program's recorder side against velmor-sim across the test network: three
// recorders (10.77.41.2 to .4) on one simulator, found by broadcast from the host side
// (10.77.41.1) and driven through the manager. The simulator's log shows what arrived.
#include "SimArrivals.h"
#include "SimulatorProcess.h"

#include "common/catalogue/ClipInfoProcessor.h"
#include "control/discovery/UdpEnumerator.h"
#include "control/link/UdpInterface.h"
#include "control/manager/QMultiRecorderMgr.h"
#include "control/manager/RecordUpdate.h"
#include "control/manager/RecorderActions.h"

#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QSignalSpy>
#include <QUdpSocket>
#include <QtTest>

namespace {

const QString HostSide = "10.77.41.1";
const QStringList Links = {"10.77.41.2", "10.77.41.3", "10.77.41.4"};

QJsonObject recorder(const QString& id, const QString& address, int linkCode, const QJsonArray& clips,
                     const QString& genlockWord)
{
    QJsonObject r = SimulatorProcess::recorder(id, address, linkCode, clips);
    r.insert("genlockWord", genlockWord);
    r.insert("cameraSerial", 2901180001.0 + id.toDouble() - 2180002);
    return r;
}

} // namespace

class TestControlNet : public QObject {
    Q_OBJECT

    SimulatorProcess sim_;
    QMultiRecorderMgr manager_;
    RecorderActions actions_{manager_};

    int discoveredIndexOf(const QString& address)
    {
        UdpEnumerator* udp = manager_.udpDiscovery();
        for (int i = 0; i < udp->count(); ++i)
            if (udp->recorderAt(i)->recorderAddress.toString() == address)
                return i;
        return -1;
    }
    // Arrivals at a link since a number of earlier ones.
    QStringList newArrivals(const QString& link, qsizetype since, bool bytes = false)
    {
        return arrivals(sim_, link, bytes).mid(since);
    }

private slots:
    void initTestCase()
    {
        const QJsonArray clips{SimulatorProcess::clip(0, 101), SimulatorProcess::clip(1, 1),
                               SimulatorProcess::clip(2, 240)};
        QVERIFY2(
            sim_.start({recorder("2180002", Links[0], 1, clips, "0x20"), recorder("2180003", Links[1], 1, {}, "0x23"),
                        recorder("2180004", Links[2], 0, {}, "0xB0")}),
            qPrintable(sim_.error()));
    }

    // One socket per adapter from port 45056 on; a taken port moves the search up.
    void discoveryPerAdapterFromTheFirstFreePort()
    {
        QUdpSocket blocker;
        QVERIFY(blocker.bind(QHostAddress(HostSide), UdpEnumerator::FirstPort, QUdpSocket::DontShareAddress));
        UdpEnumerator* udp = manager_.udpDiscovery();
        udp->startOnAllAdapters();
        QCOMPARE(udp->boundPorts(), QList<quint16>{UdpEnumerator::FirstPort + 1});
        udp->scan();
        QTRY_COMPARE(udp->count(), 3);
        const QList<QJsonObject> requests = sim_.received("DiscoveryRequest");
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests[0].value("replyPort").toInt(), UdpEnumerator::FirstPort + 1);
        QCOMPARE(requests[0].value("to").toString(), QString("255.255.255.255"));
        QCOMPARE(requests[0].value("bytes").toInt(), 8);
        for (const QString& link : Links) {
            const UdpRecInfo* record = udp->recorderAt(discoveredIndexOf(link));
            QVERIFY(record);
            QCOMPARE(record->localAddress, QHostAddress(HostSide));
            QCOMPARE(record->localNetmask, QHostAddress("255.255.255.0"));
            QCOMPARE(record->localPort, quint16(UdpEnumerator::FirstPort + 1));
            QVERIFY(record->onLocalSubnet());
        }
        QCOMPARE(udp->recorderAt(discoveredIndexOf(Links[2]))->info.ethernet.linkCode(), 0);
    }

    void openingThreeGreetsEachFromItsOwnPort()
    {
        QVERIFY(manager_.openRecorders(
            {discoveredIndexOf(Links[0]), discoveredIndexOf(Links[1]), discoveredIndexOf(Links[2])}, false));
        QCOMPARE(manager_.count(), 3);
        for (int i = 0; i < 3; ++i) {
            auto* link = qobject_cast<UdpInterface*>(manager_.link(i));
            QCOMPARE(link->linkIndex(), i);
            QCOMPARE(link->localPort(), quint16(9001 + i));
            QCOMPARE(link->remoteAddress(), QHostAddress(Links[i]));
        }
        for (int i = 0; i < 3; ++i)
            QTRY_VERIFY(!arrivals(sim_, Links[i]).isEmpty());
        for (int i = 0; i < 3; ++i)
            QCOMPARE(arrivals(sim_, Links[i]).first(), QString("#sh 10.77.41.1 %1$$").arg(9001 + i));
    }

    // Queries 7, 11, 18 and 19 spaced apart, then playback stops; the replies fill the records.
    void connectSequenceAfterTheFirstStatus()
    {
        const QStringList sequence{"p7/2", "p11/2", "p18/2", "p19/2", "#sr0$"};
        for (const QString& link : Links)
            QTRY_COMPARE(arrivals(sim_, link).mid(1, 5), sequence);
        QList<double> times;
        for (const QJsonObject& line : sim_.log())
            if (line.value("link").toString() == Links[1] && line.value("dir").toString() == "in")
                times.append(line.value("t").toDouble());
        // The simulator's reading may lag on a busy machine; back-to-back sends fail these.
        for (int i = 2; i < 6; ++i)
            QVERIFY2(times[i] - times[i - 1] >= 55 && times[i] - times[i - 1] < 400,
                     qPrintable(QString("gap %1: %2 ms").arg(i).arg(times[i] - times[i - 1])));
        for (int i = 0; i < 3; ++i) {
            QTRY_VERIFY(manager_.link(i)->records().basicInfo && manager_.link(i)->records().outputState);
            QCOMPARE(manager_.link(i)->records().basicInfo->serialNumber, 2180002u + quint32(i));
        }
        // A configuration byte without resolution is kept as 0xAF; a whole one as it came.
        QCOMPARE(*manager_.link(0)->records().genlockWord, 0xAFull);
        QCOMPARE(*manager_.link(1)->records().genlockWord, 0x23ull);
        QCOMPARE(manager_.link(0)->statusText(), QString("Ethernet: Connected to 10.77.41.2"));
    }

    void commandsArriveExactly()
    {
        const qsizetype before = arrivals(sim_, Links[0]).size();
        actions_.cameraRecorderParameter(RecorderActions::Shutter, 1234.5);
        actions_.seek(50, 101);
        actions_.seek(0, 1); // nothing
        actions_.playbackEvent(PlaybackControl::FastForward);
        actions_.playbackEvent(PlaybackControl::DoubleSpeed);
        actions_.playbackEvent(PlaybackControl::HalveSpeed);
        actions_.playbackEvent(PlaybackControl::Rewind);
        actions_.playbackEvent(PlaybackControl::Pause);
        manager_.playback().setSpeed(0.02);
        actions_.playbackEvent(PlaybackControl::HalveSpeed);
        manager_.playback().setSpeed(0.1);
        actions_.selectRoi(100, 200);
        actions_.paintParameter(1, 2, 77);
        actions_.paintParameter(1, 3, 77); // no such parameter: nothing
        const QStringList expected{"#st1234.50$",
                                   "#sp50$",
                                   "#sr0.10000$",
                                   "#sr0.20000$",
                                   "#sr0.10000$",
                                   "#sr-0.10000$",
                                   "#su$",
                                   "#su$",
                                   "0400cdab0901000004000000"
                                   "6400c800",
                                   "0400cdab0b0000004d000000"};
        QTRY_COMPARE(newArrivals(Links[0], before, true), expected);
        // Playback commands go to every connected recorder.
        QTRY_VERIFY(arrivals(sim_, Links[1]).contains("#sr-0.10000$"));
    }

    // Masks 1, 3, 5 and 7 as the recorder plays, loses its latest clip, or both.
    void statusChangesReachTheWindowAsMasks()
    {
        QSignalSpy changes(&manager_, &QMultiRecorderMgr::changeRecorderStatus);
        auto sawMask = [&](int mask) {
            for (const QList<QVariant>& c : std::as_const(changes))
                if (c[0].toInt() == 0 && c[1].toInt() == mask)
                    return true;
            return false;
        };
        BaseRecInterface* a = manager_.link(0);
        QTRY_VERIFY(sawMask(1));
        QTRY_COMPARE(manager_.clipList(0)->clips().size(), 3);
        a->sendCommand("#sl0$");
        a->sendCommand("#sr0.50000$");
        QTRY_VERIFY(sawMask(5));
        a->sendCommand("#cd$"); // clip 2 goes while clip 0 plays
        QTRY_VERIFY(sawMask(7));
        QTRY_COMPARE(manager_.clipList(0)->clips().size(), 2);
        QVERIFY(sawMask(8));
        a->sendCommand("#su$");
        QTest::qWait(300);
        changes.clear();
        a->sendCommand("#cd$");
        QTRY_VERIFY(sawMask(3));
        QVERIFY(!sawMask(5) && !sawMask(7));
    }

    // The record button's command goes to every connected recorder; the status flag follows.
    void recordingOnEveryRecorder()
    {
        manager_.startStopRecording();
        for (const QString& link : Links)
            QTRY_VERIFY(arrivals(sim_, link).endsWith("#ss$"));
        for (int i = 0; i < 3; ++i)
            QTRY_VERIFY(manager_.link(i)->records().status->has(StatusPacket::Recording));
        manager_.startStopRecording();
        for (int i = 0; i < 3; ++i)
            QTRY_VERIFY(!manager_.link(i)->records().status->has(StatusPacket::Recording));
        QTRY_COMPARE(manager_.clipList(0)->clips().size(), 2); // one new, after two deleted
    }

    // A recorder that falls silent is timed out 3000 ms after its last datagram and back with
    // its next one, without anything being reopened.
    void silentRecorderTimesOutAndComesBack()
    {
        QElapsedTimer clock;
        QStringList texts; // of the first recorder
        qint64 silentFor = -1;
        connect(&manager_, &QMultiRecorderMgr::changeConnectionStatus, this, [&](int index, const QString& text) {
            if (index != 0)
                return;
            texts.append(text);
            if (silentFor < 0)
                silentFor = clock.elapsed();
        });
        QSignalSpy packets(manager_.link(0), &BaseRecInterface::packetReceived);
        QVERIFY(packets.wait(1000));
        QVERIFY(sim_.pause());
        clock.start();
        QTRY_VERIFY_WITH_TIMEOUT(!texts.isEmpty(), 5000);
        QVERIFY(sim_.resume());
        QCOMPARE(texts.first(), QString("Ethernet: Disconnected (Time out)"));
        QVERIFY2(silentFor >= 2700 && silentFor <= 3300, qPrintable(QString::number(silentFor)));
        QTRY_COMPARE(texts.size(), 2);
        QCOMPARE(texts.last(), QString("Ethernet: Connected to 10.77.41.2"));
        QVERIFY(manager_.link(0)->isConnected());
        disconnect(&manager_, &QMultiRecorderMgr::changeConnectionStatus, this, nullptr);
    }

    // Closing with the stop word: each recorder hears it last and stops sending.
    void closingTellsTheRecordersFirst()
    {
        manager_.closeRecorders(true);
        QCOMPARE(manager_.count(), 0);
        for (const QString& link : Links)
            QTRY_COMPARE(arrivals(sim_, link, true).last(), QString("0400cdab0c010000080000000001000000000000"));
        QUdpSocket listener;
        QVERIFY(listener.bind(QHostAddress(HostSide), 9001, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint));
        QTest::qWait(200);
        while (listener.hasPendingDatagrams())
            listener.receiveDatagram(); // what was on its way
        QVERIFY(!listener.waitForReadyRead(500));
    }

    // The IP change is broadcast as its 24 bytes; the recorder moves and is found again there.
    void ipChangeAndRediscovery()
    {
        const int index = discoveredIndexOf(Links[2]);
        QVERIFY(manager_.changeIpAddress(index, QHostAddress("10.77.41.9")));
        QTRY_VERIFY(!sim_.received("broadcast-command").isEmpty());
        QCOMPARE(sim_.received("broadcast-command").first().value("hex").toString(),
                 QString("0400cdab020100000400000009294d0a"
                         "a443210000000000"));
        QTRY_COMPARE(sim_.received("address-changed").size(), 1);

        UdpEnumerator* udp = manager_.udpDiscovery();
        udp->startOnAllAdapters();
        udp->scan();
        QTRY_COMPARE(udp->count(), 3);
        QCOMPARE(discoveredIndexOf(Links[2]), -1);
        const UdpRecInfo* moved = udp->recorderAt(discoveredIndexOf("10.77.41.9"));
        QVERIFY(moved);
        QCOMPARE(moved->info.recorderId, 2180004ull);
        QCOMPARE(moved->info.ethernet.address(), QHostAddress("10.77.41.9"));
        QVERIFY(!manager_.changeIpAddress(99, QHostAddress("10.77.41.8")));
    }

    // Everything the program sent had the exact form the recorder takes.
    void nothingWasRefused() { QCOMPARE(sim_.received("refused").size(), 0); }
};

QTEST_GUILESS_MAIN(TestControlNet)
#include "tst_control_net.moc"

// The discovery socket against a stand-in recorder on 127.0.0.1. Runs in a private namespace
// that has only loopback, so the discovery ports are free and no broadcast leaves it.

#include "SampleClips.h"
#include "SampleRecorders.h"
#include "common/packets/ParameterPacket.h"
#include "download/RecorderDownloadManager.h"
#include "recorders/RecorderDiscovery.h"
#include "recorders/RecorderEthernetModel.h"
#include "recorders/RecorderView.h"

#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QUdpSocket>
#include <QtTest>

#include <atomic>
#include <future>
#include <mutex>
#include <thread>

namespace {

// A recorder's command port: records what the clips manager sends it and when it arrives. It
// reads on a thread of its own, because the discovery socket blocks the test's thread while it
// spaces its packets.
class StandInRecorder {
public:
    struct Received {
        ParameterPacket packet;
        qint64 atMs;
    };

    StandInRecorder()
    {
        std::promise<quint16> bound;
        std::future<quint16> port = bound.get_future();
        reader_ = std::thread([this, &bound] { run(bound); });
        port_ = port.get();
    }
    ~StandInRecorder()
    {
        stop_ = true;
        reader_.join();
    }

    kvx::RecorderInfoPacket info(quint32 serial, quint8 linkFlags = 0x11) const
    {
        kvx::RecorderInfoPacket packet = recorderInfo(serial, "127.0.0.1", linkFlags);
        packet.ethernet.commandPort = port_;
        return packet;
    }

    void sendTo(const RecorderDiscovery& discovery, const QByteArray& datagram)
    {
        sender_.writeDatagram(datagram, QHostAddress::LocalHost, discovery.port());
    }

    // What arrived, once at least count packets are there or 5 s have passed.
    QList<Received> receive(int count)
    {
        // Fewer than count is for the caller to notice.
        (void)QTest::qWaitFor(
            [&] {
                const std::lock_guard lock(mutex_);
                return received_.size() >= count;
            },
            5000);
        return take();
    }
    // What arrived within the next ms, for the cases where nothing may come.
    QList<Received> receiveFor(int ms)
    {
        QTest::qWait(ms);
        return take();
    }

private:
    QList<Received> take()
    {
        const std::lock_guard lock(mutex_);
        return std::exchange(received_, {});
    }

    void run(std::promise<quint16>& bound)
    {
        QUdpSocket socket;
        socket.bind(QHostAddress::LocalHost, 0);
        bound.set_value(socket.localPort());
        QElapsedTimer clock;
        clock.start();
        while (!stop_) {
            if (!socket.waitForReadyRead(5))
                continue;
            while (socket.hasPendingDatagrams()) {
                const auto packet = ParameterPacket::decode(socket.receiveDatagram().data());
                const std::lock_guard lock(mutex_);
                if (packet)
                    received_.append({*packet, clock.elapsed()});
            }
        }
    }

    QUdpSocket sender_;
    quint16 port_ = 0;
    std::atomic<bool> stop_ = false;
    std::mutex mutex_;
    QList<Received> received_;
    std::thread reader_;
};

// Time for a datagram to reach the discovery socket and be handled, where nothing may come of it.
void letItArrive()
{
    QTest::qWait(100);
}

} // namespace

class TestDiscovery : public QObject {
    Q_OBJECT
private slots:
    void portSearchStartsAt47915()
    {
        RecorderEthernetModel recorders;
        RecorderDiscovery first(&recorders);
        RecorderDiscovery second(&recorders);
        QVERIFY(first.isBound());
        QCOMPARE(first.port(), quint16(47915));
        QCOMPARE(second.port(), quint16(47916));
    }

    void portTakenByAnotherProgram()
    {
        QUdpSocket other;
        QVERIFY(other.bind(QHostAddress::AnyIPv4, 47915));
        RecorderEthernetModel recorders;
        RecorderDiscovery discovery(&recorders);
        QCOMPARE(discovery.port(), quint16(47916));
    }

    void newRecorderGetsThreeFirstContactPackets()
    {
        StandInRecorder recorder;
        RecorderEthernetModel recorders;
        RecorderDiscovery discovery(&recorders);
        recorder.sendTo(discovery, recorder.info(2180002).encode());
        QTRY_COMPARE(recorders.recorderCount(), 1);
        QCOMPARE(recorders.recorderAt(0)->info(), recorder.info(2180002));

        const auto received = recorder.receive(3);
        QCOMPARE(received.size(), 3);
        const ParameterPacket& announcement = received[0].packet;
        QCOMPARE(announcement.form, quint8(ParameterPacket::PortAnnouncement));
        QCOMPARE(announcement.operation, quint16(ParameterPacket::Query));
        QCOMPARE(announcement.word, quint32(discovery.port()));
        QCOMPARE(received[1].packet.encode().mid(4),
                 QByteArray::fromHex("1A000200"
                                     "00000000"));
        QCOMPARE(received[2].packet.encode().mid(4),
                 QByteArray::fromHex("0F010200"
                                     "00000000"));
        // About 50 ms apart. The reader may wake late on a busy machine, which shortens one gap
        // and lengthens the next, so the bounds are loose; packets sent back to back fail them.
        const qint64 first = received[1].atMs - received[0].atMs;
        const qint64 second = received[2].atMs - received[1].atMs;
        const QByteArray gaps = QString("gaps %1 and %2 ms").arg(first).arg(second).toLatin1();
        QVERIFY2(first >= 25 && second >= 25 && first + second >= 80 && first + second < 400, gaps);
    }

    void knownRecorderIsNotGreetedAgain()
    {
        StandInRecorder recorder;
        RecorderEthernetModel recorders;
        RecorderDiscovery discovery(&recorders);
        recorder.sendTo(discovery, recorder.info(1).encode());
        QCOMPARE(recorder.receive(3).size(), 3);
        recorder.sendTo(discovery, recorder.info(1).encode());
        letItArrive();
        QCOMPARE(recorders.recorderCount(), 1);
        QCOMPARE(recorder.receiveFor(200).size(), 0);
    }

    void onlyTheTenGigabitLinkIsAccepted_data()
    {
        QTest::addColumn<quint8>("linkFlags");
        QTest::addColumn<bool>("listed");
        QTest::newRow("code 1 with transfers") << quint8(0x11) << true;
        QTest::newRow("code 1 without transfers") << quint8(0x10) << true;
        QTest::newRow("code 0 (1G)") << quint8(0x01) << false;
        QTest::newRow("code 2") << quint8(0x21) << false;
        QTest::newRow("code 7") << quint8(0x71) << false;
    }
    void onlyTheTenGigabitLinkIsAccepted()
    {
        QFETCH(quint8, linkFlags);
        QFETCH(bool, listed);
        StandInRecorder recorder;
        RecorderEthernetModel recorders;
        RecorderDiscovery discovery(&recorders);
        recorder.sendTo(discovery, recorder.info(7, linkFlags).encode());
        if (listed) {
            QTRY_COMPARE(recorders.recorderCount(), 1);
            QCOMPARE(recorder.receive(3).size(), 3);
        } else {
            letItArrive();
            QCOMPARE(recorders.recorderCount(), 0);
            QCOMPARE(recorder.receiveFor(200).size(), 0);
        }
    }

    void shortInformationPacketIsRejected()
    {
        StandInRecorder recorder;
        RecorderEthernetModel recorders;
        RecorderDiscovery discovery(&recorders);
        recorder.sendTo(discovery, recorder.info(7).encode().left(55));
        recorder.sendTo(discovery, recorder.info(8).encode().left(4));
        letItArrive();
        QCOMPARE(recorders.recorderCount(), 0);
        QCOMPARE(recorder.receiveFor(100).size(), 0);
    }

    void otherDatagramsGoToTheSendersManager()
    {
        StandInRecorder recorder;
        RecorderEthernetModel recorders;
        RecorderDiscovery discovery(&recorders);
        recorder.sendTo(discovery, recorder.info(3).encode());
        QTRY_COMPARE(recorders.recorderCount(), 1);
        // A recorder at another address, listed but silent.
        QVERIFY(recorders.addRecorder(recorderInfo(4, "10.77.41.5")));

        recorder.sendTo(discovery,
                        clipListPacket(1, {sampleClip(0, 1000, 2048, 1080), sampleClip(1, 1000, 2048, 1080)}));
        QTRY_COMPARE(recorders.recorderAt(0)->downloadManager()->clipList()->rowCount(), 2);
        QCOMPARE(recorders.recorderAt(1)->downloadManager()->clipList()->rowCount(), 0);
    }

    void datagramFromAnUnknownSenderIsDropped()
    {
        StandInRecorder recorder;
        RecorderEthernetModel recorders;
        QVERIFY(recorders.addRecorder(recorderInfo(4, "10.77.41.5")));
        RecorderDiscovery discovery(&recorders);
        recorder.sendTo(discovery, clipListPacket(1, {sampleClip(0, 1000, 2048, 1080)}));
        letItArrive();
        QCOMPARE(recorders.recorderAt(0)->downloadManager()->clipList()->rowCount(), 0);
    }
};

QTEST_MAIN(TestDiscovery)
#include "tst_recorder_discovery.moc"

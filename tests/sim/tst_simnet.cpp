// velmor-sim as a separate program on the test network's recorder side (10.77.41.2 and .3),
// driven from the host side (10.77.41.1) with real broadcasts.
#include "SimulatorProcess.h"
#include "TransferTestClient.h"

#include "common/packets/ClipInfoPacket.h"
#include "common/packets/DiscoveryRequest.h"
#include "common/packets/IpChangeDatagram.h"
#include "common/packets/PacketMagic.h"
#include "common/packets/ParameterPacket.h"
#include "common/packets/RecorderInfoPacket.h"
#include "sim/ClipContent.h"
#include "sim/SimConfig.h"

#include <QNetworkDatagram>
#include <QTest>
#include <QUdpSocket>

namespace {
const QHostAddress HostSide(QStringLiteral("10.77.41.1"));
const QHostAddress Broadcast(QStringLiteral("10.77.41.255"));
const QHostAddress FastLink(QStringLiteral("10.77.41.2"));
const QHostAddress SlowLink(QStringLiteral("10.77.41.3"));
constexpr quint64 RecorderId = 2180077;
} // namespace

class TestSimNet : public QObject {
    Q_OBJECT

    SimulatorProcess sim_;
    QUdpSocket socket_;

    QList<QNetworkDatagram> receive(int count, quint32 magic, int timeoutMs = 3000)
    {
        QList<QNetworkDatagram> out;
        QElapsedTimer clock;
        clock.start();
        while (out.size() < count && clock.elapsed() < timeoutMs) {
            if (!socket_.hasPendingDatagrams() && !socket_.waitForReadyRead(50))
                continue;
            const QNetworkDatagram d = socket_.receiveDatagram();
            if (kvx::peekMagic(d.data()) == magic)
                out.append(d);
        }
        return out;
    }

    QList<kvx::RecorderInfoPacket> discover()
    {
        socket_.writeDatagram(DiscoveryRequest{socket_.localPort()}.encode(), Broadcast,
                              DiscoveryRequest::RecorderPort);
        QList<kvx::RecorderInfoPacket> infos;
        for (const auto& d : receive(2, kvx::magic::RecorderInfo))
            infos.append(*kvx::RecorderInfoPacket::decode(d.data()));
        std::sort(infos.begin(), infos.end(),
                  [](const auto& a, const auto& b) { return a.ethernet.ip < b.ethernet.ip; });
        return infos;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(sim_.startWithOptions({"--recorder-id", QString::number(RecorderId), "--link",
                                        "10.77.41.2,code=1,transfers=1", "--link", "10.77.41.3,code=0,transfers=0",
                                        "--loss", "2", "--reorder", "1", "--seed", "5", "--rate", "2"},
                                       FastLink.toString()),
                 qPrintable(sim_.error()));
        QVERIFY(socket_.bind(HostSide, 0));
        // The simulator is ready once it answers.
        QTRY_VERIFY_WITH_TIMEOUT(discover().size() == 2, 10000);
    }

    void broadcastDiscoveryIsAnsweredPerLink()
    {
        const auto infos = discover();
        QCOMPARE(infos.size(), 2);
        QCOMPARE(infos[0].ethernet.address(), FastLink);
        QCOMPARE(infos[0].ethernet.linkCode(), 1);
        QVERIFY(infos[0].ethernet.carriesTransfers());
        QCOMPARE(infos[1].ethernet.address(), SlowLink);
        QCOMPARE(infos[1].ethernet.linkCode(), 0);
        QVERIFY(!infos[1].ethernet.carriesTransfers());
        for (const auto& i : infos)
            QCOMPARE(i.recorderId, RecorderId);
    }

    void clipListAndTransferOverTheFastLink()
    {
        socket_.writeDatagram(
            ParameterPacket{0, ParameterPacket::PortAnnouncement, ParameterPacket::Query, socket_.localPort(), {}}
                .encode(),
            FastLink, 9000);
        const auto packets = receive(1, kvx::magic::ClipInfo);
        QCOMPARE(packets.size(), 1);
        QCOMPARE(packets[0].senderAddress(), FastLink);
        const auto list = kvx::ClipInfoPacket::decode(packets[0].data());
        QVERIFY(list);
        const QList<SimClip> expected = SimConfig::defaults().recorders.first().clips;
        QCOMPARE(list->entries.size(), expected.size());

        // Frames 0..29 of the first clip, through 2 % loss and some reordering.
        const SimClip& clip = expected.first();
        QCOMPARE(list->entries.first(), clip.info);
        TransferTestClient client(4353, 0, FastLink);
        TransferTestClient::Job job;
        job.clipNumber = clip.info.clipNumber;
        job.firstFrame = 0;
        job.lastFrame = 29;
        job.frameSize = frameSize(clip);
        const auto result = client.fetch(job);
        QVERIFY(result.ok);
        QByteArray want(result.data.size(), '\0');
        fillFrames(clip, 0, 30, reinterpret_cast<uchar*>(want.data()));
        QVERIFY(result.data == want);
        QVERIFY(result.missingListsSent > 2); // losses were repaired
    }

    // A request that reaches one link only is answered from that link only.
    void unicastDiscoveryIsAnsweredByTheLinkItReaches()
    {
        socket_.writeDatagram(DiscoveryRequest{socket_.localPort()}.encode(), SlowLink, DiscoveryRequest::RecorderPort);
        const auto answers = receive(2, kvx::magic::RecorderInfo, 700);
        QCOMPARE(answers.size(), 1);
        QCOMPARE(answers[0].senderAddress(), SlowLink);
        QCOMPARE(kvx::RecorderInfoPacket::decode(answers[0].data())->ethernet.address(), SlowLink);
    }

    // The IP change broadcast names its recorder, which moves its link to the new address: it
    // answers there and no longer at the old one.
    void ipChangeBroadcastMovesTheLink()
    {
        socket_.writeDatagram(
            IpChangeDatagram{QHostAddress(QStringLiteral("10.77.41.9")).toIPv4Address(), RecorderId + 1}.encode(),
            QHostAddress::Broadcast, IpChangeDatagram::Port);
        QTest::qWait(200);
        QCOMPARE(discover().first().ethernet.address(), FastLink); // another recorder's id
        socket_.writeDatagram(
            IpChangeDatagram{QHostAddress(QStringLiteral("10.77.41.9")).toIPv4Address(), RecorderId}.encode(),
            QHostAddress::Broadcast, IpChangeDatagram::Port);
        const QHostAddress moved(QStringLiteral("10.77.41.9"));
        QTRY_VERIFY_WITH_TIMEOUT(discover().last().ethernet.address() == moved, 3000);
        socket_.writeDatagram(DiscoveryRequest{socket_.localPort()}.encode(), moved, DiscoveryRequest::RecorderPort);
        const auto atNew = receive(1, kvx::magic::RecorderInfo);
        QCOMPARE(atNew.size(), 1);
        QCOMPARE(atNew[0].senderAddress(), moved);
        socket_.writeDatagram(DiscoveryRequest{socket_.localPort()}.encode(), FastLink, DiscoveryRequest::RecorderPort);
        QVERIFY(receive(1, kvx::magic::RecorderInfo, 500).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSimNet)
#include "tst_simnet.moc"

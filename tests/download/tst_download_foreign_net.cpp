// A download from velmor-sim on the recorder side of the test network while another host on
// that side sends the receiver data packets, events and status answers for the live chunks.
#include "DownloadTestSupport.h"
#include "SimulatorProcess.h"

#include "sim/SimConfig.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <arpa/inet.h>
#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <map>
#include <set>
#include <thread>

using namespace downloadtest;

namespace {

const QHostAddress Recorder(QStringLiteral("10.77.41.2"));

sockaddr_in ipv4(const char* address, quint16 port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    inet_pton(AF_INET, address, &a.sin_addr);
    return a;
}

// The other host: a socket made in the recorder namespace at an address the simulator does not
// use, bound to the recorder's transfer port number. It follows the simulator's log for the
// chunks the receiver asks for (the latest of each slot) and sends the receiver, about each,
// data packets of foreign bytes, "chunk sent", an error event and an unknown status code.
class OtherHost {
public:
    explicit OtherHost(QString simulatorLog) : log_(simulatorLog)
    {
        // A socket belongs to the namespace it is made in: a thread of its own enters the
        // recorder side to make it, and the test stays on the host side.
        std::thread([this] {
            const int ns = ::open(("/run/netns/" + qgetenv("VLM_NETNS_REC")).constData(), O_RDONLY | O_CLOEXEC);
            if (ns >= 0 && ::setns(ns, CLONE_NEWNET) == 0) {
                fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
                const sockaddr_in local = ipv4("10.77.41.9", kvx::ReceiveUDPThread::RecorderTransferPort);
                if (::bind(fd_, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0)
                    ::close(std::exchange(fd_, -1));
            }
            if (ns >= 0)
                ::close(ns);
        }).join();
    }
    ~OtherHost()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    bool isOpen() const { return fd_ >= 0; }

    void spray(quint16 receiverPort)
    {
        readRequests();
        const sockaddr_in to = ipv4("10.77.41.1", receiverPort);
        const auto send = [&](const QByteArray& d) {
            sent += ::sendto(fd_, d.constData(), size_t(d.size()), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to)
                == d.size();
        };
        ++round_;
        for (const auto& [slot, chunk] : live_) {
            chunksHit.insert(chunk.id);
            QByteArray packet(kvx::TxPacketHead::Size + 8952, '\xEE');
            for (quint32 index : {round_ * 7 % chunk.packets, (round_ * 7 + 997) % chunk.packets, chunk.packets - 1}) {
                kvx::TxPacketHead{index, chunk.id}.encodeInto(reinterpret_cast<uchar*>(packet.data()));
                send(packet);
            }
            send(kvx::TxEvent{kvx::TxEvent::ChunkSent, chunk.id, slot, 0}.encode());
            send(kvx::TxEvent{kvx::TxEvent::Error, chunk.id, slot, 5}.encode());
            send(kvx::TxStatus{9, chunk.id, slot}.encode());
        }
    }

    quint64 sent = 0;
    std::set<quint64> chunksHit;

private:
    struct Chunk {
        quint64 id;
        quint32 packets;
    };

    void readRequests()
    {
        if (!log_.isOpen() && !log_.open(QIODevice::ReadOnly))
            return;
        unread_ += log_.readAll();
        for (qsizetype end; (end = unread_.indexOf('\n')) >= 0;) {
            const QByteArray line = unread_.left(end);
            unread_.remove(0, end + 1);
            if (!line.contains("\"kind\":\"TxDataRequest\""))
                continue;
            const QJsonObject request = QJsonDocument::fromJson(line).object();
            const auto packets = quint32(request.value("packets").toInteger());
            if (packets > 0)
                live_[quint32(request.value("slot").toInteger())] = {quint64(request.value("chunk").toInteger()),
                                                                     packets};
        }
    }

    int fd_ = -1;
    QFile log_;
    QByteArray unread_;             // a line the simulator has not finished yet
    std::map<quint32, Chunk> live_; // by slot
    quint32 round_ = 0;
};

} // namespace

class TestDownloadForeignNet : public QObject {
    Q_OBJECT
private slots:
    // Unfiltered, the other host's packets overwrite frames and its error events and statuses
    // fail the chunks until the download gives up.
    void clipComesOnlyFromTheRecorder()
    {
        // 400 frames of 512 x 256: two chunks of frames after the calibration, paced so that
        // they last long enough for the other host to join in.
        const SimClip clip = SimConfig::makeClip(3, 512, 256, 400, 60, SimRecorderConfig{}.cameraSerial);
        SimulatorProcess simulator;
        QVERIFY2(simulator.startWithOptions({"--address", Recorder.toString(), "--clip-list-interval", "500", "--clip",
                                             "512x256,frames=400,fps=60,number=3", "--rate", "0.3"},
                                            Recorder.toString()),
                 qPrintable(simulator.error()));
        OtherHost other(simulator.logPath());
        QVERIFY(other.isOpen());

        kvx::RecorderInfoPacket::EthernetInfo ethernet;
        ethernet.setAddress(Recorder);
        ethernet.linkFlags = 0x10 | kvx::RecorderInfoPacket::EthernetInfo::TransferFlag;
        auto manager = std::make_unique<RecorderDownloadManager>();
        manager->makeChannel(QSharedPointer<EthernetView>::create(ethernet, nullptr, 0));
        kvx::ReceiveUDPThread* thread = manager->linkChannels().first()->thread.data();
        QTRY_VERIFY(thread->boundPort() != 0);
        QSignalSpy finished(manager.get(), &RecorderDownloadManager::downloadFinished);
        QSignalSpy gaveUp(manager.get(), &RecorderDownloadManager::downloadFailed);
        QSignalSpy transferFailed(thread, &kvx::ReceiveUDPThread::requestFailed);

        QTemporaryDir clipPath;
        const QSharedPointer<DownloadableClip> recorder = recorderClip(clip);
        const QSharedPointer<SavedClip> saved = preparedClip(recorder, clipPath.path());
        QVERIFY(saved);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Dropped a datagram from 10\\.77\\.41\\.9 "));
        QVERIFY(manager->addClipRequest(request(saved, recorder)));
        QTimer spray; // runs only while the download is awaited below, which has a time limit
        connect(&spray, &QTimer::timeout, this, [&] { other.spray(thread->boundPort()); });
        spray.start(5);
        QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty() || !gaveUp.isEmpty(), 60000);
        spray.stop();

        QCOMPARE(gaveUp.count(), 0);
        QCOMPARE(transferFailed.count(), 0);
        QCOMPARE(compareFolder(*saved, clip, true), QString());
        QVERIFY2(other.chunksHit.size() >= 2, "the other host missed the chunks of frames");
        // What reached the receiver while a transfer ran was counted; the rest waits unread.
        const quint64 dropped = thread->foreignDatagrams();
        QVERIFY2(dropped > 0 && dropped <= other.sent,
                 qPrintable(QStringLiteral("%1 of %2").arg(dropped).arg(other.sent)));

        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression("^Dropped \\d+ datagrams from senders other than "
                                                "10\\.77\\.41\\.2$"));
        manager.reset();
    }
};

QTEST_GUILESS_MAIN(TestDownloadForeignNet)
#include "tst_download_foreign_net.moc"

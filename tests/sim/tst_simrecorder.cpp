#include "common/packets/ClipInfoPacket.h"
#include "common/packets/ColorMatrixTable.h"
#include "common/packets/DiscoveryRequest.h"
#include "common/packets/OutputStatePacket.h"
#include "common/packets/PacketMagic.h"
#include "common/packets/ParameterPacket.h"
#include "common/packets/RecorderInfoPacket.h"
#include "common/wire/LittleEndian.h"
#include "sim/SimHost.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkDatagram>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

#include <functional>
#include <memory>

namespace {

// A program's socket on 127.0.0.1, read while the simulator's event loop runs.
class Peer {
public:
    Peer() { socket.bind(QHostAddress::LocalHost, 0); }
    quint16 port() const { return socket.localPort(); }
    void send(const QByteArray& bytes, quint16 to) { socket.writeDatagram(bytes, QHostAddress::LocalHost, to); }
    // The next datagram accepted by wanted, within timeoutMs; others are dropped.
    QNetworkDatagram next(const std::function<bool(const QByteArray&)>& wanted, int timeoutMs = 3000)
    {
        QNetworkDatagram found;
        [[maybe_unused]] const bool arrived = QTest::qWaitFor(
            [&] {
                while (socket.hasPendingDatagrams()) {
                    QNetworkDatagram d = socket.receiveDatagram();
                    if (wanted(d.data())) {
                        found = d;
                        return true;
                    }
                }
                return false;
            },
            timeoutMs);
        return found;
    }
    QNetworkDatagram nextWithMagic(quint32 magic, int timeoutMs = 3000)
    {
        return next([&](const QByteArray& d) { return kvx::peekMagic(d) == magic; }, timeoutMs);
    }
    // A whole clip list transmission: packets of one listId until totalClips entries are in.
    std::optional<std::pair<quint16, QList<kvx::ClipInfoPacket::clipInfo>>> clipList(int timeoutMs = 3000)
    {
        std::optional<quint16> listId;
        QList<kvx::ClipInfoPacket::clipInfo> clips;
        int packets = 0;
        for (;;) {
            const auto d = nextWithMagic(kvx::magic::ClipInfo, timeoutMs);
            const auto p = kvx::ClipInfoPacket::decode(d.data());
            if (!p)
                return std::nullopt;
            if (listId != p->listId) { // a new transmission starts over
                listId = p->listId;
                clips.clear();
                packets = 0;
            }
            ++packets;
            lastPacketCount = packets;
            clips += p->entries;
            if (clips.size() >= p->totalClips)
                return std::make_pair(*listId, clips);
        }
    }
    int lastPacketCount = 0;
    QUdpSocket socket;
};

QByteArray parameter(quint8 code, quint8 form, quint16 operation, quint32 word)
{
    return ParameterPacket{code, form, operation, word, {}}.encode();
}

} // namespace

class TestSimRecorder : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::unique_ptr<SimHost> host_;

    // One recorder with a 10G link carrying transfers and a 1G link, 45 small clips,
    // every port chosen by the system, heard on 127.0.0.1 only.
    void startHost(int clipListIntervalMs = 2000)
    {
        SimConfig config = SimConfig::defaults();
        config.listenAddress = QHostAddress::LocalHost;
        config.discoveryPort = 0;
        config.clipListIntervalMs = clipListIntervalMs;
        config.logPath = dir_.filePath(QStringLiteral("sim.log"));
        SimRecorderConfig& r = config.recorders.first();
        r.recorderId = 0x0000000100218002ull;
        r.links = {SimLinkConfig{QHostAddress::LocalHost, 1, true, 0, 0},
                   SimLinkConfig{QHostAddress::LocalHost, 0, false, 0, 0}};
        r.clips.clear();
        for (quint16 n = 0; n < 45; ++n)
            r.clips.append(SimConfig::makeClip(n, 64, 32, 10 + n, 100, r.cameraSerial));
        host_ = std::make_unique<SimHost>(config);
        QString error;
        QVERIFY2(host_->start(&error), qPrintable(error));
    }

    kvx::RecorderInfoPacket info(int link) { return host_->recorder(0).infoPacket(link); }

    QList<QJsonObject> logLines()
    {
        QFile file(dir_.filePath(QStringLiteral("sim.log")));
        file.open(QIODevice::ReadOnly);
        QList<QJsonObject> lines;
        for (const QByteArray& line : file.readAll().split('\n'))
            if (!line.isEmpty())
                lines.append(QJsonDocument::fromJson(line).object());
        return lines;
    }

private slots:
    void cleanup() { host_.reset(); }

    void discoveryIsAnsweredPerLink()
    {
        startHost();
        Peer program;
        program.send(DiscoveryRequest{program.port()}.encode(), host_->discoveryPort());
        QList<kvx::RecorderInfoPacket> answers;
        QList<quint16> sourcePorts;
        for (int i = 0; i < 2; ++i) {
            const auto d = program.nextWithMagic(kvx::magic::RecorderInfo);
            QCOMPARE(d.data().size(), kvx::RecorderInfoPacket::Size);
            answers.append(*kvx::RecorderInfoPacket::decode(d.data()));
            sourcePorts.append(quint16(d.senderPort()));
        }
        for (int link = 0; link < 2; ++link) {
            const auto& a = answers[link];
            QCOMPARE(a.recorderId, 0x0000000100218002ull);
            QCOMPARE(a.ethernet.ip, (std::array<quint8, 4>{127, 0, 0, 1}));
            // Each answer comes from the command socket of the link it describes.
            QCOMPARE(a.ethernet.commandPort, sourcePorts[link]);
        }
        QCOMPARE(answers[0].ethernet.linkFlags, quint8(0x11));
        QCOMPARE(answers[1].ethernet.linkFlags, quint8(0x00));
        QCOMPARE(answers[0].ethernet.transferPort, host_->recorder(0).transferServer(0)->boundPort());
        QVERIFY(!host_->recorder(0).transferServer(1));

        // A datagram that is no discovery request gets no answer, nor does a request with a
        // byte too many: a program sends exactly the 8 bytes.
        program.send(QByteArray("\x07\x00\xcd", 3), host_->discoveryPort());
        program.send(DiscoveryRequest{program.port()}.encode() + "x", host_->discoveryPort());
        QVERIFY(program.nextWithMagic(kvx::magic::RecorderInfo, 300).data().isEmpty());
        int refusals = 0;
        for (const QJsonObject& line : logLines())
            refusals += line.value(u"kind").toString() == u"refused";
        QCOMPARE(refusals, 2);
    }

    // The clips manager's first contact: port announcement, paint-options and colour-matrix
    // queries, 50 ms apart as it sends them.
    void firstContactIsAnswered()
    {
        startHost();
        Peer program;
        const quint16 commandPort = info(0).ethernet.commandPort;
        program.send(parameter(0, ParameterPacket::PortAnnouncement, ParameterPacket::Query, program.port()),
                     commandPort);
        const auto list = program.clipList();
        QVERIFY(list);
        QCOMPARE(list->second.size(), 45);
        QCOMPARE(program.lastPacketCount, 3); // at most 20 entries a packet
        for (int i = 0; i < 45; ++i)
            QCOMPARE(list->second[i], host_->recorder(0).clipAt(i));

        QTest::qWait(50);
        program.send(parameter(26, ParameterPacket::ValueInWord, ParameterPacket::Query, 0), commandPort);
        const auto state = OutputStatePacket::decode(program.nextWithMagic(kvx::magic::OutputState).data());
        QVERIFY(state);
        QCOMPARE(state->values[9], qint16(1024)); // unity gain, not a black picture
        QCOMPARE(state->values[12], qint16(2048));

        QTest::qWait(50);
        program.send(parameter(15, ParameterPacket::PayloadFollows, ParameterPacket::Query, 0), commandPort);
        const auto reply = ParameterPacket::decode(program.nextWithMagic(kvx::magic::Parameter).data());
        QVERIFY(reply);
        QCOMPARE(reply->code, quint8(15));
        QCOMPARE(reply->form, quint8(ParameterPacket::PayloadFollows));
        QCOMPARE(reply->operation, quint16(ParameterPacket::Reply));
        QCOMPARE(reply->payload.size(), 8 + 3 * 52);
        const auto table = ColorMatrixTable::decode(reply->payload);
        QVERIFY(table);
        QList<qint32> kelvins;
        for (const ColorMatrixRecord& record : table->records) {
            kelvins.append(record.temperature);
            for (int row = 0; row < 3; ++row) // rows sum to 1: white stays white
                QVERIFY(qAbs(record.element(row, 0) + record.element(row, 1) + record.element(row, 2) - 1.0f) < 1e-4f);
        }
        QCOMPARE(kelvins, (QList<qint32>{3200, 5600, 6500}));

        // The log shows the three packets in order, about 50 ms apart.
        QList<double> times;
        QStringList kinds;
        for (const QJsonObject& line : logLines()) {
            const QString kind = line.value(u"kind").toString();
            if (kind.endsWith(u"announcement") || kind.endsWith(u"query")) {
                kinds.append(kind);
                times.append(line.value(u"t").toDouble());
            }
        }
        QCOMPARE(kinds, (QStringList{"port-announcement", "paint-options-query", "colour-matrix-query"}));
        QVERIFY(times[1] - times[0] >= 45 && times[2] - times[1] >= 45);
    }

    void clipListIsResentPeriodicallyAndOnChange()
    {
        startHost(300);
        Peer program;
        program.send(parameter(0, ParameterPacket::PortAnnouncement, ParameterPacket::Query, program.port()),
                     info(0).ethernet.commandPort);
        const auto first = program.clipList();
        const auto periodic = program.clipList(1000);
        QVERIFY(first && periodic);
        QVERIFY(periodic->first != first->first); // a fresh listId for every transmission
        QCOMPARE(periodic->second, first->second);

        QVERIFY(host_->recorder(0).deleteClip(0));
        const auto changed = program.clipList(200); // sooner than the periodic resend
        QVERIFY(changed);
        QCOMPARE(changed->second.size(), 44);
        QCOMPARE(changed->second.first().clipNumber, quint16(1));

        host_->recorder(0).deleteAllClips();
        const auto empty = program.clipList(200);
        QVERIFY(empty);
        QVERIFY(empty->second.isEmpty());
    }

    // What the control program side sends goes out through the recorder's sockets.
    void controlProgramGetsStatusAndClipList()
    {
        startHost();
        Peer control;
        control.send(QStringLiteral("#sh 127.0.0.1 %1$$").arg(control.port()).toLatin1(), info(0).ethernet.commandPort);
        QVERIFY(control.clipList());
        const auto status = control.nextWithMagic(kvx::magic::Status, 1000);
        QCOMPARE(status.data().size(), 104);
    }
};

QTEST_GUILESS_MAIN(TestSimRecorder)
#include "tst_simrecorder.moc"

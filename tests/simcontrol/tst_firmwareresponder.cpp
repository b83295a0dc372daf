#include "FakeClipStore.h"

#include "common/packets/FirmwareChecksum.h"
#include "common/packets/FirmwarePackets.h"
#include "common/packets/ParameterCodes.h"
#include "common/packets/ParameterPacket.h"
#include "sim/control/ControlResponder.h"

#include <QRandomGenerator>
#include <QtTest>

using kvx::FirmwareProgramCommand;
using kvx::FirmwareProgramStatus;

namespace {

const QHostAddress Program(QStringLiteral("127.0.0.1"));
constexpr quint16 ProgramPort = 9001;
constexpr quint32 PacketBytes = 256;
constexpr qint64 WriteMs = 3000;

QByteArray randomImage(int size, quint32 seed)
{
    QByteArray image(size, '\0');
    QRandomGenerator rng(seed);
    for (char& c : image)
        c = char(rng.bounded(256));
    return image;
}

// A run of the image: packets [firstPacket, firstPacket + packetCount) covering [start, end).
struct Run {
    quint32 start = 0;
    quint32 end = 0;
    quint32 firstPacket = 0;
    quint32 packetCount() const { return (end - start - 1) / PacketBytes + 1; }
};

// The programming side of the exchange, driving the recorder through the control responder the
// way a firmware programmer does: packets, status, repair of the first missing packet, checksum
// per run, then the flash write.
class ProgrammerClient {
public:
    explicit ProgrammerClient(ControlResponder& recorder) : recorder_(recorder) {}

    std::optional<FirmwareProgramStatus> send(const FirmwareProgramCommand& command, QByteArrayView data = {})
    {
        const QByteArray payload = command.encode(data);
        const QByteArray packet = ParameterPacket{ParameterCode::FirmwareCommand, ParameterPacket::PayloadFollows,
                                                  ParameterPacket::Set, quint32(payload.size()), payload}
                                      .encode();
        const QList<SimDatagram> out = recorder_.handle(packet, Program, ProgramPort);
        if (out.isEmpty())
            return std::nullopt;
        if (out.size() != 1 || out[0].to != Program || out[0].port != ProgramPort)
            return std::nullopt;
        const auto reply = ParameterPacket::decode(out[0].bytes);
        if (!reply || reply->code != ParameterCode::FirmwareStatus || reply->operation != ParameterPacket::Reply)
            return std::nullopt;
        return FirmwareProgramStatus::decode(reply->payload);
    }

    std::optional<FirmwareProgramStatus> status() { return send({0, 0, 0, FirmwareProgramCommand::ReportStatus}); }

    void sendPacket(const QByteArray& image, const Run& run, quint32 packet)
    {
        const quint32 address = run.start + (packet - run.firstPacket) * PacketBytes;
        const quint32 length = qMin(PacketBytes, run.end - address);
        const quint8 command = packet == 0 ? FirmwareProgramCommand::FirstData : FirmwareProgramCommand::Data;
        send({packet, address, length, command}, QByteArrayView(image).sliced(address, length));
    }

    // Uploads one run, repairs it until the recorder has every packet, and returns whether the
    // recorder's checksum of the run matches the image's.
    bool uploadRun(const QByteArray& image, const Run& run)
    {
        for (quint32 p = run.firstPacket; p < run.firstPacket + run.packetCount(); ++p)
            sendPacket(image, run, p);
        auto s = status();
        for (int round = 0; s && s->missingPacket < run.firstPacket + run.packetCount(); ++round) {
            if (round > 10000)
                return false;
            ++repairs;
            sendPacket(image, run, s->missingPacket);
            s = status();
        }
        s = send({0, run.start, run.end - run.start, FirmwareProgramCommand::Checksum});
        return s && s->rangeStart == run.start && s->rangeLength == run.end - run.start
            && s->checksum == kvx::firmwareChecksum(QByteArrayView(image).sliced(run.start, run.end - run.start));
    }

    // The runs of an image of size bytes at most runPackets packets long.
    static QList<Run> runsOf(quint32 size, quint32 runPackets)
    {
        QList<Run> runs;
        quint32 packet = 0;
        for (quint32 start = 0; start < size; start += runPackets * PacketBytes) {
            Run run{start, qMin(size, start + runPackets * PacketBytes), packet};
            packet += run.packetCount();
            runs.append(run);
        }
        return runs;
    }

    int repairs = 0;

private:
    ControlResponder& recorder_;
};

struct Rig {
    explicit Rig(FirmwareFaults faults = {}) : responder(store, {}, {10, WriteMs, faults}, [this] { return now; }) {}

    qint64 now = 0;
    FakeClipStore store;
    ControlResponder responder;
    ProgrammerClient client{responder};
};

} // namespace

class TestFirmwareResponder : public QObject {
    Q_OBJECT
private slots:
    void programmingExchangeEndsWithTheImageInFlash()
    {
        Rig rig;
        const QByteArray image = randomImage(300'000, 5); // 1172 packets, the last one short
        const auto ready = rig.client.send({0, 0, 0, FirmwareProgramCommand::InitUpload});
        QVERIFY(ready);
        QCOMPARE(ready->missingPacket, quint16(0));
        QCOMPARE(ready->progress, 0.0f);

        const QList<Run> runs = ProgrammerClient::runsOf(quint32(image.size()), 500);
        QCOMPARE(runs.size(), 3);
        for (const auto& run : runs)
            QVERIFY(rig.client.uploadRun(image, run));
        QCOMPARE(rig.client.repairs, 0);
        QCOMPARE(rig.client.status()->missingPacket, quint16(1172));

        const FirmwareProgramCommand write{0, 0, quint32(image.size()), FirmwareProgramCommand::WriteFlash};
        const auto started = rig.client.send(write);
        QVERIFY(started && started->progress > 0.0f);
        QVERIFY(rig.responder.firmware().writing());

        float last = started->progress;
        for (int poll = 0; poll < 5; ++poll) {
            rig.now += 500;
            const float progress = rig.client.status()->progress;
            QVERIFY(progress > last);
            last = progress;
        }
        QCOMPARE(last, 2500.0f / 3000.0f);
        rig.client.send(write); // asking again while writing does not start over
        rig.now += 600;
        QCOMPARE(rig.client.status()->progress, 1.0f);
        QVERIFY(!rig.responder.firmware().writing());
        QCOMPARE(rig.responder.firmware().flash(), image);
    }

    void lostPacketsAreRepairedFromTheMissingNumber()
    {
        Rig rig(FirmwareFaults{20, 42, std::nullopt, false});
        const QByteArray image = randomImage(200'000, 6);
        rig.client.send({0, 0, 0, FirmwareProgramCommand::InitUpload});
        for (const auto& run : ProgrammerClient::runsOf(quint32(image.size()), 400)) {
            // Before repair the recorder reports a packet of this run or an earlier one missing.
            QVERIFY(rig.client.uploadRun(image, run));
        }
        QVERIFY(rig.responder.firmware().droppedPackets() > 100);
        QVERIFY(rig.client.repairs >= rig.responder.firmware().droppedPackets() / 2);
        QCOMPARE(rig.responder.firmware().image(), image);
    }

    void missingNumberCountsPacketsReceivedInOrder()
    {
        Rig rig;
        const QByteArray image = randomImage(10 * 256, 7);
        const Run run{0, 10 * 256, 0};
        rig.client.send({0, 0, 0, FirmwareProgramCommand::InitUpload});
        for (quint32 p : {0u, 1u, 3u, 4u, 6u})
            rig.client.sendPacket(image, run, p);
        QCOMPARE(rig.client.status()->missingPacket, quint16(2));
        rig.client.sendPacket(image, run, 2);
        QCOMPARE(rig.client.status()->missingPacket, quint16(5)); // 3 and 4 were kept
        rig.client.sendPacket(image, run, 2);                     // a duplicate changes nothing
        QCOMPARE(rig.client.status()->missingPacket, quint16(5));

        // Initialising again forgets the upload.
        const auto fresh = rig.client.send({0, 0, 0, FirmwareProgramCommand::InitUpload});
        QCOMPARE(fresh->missingPacket, quint16(0));
        QVERIFY(rig.responder.firmware().image().isEmpty());
    }

    void corruptedByteFailsTheChecksumOfItsRunOnly()
    {
        // The last byte of a 4-byte group in the second run (packets 500 to 999).
        Rig rig(FirmwareFaults{0, 1, 500 * 256 + 4 * 10 + 3, false});
        const QByteArray image = randomImage(300'000, 8);
        rig.client.send({0, 0, 0, FirmwareProgramCommand::InitUpload});
        const QList<Run> runs = ProgrammerClient::runsOf(quint32(image.size()), 500);
        QVERIFY(rig.client.uploadRun(image, runs[0]));
        QVERIFY(!rig.client.uploadRun(image, runs[1]));
        QVERIFY(rig.client.uploadRun(image, runs[2]));
    }

    void writeThatNeverStarts()
    {
        Rig rig(FirmwareFaults{0, 1, std::nullopt, true});
        const QByteArray image = randomImage(1000, 9);
        rig.client.send({0, 0, 0, FirmwareProgramCommand::InitUpload});
        QVERIFY(rig.client.uploadRun(image, {0, 1000, 0}));
        for (int attempt = 0; attempt < 6; ++attempt) {
            QCOMPARE(rig.client.send({0, 0, 1000, FirmwareProgramCommand::WriteFlash})->progress, 0.0f);
            rig.now += 1000;
        }
        QVERIFY(!rig.responder.firmware().writing());
        QVERIFY(rig.responder.firmware().flash().isEmpty());
    }

    void badCommandsAreIgnored()
    {
        Rig rig;
        rig.client.send({0, 0, 0, FirmwareProgramCommand::InitUpload});
        const QByteArray block(256, 'a');
        // Beyond the 32 MiB image, a packet number past its end, and an unknown command.
        QVERIFY(!rig.client.send({1, 0x2000000 - 128, 256, FirmwareProgramCommand::Data}, block));
        QVERIFY(!rig.client.send({131072, 0, 256, FirmwareProgramCommand::Data}, block));
        QVERIFY(!rig.client.send({0, 0, 0, 7}));
        const auto s = rig.client.send({0, 0xFFFFFF00, 0x200, FirmwareProgramCommand::Checksum});
        QVERIFY(s);
        QCOMPARE(s->rangeLength, 0u);
        QVERIFY(rig.responder.firmware().image().isEmpty());
        QCOMPARE(rig.client.status()->missingPacket, quint16(0));
    }
};

QTEST_GUILESS_MAIN(TestFirmwareResponder)
#include "tst_firmwareresponder.moc"

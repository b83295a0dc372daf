// The firmware programmer through the manager, against the simulator's firmware responder in
// this process: what ends an update, and that one update talks to one recorder only.
#include "CapturingLink.h"
#include "McsText.h"

#include "common/packets/ParameterCodes.h"
#include "common/packets/ParameterPacket.h"
#include "control/link/SerialStreamLink.h"
#include "control/manager/QMultiRecorderMgr.h"
#include "sim/control/FirmwareResponder.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using kvx::FirmwareProgramStatus;

namespace {

// A recorder behind a link: firmware commands go to the responder, its answers come back as
// code 14 replies. Anything else is kept.
class ResponderLink : public CapturingLink {
public:
    explicit ResponderLink(FirmwareResponder& recorder) : recorder_(recorder) {}
    bool sendData(const char* data, int length) override
    {
        const auto packet = ParameterPacket::decode(QByteArrayView(data, length));
        if (!packet || packet->code != ParameterCode::FirmwareCommand)
            return CapturingLink::sendData(data, length);
        ++firmwareCommands;
        if (silent)
            return true;
        const auto command = kvx::FirmwareProgramCommand::decode(packet->payload);
        if (command && command->command.command == kvx::FirmwareProgramCommand::WriteFlash)
            oldWriteDone = false;
        if (command && command->command.command == kvx::FirmwareProgramCommand::Checksum && lostChecksums > 0) {
            --lostChecksums;
            return true;
        }
        auto status = recorder_.handle(packet->payload);
        if (status && oldWriteDone)
            status->progress = 1.0f;
        if (status)
            receive(ParameterPacket{ParameterCode::FirmwareStatus, ParameterPacket::PayloadFollows,
                                    ParameterPacket::Reply, quint32(FirmwareProgramStatus::Size), status->encode()}
                        .encode());
        return true;
    }
    int firmwareCommands = 0;
    bool silent = false;
    // Reports the end of an earlier flash write until it is asked to write again.
    bool oldWriteDone = false;
    int lostChecksums = 0; // checksum requests that never arrive

private:
    FirmwareResponder& recorder_;
};

struct Outcome {
    QString text;
    int flag = 0;
    QStringList texts;
};

} // namespace

class TestFirmwareProgrammer : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    qint64 now_ = 0;

    QString writeImage(const QByteArray& text)
    {
        const QString path = dir_.filePath(QString("fw%1.mcs").arg(now_++));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(text);
        return path;
    }

    // Runs one update of the current recorder to its end.
    static Outcome update(QMultiRecorderMgr& mgr, const QString& file, int timeoutMs = 20000)
    {
        Outcome out;
        QObject context;
        connect(&mgr.firmware(), &RecorderFirmwareProgrammer::statusUpdate, &context,
                [&](const QString& text, float, int flag) {
                    out.texts.append(text);
                    if (flag) {
                        out.text = text;
                        out.flag = flag;
                    }
                });
        mgr.firmware().setFileName(file);
        if (const auto refused = mgr.startFirmwareUpdate()) {
            out.text = *refused;
            return out;
        }
        QDeadlineTimer deadline(timeoutMs);
        while (out.flag == 0 && !deadline.hasExpired())
            QTest::qWait(10);
        mgr.firmware().wait();
        return out;
    }

    static RecorderFirmwareProgrammer::Timings quick()
    {
        RecorderFirmwareProgrammer::Timings t;
        t.packetGapUs = 0;
        t.stallTimeoutMs = 8000; // beyond the 5 write attempts 1000 ms apart
        return t;
    }

private slots:
    void programsOnlyTheRecorderItStartedWith()
    {
        const QByteArray low = McsText::pattern(300000), high = McsText::pattern(1000, 2);
        FirmwareResponder target(steadyClock(), 300, FirmwareFaults{3, 7, {}, false});
        FirmwareResponder other(steadyClock(), 300);
        QMultiRecorderMgr mgr;
        mgr.firmware().setTimings(quick());
        auto* first = new ResponderLink(target);
        auto* second = new ResponderLink(other);
        QVERIFY(mgr.addOpenedLink(std::unique_ptr<BaseRecInterface>(first)));
        QVERIFY(mgr.addOpenedLink(std::unique_ptr<BaseRecInterface>(second)));
        second->setIndex(1);

        // The second recorder keeps reporting a finished write: its replies must not count.
        QTimer noise;
        bool switched = false;
        connect(&noise, &QTimer::timeout, [&] {
            mgr.selectNext();
            switched = switched || (mgr.isFirmwareUpdateRunning() && mgr.currentIndex() != 0);
            second->receive(ParameterPacket{ParameterCode::FirmwareStatus, ParameterPacket::PayloadFollows,
                                            ParameterPacket::Reply, 32,
                                            FirmwareProgramStatus{0, 0, 1.0f, 0, 0, 0, 0}.encode()}
                                .encode());
        });
        noise.start(5);
        const Outcome out = update(mgr, writeImage(McsText::image({{0, low}, {0x80000, high}})));
        QCOMPARE(out.text, QString("Flash successfully programmed!"));
        QCOMPARE(out.flag, 1);
        QVERIFY(out.texts.contains("Recovering packets..."));
        QVERIFY(mgr.firmware().resentPackets() >= target.droppedPackets());
        QCOMPARE(target.image().left(low.size()), low);
        QCOMPARE(target.image().mid(0x80000), high);
        QCOMPARE(second->firmwareCommands, 0);
        QVERIFY(!switched);
        noise.stop();
    }

    void failuresEndTheUpdate()
    {
        FirmwareResponder recorder(steadyClock(), 300);
        QMultiRecorderMgr mgr;
        mgr.firmware().setTimings(quick());
        auto* link = new ResponderLink(recorder);
        QVERIFY(mgr.addOpenedLink(std::unique_ptr<BaseRecInterface>(link)));
        const QString file = writeImage(McsText::image({{0, McsText::pattern(5000)}}));

        // A lost checksum request is asked again well inside the time-out.
        RecorderFirmwareProgrammer::Timings t = quick();
        t.checksumRetryMs = 300;
        mgr.firmware().setTimings(t);
        link->lostChecksums = 2;
        QCOMPARE(update(mgr, file).text, QString("Flash successfully programmed!"));

        // A finished earlier write must not pass for this one, which never starts.
        link->oldWriteDone = true;
        recorder.setFaults(FirmwareFaults{0, 1, {}, true});
        Outcome out = update(mgr, file);
        QCOMPARE(out.text, QString("Failed to start flash write procedure."));

        recorder.setFaults(FirmwareFaults{0, 1, 4 * 7 + 3, false});
        QCOMPARE(update(mgr, file).text, QString("Detected CRC Error, aborting..."));

        // Answers that keep coming while no packet arrives.
        recorder.setFaults(FirmwareFaults{100, 1, {}, false});
        t.stallTimeoutMs = 1000;
        mgr.firmware().setTimings(t);
        out = update(mgr, file);
        QCOMPARE(out.flag, -1);
        QVERIFY2(out.text.contains("does not go on"), qPrintable(out.text));

        recorder.setFaults({});
        link->silent = true;
        t.replyTimeoutMs = 300;
        mgr.firmware().setTimings(t);
        QCOMPARE(update(mgr, file).text, QString("Time out waiting for reply."));

        QCOMPARE(update(mgr, writeImage({})).text, QString("Unable to parse MCS firmware file."));
        QCOMPARE(update(mgr, dir_.filePath("missing.mcs")).text, QString("Unable to open firmware file."));
    }

    void notOverBluetooth()
    {
        QMultiRecorderMgr mgr;
        QVERIFY(mgr.addOpenedLink(std::make_unique<SerialStreamLink>()));
        const QString file = writeImage(McsText::image({{0, "abc"}}));
        QSignalSpy commands(&mgr.firmware(), &RecorderFirmwareProgrammer::newFirmwareCommand);
        QVERIFY(update(mgr, file).text.contains("Bluetooth"));
        QVERIFY(!mgr.isFirmwareUpdateRunning());
        QCOMPARE(commands.size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestFirmwareProgrammer)
#include "tst_firmware_programmer.moc"

// The Bluetooth link above its socket, over a local socket pair standing in for the RFCOMM
// stream, and Bluetooth discovery at its device filter (no adapter is needed).
#include "CapturingLink.h"

#include "common/packets/FirmwarePackets.h"
#include "common/packets/RecorderInfoPacket.h"
#include "common/packets/SerialFrame.h"
#include "control/discovery/BluetoothEnumerator.h"
#include "control/link/SerialStreamLink.h"
#include "control/manager/QMultiRecorderMgr.h"
#include "sim/control/ControlResponder.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QtTest>

namespace {

class NoClips : public ClipStoreAccess {
public:
    int clipCount() const override { return 0; }
    kvx::ClipInfoPacket::clipInfo clipAt(int) const override { return {}; }
    void addRecordedClip(quint64) override {}
    bool deleteClip(int) override { return false; }
    void deleteAllClips() override {}
};

// The same commands, as the window's actions send them.
void sendCommands(BaseRecInterface& link)
{
    link.sendCommand("#ss$");
    link.sendCommand("#st1234.50$");
    link.sendPaintValue(1, 2, 77);
    link.sendTypedCommand(10, 500);
    link.sendTypedCommand(5, 300);
    link.requestValue(7);
    link.sendTypedCommand(13, 0, kvx::FirmwareProgramCommand{0, 0, 0, 8}.encode());
}

// What the recorder answers to each packet, and what it refuses.
QList<QByteArray> answers(const QList<QByteArray>& packets)
{
    NoClips clips;
    ControlResponder recorder(clips, kvx::RecorderInfoPacket{});
    QList<QByteArray> out;
    QObject::connect(&recorder, &ControlResponder::refused,
                     [&](const QByteArray& why) { out.append("refused " + why); });
    for (const QByteArray& p : packets)
        for (const SimDatagram& d : recorder.handle(p, QHostAddress::LocalHost, 9001))
            out.append(d.bytes);
    return out;
}

} // namespace

class TestSerialLink : public QObject {
    Q_OBJECT

    QLocalServer server_;
    std::unique_ptr<QLocalSocket> programEnd_;
    QLocalSocket* recorderEnd_ = nullptr;
    std::unique_ptr<SerialStreamLink> link_;

    // Packets that reached the recorder's end since the last call.
    QList<QByteArray> arrived()
    {
        QList<QByteArray> out;
        QTest::qWait(50);
        kvx::SerialFrameReader reader;
        reader.feed(recorderEnd_->readAll(), [&](QByteArrayView p) { out.append(p.toByteArray()); });
        return out;
    }

private slots:
    void init()
    {
        server_.close();
        QVERIFY(server_.listen(QString("vlm-serial-link-%1").arg(QCoreApplication::applicationPid())));
        programEnd_ = std::make_unique<QLocalSocket>();
        programEnd_->connectToServer(server_.serverName());
        QVERIFY(server_.waitForNewConnection(2000));
        recorderEnd_ = server_.nextPendingConnection();
        QVERIFY(programEnd_->waitForConnected(2000));
        link_ = std::make_unique<SerialStreamLink>();
        QSignalSpy changes(link_.get(), &BaseRecInterface::connectionChanged);
        link_->attachStream(programEnd_.get(), 3);
        link_->streamConnected();
        QCOMPARE(changes.value(0), QVariantList({3, int(BaseRecInterface::Connected)}));
    }

    void framedCommandsReachTheRecorderAsOverUdp()
    {
        CapturingLink udp;
        sendCommands(udp);
        sendCommands(*link_);
        const QList<QByteArray> framed = arrived();
        QCOMPARE(framed, udp.sent);
        const QList<QByteArray> replies = answers(framed);
        QCOMPARE(replies, answers(udp.sent));
        QVERIFY(!replies.isEmpty());
        QVERIFY(!replies.join().contains("refused"));

        // A firmware data packet (281 bytes) does not fit a frame; nothing goes out.
        const QByteArray data(256, 'd');
        QVERIFY(!link_->sendTypedCommand(13, 0, kvx::FirmwareProgramCommand{1, 0, 256, 2}.encode(data)));
        link_->streamDisconnected();
        link_->sendCommand("#sc$");
        QVERIFY(arrived().isEmpty());
    }

    void receivedFramesBecomePackets()
    {
        QSignalSpy packets(link_.get(), &BaseRecInterface::packetReceived);
        QList<QByteArray> got;
        connect(link_.get(), &BaseRecInterface::packetReceived,
                [&](int, const char* data, int length) { got.append(QByteArray(data, length)); });
        QByteArray broken = *kvx::SerialFrame::encode("lost");
        broken[broken.size() - 1] = char(broken.back() ^ 0x40);
        const QByteArray stream = "\xff\x01noise" + *kvx::SerialFrame::encode(QByteArray(200, 's')) + broken
            + *kvx::SerialFrame::encode("second");
        for (qsizetype at = 0; at < stream.size(); at += 7) {
            recorderEnd_->write(stream.mid(at, 7));
            recorderEnd_->flush();
        }
        QTRY_COMPARE(got.size(), 2);
        QCOMPARE(got, QList<QByteArray>({QByteArray(200, 's'), "second"}));
        QCOMPARE(packets.value(0).value(0).toInt(), 3);

        link_->setActive(0);
        recorderEnd_->write(*kvx::SerialFrame::encode("dropped"));
        QTest::qWait(100);
        QCOMPARE(got.size(), 2);
    }

    void discoveryAtItsDeviceFilter()
    {
        QVERIFY(BluetoothEnumerator::isRecorderDevice("VLMV-12-345"));
        QVERIFY(BluetoothEnumerator::isRecorderDevice("xxPNWxx"));
        QVERIFY(!BluetoothEnumerator::isRecorderDevice("PNW"));
        QVERIFY(!BluetoothEnumerator::isRecorderDevice("vlmv-12-345"));

        // A service found on a recorder's device is listed for the manager in Bluetooth mode.
        QMultiRecorderMgr mgr;
        BluetoothEnumerator* bluetooth = mgr.bluetoothDiscovery();
        QSignalSpy count(bluetooth, &BluetoothEnumerator::serviceCountChanged);
        bluetooth->foundNewService(QBluetoothServiceInfo(), "VLMV-12-345");
        QCOMPARE(count.size(), 1);
        QCOMPARE(mgr.discoveredCount(), 0);
        mgr.setLinkKind(BaseRecInterface::Bluetooth);
        QCOMPARE(mgr.discoveredCount(), 1);
        QVERIFY(mgr.openRecorders({0}, false));
        QCOMPARE(mgr.link(0)->kind(), BaseRecInterface::Bluetooth);
        QVERIFY(mgr.link(0)->statusText().startsWith("Bluetooth: "));
        QVERIFY(!mgr.openRecorders({1}, false));

        // Without an adapter the search says so once and finds nothing.
        QSignalSpy unavailable(bluetooth, &BluetoothEnumerator::unavailable);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Bluetooth is unavailable.*"));
        bluetooth->run(true);
        bluetooth->run(true);
        QCOMPARE(unavailable.size(), 1);
        QCOMPARE(bluetooth->count(), 0);
    }
};

QTEST_GUILESS_MAIN(TestSerialLink)
#include "tst_serial_link.moc"

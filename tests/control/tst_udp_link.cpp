// The UDP link's states against a recorder stand-in on loopback.
#include "control/discovery/UdpRecInfo.h"
#include "control/link/UdpInterface.h"

#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QSignalSpy>
#include <QUdpSocket>
#include <QtTest>

namespace {

const QHostAddress Local(QStringLiteral("127.0.0.1"));
const QHostAddress RecorderAddress(QStringLiteral("127.0.0.7"));

UdpRecInfo record()
{
    UdpRecInfo r;
    r.localAddress = Local;
    r.localNetmask = QHostAddress(QStringLiteral("255.0.0.0"));
    r.recorderAddress = RecorderAddress;
    return r;
}

bool sanitized()
{
    return qEnvironmentVariableIsSet("VLM_SANITIZED");
}

} // namespace

class TestUdpLink : public QObject {
    Q_OBJECT

    QUdpSocket recorder_; // the recorder's command port
    QUdpSocket stranger_;

    void sendFromRecorder(const QByteArray& bytes, quint16 port = 9001) { recorder_.writeDatagram(bytes, Local, port); }

private slots:
    void initTestCase()
    {
        QVERIFY(recorder_.bind(RecorderAddress, UdpInterface::RemotePort));
        QVERIFY(stranger_.bind(QHostAddress(QStringLiteral("127.0.0.8")), 0));
    }

    void linksBindTheirPortsAndSendToTheCommandPort()
    {
        UdpInterface first;
        UdpInterface second;
        QVERIFY(first.openLink(record(), 0));
        QVERIFY(second.openLink(record(), 1));
        QCOMPARE(first.localPort(), quint16(9001));
        QCOMPARE(second.localPort(), quint16(9002));
        QCOMPARE(first.localAddressText(), QStringLiteral("127.0.0.1"));
        first.sendCommand(QStringLiteral("#ss$"));
        QVERIFY(recorder_.waitForReadyRead(1000));
        const QNetworkDatagram d = recorder_.receiveDatagram();
        QCOMPARE(d.data(), QByteArray("#ss$"));
        QCOMPARE(d.senderPort(), 9001);
    }

    void connectsOnFirstDatagramTimesOutAndComesBack()
    {
        UdpInterface link;
        QSignalSpy states(&link, &BaseRecInterface::connectionChanged);
        QSignalSpy packets(&link, &BaseRecInterface::packetReceived);
        link.openLink(record(), 0);
        QCOMPARE(link.statusText(), QStringLiteral("Ethernet: Not connected"));

        // Not from the recorder, empty, or while inactive: as if nothing came.
        stranger_.writeDatagram("status", Local, 9001);
        sendFromRecorder(QByteArray());
        QTest::qWait(100);
        link.setActive(0);
        sendFromRecorder("status");
        QTest::qWait(100);
        QCOMPARE(states.size(), 0);
        QCOMPARE(packets.size(), 0);
        QCOMPARE(link.state(), 0);

        link.setActive(1);
        QElapsedTimer clock;
        sendFromRecorder("status");
        QTRY_COMPARE(states.size(), 1);
        clock.start();
        QCOMPARE(states[0], (QList<QVariant>{0, 2}));
        QCOMPARE(packets.size(), 1);
        QCOMPARE(link.statusText(), QStringLiteral("Ethernet: Connected to 127.0.0.7"));
        sendFromRecorder("again"); // connected already: no second signal
        QTRY_COMPARE(packets.size(), 2);
        QCOMPARE(states.size(), 1);

        QTRY_COMPARE_WITH_TIMEOUT(states.size(), 2, 5000);
        QCOMPARE(states[1], (QList<QVariant>{0, 3}));
        if (!sanitized())
            QVERIFY2(clock.elapsed() >= 2900 && clock.elapsed() < 3600, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(link.statusText(), QStringLiteral("Ethernet: Disconnected (Time out)"));
        QVERIFY(!link.isConnected());

        sendFromRecorder("back");
        QTRY_COMPARE(states.size(), 3);
        QCOMPARE(states[2], (QList<QVariant>{0, 2}));
        QVERIFY(link.isConnected());
        link.closeLink();
        QCOMPARE(link.state(), 0);
    }

    void longDatagramsArriveCut()
    {
        UdpInterface link;
        link.openLink(record(), 3);
        QSignalSpy packets(&link, &BaseRecInterface::packetReceived);
        QByteArray received;
        connect(&link, &BaseRecInterface::packetReceived, this,
                [&](int, const char* data, int length) { received = QByteArray(data, length); });
        sendFromRecorder(QByteArray(3000, 'x'), 9004);
        QTRY_COMPARE(packets.size(), 1);
        QCOMPARE(packets[0][0].toInt(), 3);
        QCOMPARE(received.size(), 2048);
    }

    // A silent recorder never connects, and so never times out either.
    void silentRecorderStaysNotConnected()
    {
        UdpInterface link;
        QSignalSpy states(&link, &BaseRecInterface::connectionChanged);
        link.openLink(record(), 5);
        QTest::qWait(3300);
        QCOMPARE(states.size(), 0);
        QCOMPARE(link.statusText(), QStringLiteral("Ethernet: Not connected"));
    }
};

QTEST_GUILESS_MAIN(TestUdpLink)
#include "tst_udp_link.moc"

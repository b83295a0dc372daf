// The discovery piece both programs share. Runs in a private namespace with loopback only, so
// the ports used here are free and nothing leaves the machine.
#include "common/packets/DiscoveryRequest.h"
#include "discovery/DiscoverySocket.h"
#include "discovery/LocalSubnets.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

QNetworkAddressEntry entry(const char* ip, const char* netmask, const char* broadcast)
{
    QNetworkAddressEntry e;
    e.setIp(QHostAddress(QString::fromLatin1(ip)));
    e.setNetmask(QHostAddress(QString::fromLatin1(netmask)));
    if (broadcast)
        e.setBroadcast(QHostAddress(QString::fromLatin1(broadcast)));
    return e;
}

// Sockets holding the ports from first on, as other programs would.
std::vector<std::unique_ptr<QUdpSocket>> occupy(quint16 first, int count)
{
    std::vector<std::unique_ptr<QUdpSocket>> taken;
    for (int i = 0; i < count; ++i) {
        taken.push_back(std::make_unique<QUdpSocket>());
        if (!taken.back()->bind(QHostAddress::AnyIPv4, quint16(first + i)))
            qWarning() << "port" << first + i << "is not free";
    }
    return taken;
}

} // namespace

class TestDiscoverySocket : public QObject {
    Q_OBJECT
private slots:
    void onlyIpv4SubnetsWithABroadcastAddress()
    {
        const QList<QNetworkAddressEntry> entries = {
            entry("10.77.41.1", "255.255.255.0", "10.77.41.255"),
            entry("127.0.0.1", "255.0.0.0", "127.255.255.255"),
            entry("fe80::1", "ffff:ffff:ffff:ffff::", nullptr),
            entry("192.168.7.20", "255.255.255.255", nullptr), // point to point
            entry("172.16.3.4", "255.255.0.0", "172.16.255.255"),
        };
        const QList<LocalSubnet> expected = {
            {QHostAddress("10.77.41.1"), QHostAddress("255.255.255.0"), QHostAddress("10.77.41.255")},
            {QHostAddress("172.16.3.4"), QHostAddress("255.255.0.0"), QHostAddress("172.16.255.255")},
        };
        QCOMPARE(broadcastSubnets(entries), expected);
    }

    void portSearch()
    {
        const auto taken = occupy(45056, 2);
        DiscoverySocket unlimited;
        QVERIFY(unlimited.bindFirstFree(QHostAddress::AnyIPv4, 45056));
        QCOMPARE(unlimited.port(), quint16(45058));

        DiscoverySocket bounded;
        QVERIFY(!bounded.bindFirstFree(QHostAddress::AnyIPv4, 45056, 3)); // 45058 is taken now
        QVERIFY(!bounded.isBound());
        QCOMPARE(bounded.port(), quint16(0));
        QVERIFY(bounded.bindFirstFree(QHostAddress::AnyIPv4, 45056, 4));
        QCOMPARE(bounded.port(), quint16(45059));
    }

    void searchEndsAtTheTopOfThePortRange()
    {
        const auto taken = occupy(65534, 2);
        DiscoverySocket socket;
        QVERIFY(!socket.bindFirstFree(QHostAddress::AnyIPv4, 65534));
        QCOMPARE(socket.port(), quint16(0));
    }

    void requestCarriesTheBoundPortAndAnswersComeBack()
    {
        QUdpSocket recorder;
        QVERIFY(recorder.bind(QHostAddress::LocalHost, DiscoveryRequest::RecorderPort));

        DiscoverySocket unbound;
        unbound.sendRequest(QHostAddress::LocalHost);

        DiscoverySocket socket;
        QVERIFY(socket.bindFirstFree(QHostAddress::AnyIPv4, 47915));
        socket.sendRequest(QHostAddress::LocalHost);
        QTRY_VERIFY(recorder.hasPendingDatagrams());
        const QNetworkDatagram request = recorder.receiveDatagram();
        QCOMPARE(request.data(), (DiscoveryRequest{socket.port()}.encode()));
        QCOMPARE(request.senderPort(), int(socket.port()));
        QVERIFY2(!recorder.hasPendingDatagrams(), "an unbound socket sent a request");

        QSignalSpy arrived(&socket, &DiscoverySocket::readyRead);
        recorder.writeDatagram("answer", QHostAddress::LocalHost, socket.port());
        QVERIFY(arrived.wait(5000));
        QVERIFY(socket.hasPendingDatagrams());
        const QNetworkDatagram answer = socket.receive();
        QCOMPARE(answer.data(), QByteArray("answer"));
        QCOMPARE(answer.senderPort(), int(DiscoveryRequest::RecorderPort));
    }
};

QTEST_MAIN(TestDiscoverySocket)
#include "tst_discovery_socket.moc"

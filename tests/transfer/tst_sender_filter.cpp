// The receive engine's check of who sent a datagram. The whole path, a download while another
// host sends datagrams about the live chunks, is tst_download_foreign_net.
#include "transfer/SenderFilter.h"

#include <QRegularExpression>
#include <QtTest>

#include <arpa/inet.h>

using kvx::SenderFilter;

namespace {

sockaddr_storage ipv4Sender(const char* address, quint16 port)
{
    sockaddr_storage storage{};
    auto& in = reinterpret_cast<sockaddr_in&>(storage);
    in.sin_family = AF_INET;
    in.sin_port = htons(port);
    inet_pton(AF_INET, address, &in.sin_addr);
    return storage;
}

sockaddr_storage ipv6Sender(const char* address, quint16 port)
{
    sockaddr_storage storage{};
    auto& in6 = reinterpret_cast<sockaddr_in6&>(storage);
    in6.sin6_family = AF_INET6;
    in6.sin6_port = htons(port);
    inet_pton(AF_INET6, address, &in6.sin6_addr);
    return storage;
}

} // namespace

class TestSenderFilter : public QObject {
    Q_OBJECT
private slots:
    void onlyTheRecordersAddressPasses_data()
    {
        QTest::addColumn<QString>("recorder");
        QTest::newRow("IPv4 recorder") << "10.77.41.2";
        QTest::newRow("recorder given in IPv4-mapped form") << "::ffff:10.77.41.2";
    }
    void onlyTheRecordersAddressPasses()
    {
        QFETCH(QString, recorder);
        SenderFilter filter;
        QVERIFY(!filter.accept(ipv4Sender("10.77.41.2", 4353), sizeof(sockaddr_in))); // no recorder yet
        filter.setRecorder(QHostAddress(QHostAddress::AnyIPv6));
        QVERIFY(!filter.accept(ipv6Sender("::", 4353), sizeof(sockaddr_in6)));
        filter.setRecorder(QHostAddress(recorder));

        // Any port of the recorder, in either form a dual-stack socket may report it.
        QVERIFY(filter.accept(ipv4Sender("10.77.41.2", 4353), sizeof(sockaddr_in)));
        QVERIFY(filter.accept(ipv4Sender("10.77.41.2", 50123), sizeof(sockaddr_in)));
        QVERIFY(filter.accept(ipv6Sender("::ffff:10.77.41.2", 4353), sizeof(sockaddr_in6)));
        QCOMPARE(filter.rejected(), 2u);

        // Neighbours, the recorder's port on another host, a plain IPv6 host, a cut-short address.
        QVERIFY(!filter.accept(ipv4Sender("10.77.41.3", 4353), sizeof(sockaddr_in)));
        QVERIFY(!filter.accept(ipv4Sender("10.77.41.20", 4353), sizeof(sockaddr_in)));
        QVERIFY(!filter.accept(ipv6Sender("::ffff:10.77.41.3", 4353), sizeof(sockaddr_in6)));
        QVERIFY(!filter.accept(ipv6Sender("fe80::a4d:2", 4353), sizeof(sockaddr_in6)));
        QVERIFY(!filter.accept(ipv4Sender("10.77.41.2", 4353), 4));
        QCOMPARE(filter.rejected(), 7u);
    }

    void eachForeignSenderIsLoggedOnce()
    {
        SenderFilter filter;
        filter.setRecorder(QHostAddress("10.77.41.2"));
        const QRegularExpression fromThird("Dropped a datagram from 10\\.77\\.41\\.3 .*10\\.77\\.41\\.2");
        const QRegularExpression fromFourth("Dropped a datagram from 10\\.77\\.41\\.4 ");
        QTest::ignoreMessage(QtWarningMsg, fromThird);
        QTest::ignoreMessage(QtWarningMsg, fromFourth);
        QTest::failOnWarning(fromThird);
        QTest::failOnWarning(fromFourth);
        for (int i = 0; i < 3; ++i) {
            filter.accept(ipv4Sender("10.77.41.3", quint16(4000 + i)), sizeof(sockaddr_in));
            filter.accept(ipv6Sender("::ffff:10.77.41.3", 4353), sizeof(sockaddr_in6));
            filter.accept(ipv4Sender("10.77.41.4", 4353), sizeof(sockaddr_in));
        }
        QCOMPARE(filter.rejected(), 9u);

        // A spray from many addresses gives a bounded number of log lines.
        for (size_t i = 2; i < SenderFilter::MaxLoggedSenders; ++i)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Dropped a datagram from 10\\.0\\.0\\."));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("further ones are counted, not logged$"));
        QTest::failOnWarning(QRegularExpression("Dropped a datagram from"));
        for (int i = 0; i < 200; ++i)
            filter.accept(ipv4Sender(qPrintable(QStringLiteral("10.0.0.%1").arg(i)), 4353), sizeof(sockaddr_in));
        QCOMPARE(filter.rejected(), 209u);
    }
};

QTEST_GUILESS_MAIN(TestSenderFilter)
#include "tst_sender_filter.moc"

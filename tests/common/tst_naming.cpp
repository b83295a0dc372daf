#include "common/naming/RecorderNaming.h"

#include <QtTest>

class TestNaming : public QObject {
    Q_OBJECT
private slots:
    void modelNames()
    {
        QCOMPARE(modelName(0), QStringLiteral("VLM HD"));
        QCOMPARE(modelName(1), QStringLiteral("VLM UHD"));
        QVERIFY(modelName(2).isEmpty());
        QVERIFY(modelName(-1).isEmpty());
        QCOMPARE(modelFrameLimit(0), 1740);
        QCOMPARE(modelFrameLimit(1), 480);
        QCOMPARE(modelFrameLimit(7), 0);
    }

    void serialAndDeviceTexts_data()
    {
        QTest::addColumn<quint32>("n");
        QTest::addColumn<QString>("serial");
        QTest::addColumn<QString>("device");
        QTest::newRow("zero") << 0u << "00-0000-0000"
                              << "VLMV-0000-0000";
        QTest::newRow("example") << 2901180001u << "29-0118-0001"
                                 << "VLMV-0118-0001";
        QTest::newRow("device example") << 2180002u << "00-0218-0002"
                                        << "VLMV-0218-0002";
        // Digits above the eighth are dropped by the device name, not by the serial text.
        QTest::newRow("max") << 4294967295u << "42-9496-7295"
                             << "VLMV-9496-7295";
    }
    void serialAndDeviceTexts()
    {
        QFETCH(quint32, n);
        QFETCH(QString, serial);
        QFETCH(QString, device);
        QCOMPARE(serialText(n), serial);
        QCOMPARE(deviceName(n), device);
    }

    void parseDeviceNames()
    {
        quint32 serial = 0;
        QVERIFY(parseDeviceName(QStringLiteral("VLMV-0218-0002"), &serial));
        QCOMPARE(serial, 2180002u);
        QVERIFY(parseDeviceName(deviceName(12345678), &serial));
        QCOMPARE(serial, 12345678u);
        QVERIFY(!parseDeviceName(QStringLiteral("VLMV-12-"), &serial));
        QVERIFY(!parseDeviceName(QStringLiteral("VLMX-0218-0002"), &serial));
        QVERIFY(!parseDeviceName(QStringLiteral(" VLMV-0218-0002"), &serial));
        QVERIFY(!parseDeviceName(QStringLiteral("VLMV-0218-0002-1"), &serial));
        QVERIFY(!parseDeviceName(QString(), &serial));
        // Too many digits to convert to an unsigned number.
        QVERIFY(!parseDeviceName(QStringLiteral("VLMV-99999999999-1"), &serial));
    }

    void dateIpAndMacTexts()
    {
        QCOMPARE(bcdDateText(0x20171020), QStringLiteral("2017-10-20"));
        QCOMPARE(bcdDateText(0x00010203), QStringLiteral("0001-02-03"));
        QCOMPARE(ipText({192, 168, 0, 7}), QStringLiteral("192.168.0.7"));
        QCOMPARE(ipText({0, 0, 0, 0}), QStringLiteral("0.0.0.0"));
        QCOMPARE(macText({0x00, 0x1a, 0xff, 0x0b, 0xc0, 0x01}), QStringLiteral("00:1a:ff:0b:c0:01"));
    }

    void ipTextReadsBackOnlyTheDottedForm()
    {
        QCOMPARE(parseIpText(QStringLiteral("192.168.0.7")), std::optional<quint32>(0xC0A80007u));
        QCOMPARE(parseIpText(QStringLiteral("255.255.255.255")), std::optional<quint32>(0xFFFFFFFFu));
        // Forms QHostAddress would take, but which name an address the user did not write.
        for (const char* text : {"1.2.3", "10.1", "3232235527", "0x7f.0.0.1", " 1.2.3.4", "1.2.3.4 ", "1.2.3.256",
                                 "1.2.3.4.5", "::1", "", "1..2.3"})
            QVERIFY2(!parseIpText(QString::fromLatin1(text)), text);
    }
};

QTEST_GUILESS_MAIN(TestNaming)
#include "tst_naming.moc"

#include "common/packets/BasicInfoBlock.h"
#include "common/packets/FirmwareChecksum.h"
#include "common/packets/FirmwarePackets.h"
#include "common/packets/IpChangeDatagram.h"
#include "common/packets/StatusPacket.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace kvx;

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

} // namespace

class TestControlPackets : public QObject {
    Q_OBJECT
private slots:
    void statusPacketLayout()
    {
        StatusPacket s;
        s.playbackPosition = 0x0102030405060708ull;
        s.clipFrames = 1000;
        s.set(StatusPacket::Recording, true);
        s.set(StatusPacket::LoopPlayback, true);
        s.frameRate = 1000.0;
        s.shutterTime = 1234.5;
        s.diskCapacity = 1000;
        s.diskFree = 123;
        s.genlockFormat = 0x23;
        s.sdiFormat = 0xAF;
        s.selectedClip = -1;
        const QByteArray bytes = s.encode();
        QCOMPARE(bytes.size(), 104);
        QCOMPARE(bytes.left(4), hex("01 00 CD AB"));
        QCOMPARE(bytes.mid(16, 16), hex("08 07 06 05 04 03 02 01 E8 03 00 00 00 00 00 00"));
        QCOMPARE(bytes.mid(48, 8), hex("01 00 01 00 00 00 00 00"));
        QCOMPARE(bytes.mid(56, 8), hex("00 00 00 00 00 40 8F 40")); // 1000.0
        QCOMPARE(bytes.mid(64, 8), hex("00 00 00 00 00 4A 93 40")); // 1234.5
        QCOMPARE(bytes.mid(72, 16), hex("E8 03 00 00 00 00 00 00 7B 00 00 00 00 00 00 00"));
        QCOMPARE(bytes.mid(88, 2), hex("23 AF"));
        QCOMPARE(bytes.mid(96, 4), hex("FF FF FF FF"));
        QCOMPARE(*StatusPacket::decode(bytes), s);
    }

    void statusPacketCarriesUnnamedBytesAndRefusesShortInput()
    {
        QByteArray bytes(104, '\0');
        for (int i = 4; i < 104; ++i)
            bytes[i] = char(i);
        bytes.replace(0, 4, hex("01 00 CD AB"));
        const auto decoded = StatusPacket::decode(bytes);
        QVERIFY(decoded);
        QCOMPARE(decoded->encode(), bytes);
        QCOMPARE(decoded->selectedClip, 0x63626160);

        QVERIFY(!StatusPacket::decode(bytes.left(103)));
        QVERIFY(!StatusPacket::decode(QByteArrayView()));
        bytes[0] = 0x05;
        QVERIFY(!StatusPacket::decode(bytes));
    }

    void checksumExamples_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<quint64>("checksum");
        QTest::newRow("empty") << QByteArray() << quint64(0);
        QTest::newRow("one group") << hex("01 02 03 04") << quint64(0x01020304);
        QTest::newRow("sign-extended byte") << hex("00 00 00 80") << quint64(0xFFFFFFFFFFFFFF80ull);
        QTest::newRow("all ones wraps to zero") << hex("FF") << quint64(0);
        QTest::newRow("short last group") << hex("12 34 56 78 9A") << quint64(0x12345613);
        QTest::newRow("high byte early in a group") << hex("80 01") << quint64(0xFFFFFFFFFFFF8001ull);
    }
    void checksumExamples()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(quint64, checksum);
        QCOMPARE(firmwareChecksum(bytes), checksum);
    }

    void checksumCoverage()
    {
        QByteArray run(4096, '\0');
        QRandomGenerator rng(7);
        for (char& c : run)
            c = char(rng.bounded(256));
        const quint64 good = firmwareChecksum(run);
        // A flipped bit in the last byte of any group is always seen, whatever the data.
        for (int at = 3; at < run.size(); at += 4) {
            QByteArray changed = run;
            changed[at] = char(changed[at] ^ 0x01);
            QVERIFY2(firmwareChecksum(changed) != good, qPrintable(QString::number(at)));
        }
        // The sum is taken modulo 2^64 - 1, so all ones counts as zero: a zero group and an
        // all-ones group cannot be told apart.
        QCOMPARE(firmwareChecksum(hex("00 00 00 00 12")), firmwareChecksum(hex("FF FF FF FF 12")));
        // A byte of 0x80 or more hides the bytes before it in its group.
        QCOMPARE(firmwareChecksum(hex("01 02 03 80")), firmwareChecksum(hex("7F 00 00 80")));
    }

    void firmwareCommandRecords()
    {
        const FirmwareProgramCommand init{0, 0, 0, FirmwareProgramCommand::InitUpload};
        QCOMPARE(init.encode(), hex("00 00 00 00 00 00 00 00 00 00 00 00 09"));
        // Commands without data never carry any, whatever the caller hands over.
        const FirmwareProgramCommand sum{0, 0x100, 0x200, FirmwareProgramCommand::Checksum};
        QCOMPARE(sum.encode(), hex("00 00 00 00 00 01 00 00 00 02 00 00 0C"));

        const FirmwareProgramCommand data{7, 0x700, 3, FirmwareProgramCommand::Data};
        const QByteArray bytes = data.encode(hex("AA BB CC"));
        QCOMPARE(bytes, hex("07 00 00 00 00 07 00 00 03 00 00 00 02 AA BB CC"));
        const auto back = FirmwareProgramCommand::decode(bytes + hex("EE"));
        QVERIFY(back);
        QCOMPARE(back->command, data);
        QCOMPARE(back->data, hex("AA BB CC")); // only the announced length

        QVERIFY(!FirmwareProgramCommand::decode(bytes.left(15))); // data cut short
        QVERIFY(!FirmwareProgramCommand::decode(bytes.left(12)));
        QVERIFY(!FirmwareProgramCommand::decode(hex("00 00 00 00 00 00 00 00 FF FF FF FF 02")));
        QVERIFY(FirmwareProgramCommand::decode(init.encode()));
    }

    void firmwareStatusRecord()
    {
        FirmwareProgramStatus s;
        s.checksum = 0xFFFFFFFFFFFFFF80ull;
        s.progress = 0.5f;
        s.rangeStart = 0x1000;
        s.rangeLength = 0x20;
        s.missingPacket = 300;
        const QByteArray bytes = s.encode();
        QCOMPARE(bytes,
                 hex("00 00 00 00 00 00 00 00 80 FF FF FF FF FF FF FF 00 00 00 3F"
                     "00 10 00 00 20 00 00 00 2C 01 00 00"));
        QCOMPARE(*FirmwareProgramStatus::decode(bytes), s);
        QVERIFY(!FirmwareProgramStatus::decode(bytes.left(31)));
    }

    void basicInfoBlock()
    {
        BasicInfoBlock b;
        b.serialNumber = 12345678;
        b.firmwareVersion = 0x20240105;
        b.diskCount = 2;
        b.ip10G0 = {192, 168, 130, 70};
        b.mac1G = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
        b.setName(QStringLiteral("Stage A"));
        QByteArray bytes = b.encode();
        QCOMPARE(bytes.size(), 120);
        QCOMPARE(bytes.left(4), hex("4E 61 BC 00"));
        QCOMPARE(bytes.mid(20, 1), hex("02"));
        QCOMPARE(bytes.mid(26, 4), hex("C0 A8 82 46"));
        QCOMPARE(bytes.mid(34, 6), hex("00 1A 2B 3C 4D 5E"));
        QCOMPARE(bytes.mid(52, 12), hex("07 00 00 00") + QByteArray("Stage A\0", 8));

        bytes[4] = 'u'; // an unnamed byte, and bytes after the name's zero, come back unchanged
        bytes[119] = 'z';
        const auto back = BasicInfoBlock::decode(bytes);
        QVERIFY(back);
        QCOMPARE(back->encode(), bytes);
        QCOMPARE(back->name(), QStringLiteral("Stage A"));
        QVERIFY(!BasicInfoBlock::decode(bytes.left(119)));
    }

    void basicInfoNameIsCutToFit()
    {
        BasicInfoBlock b;
        b.setName(QString(70, QChar(u'x')));
        QCOMPARE(b.nameLength, 63u);
        QCOMPARE(b.nameBytes.back(), quint8(0));
        // A two-byte character that would straddle the cut is left out whole.
        b.setName(QString(62, QChar(u'x')) + QChar(u'\u00e9'));
        QCOMPARE(b.name(), QString(62, QChar(u'x')));
        // A name without any zero (sent by a peer) ends at the block's end.
        b.nameBytes.fill('n');
        QCOMPARE(b.name(), QString(64, QChar(u'n')));
    }

    void ipChangeDatagram()
    {
        IpChangeDatagram change{QHostAddress(QStringLiteral("192.168.130.71")).toIPv4Address(), 0x00000001002143A2ull};
        const QByteArray bytes = change.encode();
        QCOMPARE(bytes, hex("04 00 CD AB 02 01 00 00 04 00 00 00 47 82 A8 C0 A2 43 21 00 01 00 00 00"));
        const auto back = IpChangeDatagram::decode(bytes);
        QVERIFY(back);
        QCOMPARE(*back, change);
        QCOMPARE(back->address(), QHostAddress(QStringLiteral("192.168.130.71")));

        QVERIFY(!IpChangeDatagram::decode(bytes.left(23)));
        QByteArray otherCode = bytes;
        otherCode[4] = 3;
        QVERIFY(!IpChangeDatagram::decode(otherCode));
        QByteArray query = bytes;
        query[6] = 2;
        QVERIFY(!IpChangeDatagram::decode(query));
    }
};

QTEST_GUILESS_MAIN(TestControlPackets)
#include "tst_controlpackets.moc"

// MCS files read into a firmware image: segments, runs, and the files that must be refused
// before anything reaches a recorder.
#include "McsText.h"

#include "control/firmware/McsImage.h"

#include <QLoggingCategory>
#include <QtTest>

using Segment = McsImage::Segment;
using Run = McsImage::Run;

namespace {
void showFirmwareLog(QLoggingCategory* category)
{
    category->setEnabled(QtDebugMsg, QByteArray(category->categoryName()) == "vlm.control.firmware");
}
} // namespace

class TestMcsImage : public QObject {
    Q_OBJECT
private slots:
    void segmentsAndRuns()
    {
        McsImage image;
        const QByteArray a = McsText::pattern(16, 1), b = McsText::pattern(16, 2);
        QVERIFY(image.parse(McsText::record(0, 0, a) + McsText::record(0, 0x10, b) + McsText::endRecord()));
        QCOMPARE(image.segments(), QList<Segment>{Segment({0, 32})});
        QCOMPARE(image.runs(), QList<Run>{Run({0, 32, 0, 1})});
        QCOMPARE(image.bytes(), a + b);

        const auto previous = QLoggingCategory::installFilter(showFirmwareLog);
        QTest::ignoreMessage(QtDebugMsg, "Detected discontinuity from 20 to 10000");
        QTest::ignoreMessage(QtDebugMsg, "Segment-> first: 0 last: 1f");
        QTest::ignoreMessage(QtDebugMsg, "Segment-> first: 10000 last: 1000f");
        QVERIFY(image.parse(McsText::image({{0, a + b}, {0x10000, a}})));
        QLoggingCategory::installFilter(previous);
        QCOMPARE(image.segments(), QList<Segment>({{0, 32}, {0x10000, 0x10010}}));
        QCOMPARE(image.runs(), QList<Run>({{0, 32, 0, 1}, {0x10000, 0x10010, 1, 1}}));

        // 3,000,000 bytes: two runs of 5000 packets and one of 1719.
        QVERIFY(image.parse(McsText::image({{0x100, McsText::pattern(3000000)}})));
        QCOMPARE(image.runs(),
                 QList<Run>({{0x100, 0x100 + 1280000, 0, 5000},
                             {0x100 + 1280000, 0x100 + 2560000, 5000, 5000},
                             {0x100 + 2560000, 0x100 + 3000000, 10000, 1719}}));
        QCOMPARE(image.totalBytes(), 3000000u);
        QCOMPARE(image.totalPackets(), 11719u);
    }

    void overlapsAndEmptyRecords()
    {
        // A record rewriting bytes already given, one reaching back into the segment before it,
        // and a record without data: each byte is sent once, the latest value wins.
        McsImage image;
        const QByteArray text = McsText::record(0, 0x20, McsText::pattern(16, 3)) + McsText::record(0, 0x00, "AAAAAAAA")
            + McsText::record(0, 0x04, "BBBBBBBBBBBBBBBBBBBBBBBBBBBB") + McsText::record(0, 0x50, {})
            + McsText::endRecord();
        QVERIFY(image.parse(text));
        QCOMPARE(image.segments(), QList<Segment>({{0, 0x30}}));
        QCOMPARE(image.bytes().left(0x20), "AAAA" + QByteArray(28, 'B'));
        QCOMPARE(image.totalPackets(), 1u);
        QCOMPARE(image.totalBytes(), 0x30u);
    }

    void refusedFiles_data()
    {
        QTest::addColumn<QByteArray>("text");
        const QByteArray good = McsText::record(0, 0, McsText::pattern(16));
        QByteArray badSum = good;
        badSum[badSum.size() - 3] = badSum[badSum.size() - 3] == '0' ? '1' : '0';
        QByteArray notHex = good;
        notHex[12] = 'G';
        QTest::newRow("record checksum") << badSum + McsText::endRecord();
        QTest::newRow("unknown type") << good + McsText::record(7, 0, "ab") + McsText::endRecord();
        QTest::newRow("record cut short") << good + good.left(20);
        QTest::newRow("not hex") << notHex + McsText::endRecord();
        QTest::newRow("cut at a record boundary") << good + good;
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("only the end record") << McsText::endRecord();
        QTest::newRow("beyond 32 MiB") << McsText::image({{0x1FFFFF8, QByteArray(16, 'x')}});
        // 0xFFFF0000 + 0xFFF0 + 0x20 wraps in 32 bits and would land before the image.
        QTest::newRow("address wraps") << McsText::record(4, 0, QByteArray::fromHex("ffff"))
                + McsText::record(0, 0xFFF0, QByteArray(32, 'x')) + McsText::endRecord();
        QTest::newRow("address record of one byte") << McsText::record(4, 0, "a") + good + McsText::endRecord();
    }

    void refusedFiles()
    {
        QFETCH(QByteArray, text);
        McsImage image;
        QVERIFY(!image.parse(text));
        QCOMPARE(image.error(), QString("Unable to parse MCS firmware file."));
    }

    void moreThanTheRecorderCanCount()
    {
        // 65536 packets: the recorder's 16-bit missing-packet number cannot tell them apart.
        // One byte every 512 makes a packet each.
        QByteArray text;
        for (quint32 address = 0; address < 65535 * 512; address += 512)
            text += McsText::dataRecords(address, "x");
        McsImage image;
        QVERIFY(image.parse(text + McsText::endRecord()));
        QCOMPARE(image.totalPackets(), 65535u);
        QVERIFY(!image.parse(text + McsText::dataRecords(65535 * 512, "x") + McsText::endRecord()));
        QVERIFY2(image.error().contains("65536 packets"), qPrintable(image.error()));
    }
};

QTEST_APPLESS_MAIN(TestMcsImage)
#include "tst_mcs_image.moc"

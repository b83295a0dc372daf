#include "CatalogueTestData.h"

#include "common/catalogue/ClipInfoProcessor.h"

namespace {

QList<quint16> clipNumbers(const ClipInfoProcessor& p)
{
    QList<quint16> numbers;
    for (const auto& r : p.clips())
        numbers << r.info.clipNumber;
    return numbers;
}

} // namespace

class TestClipInfoProcessor : public QObject {
    Q_OBJECT
private slots:
    void transmissionInTwoPacketsCompletesOnceAndIgnoresRepeats()
    {
        ClipInfoProcessor p;
        const QByteArray first = listPacket(7, 3, {makeClip(2), makeClip(0)}, 0x1234);
        const QByteArray second = listPacket(7, 3, {makeClip(1)}, 0x1235);

        QVERIFY(!p.process(first));
        QVERIFY(p.clips().isEmpty());
        QVERIFY(p.process(second));
        QCOMPARE(clipNumbers(p), (QList<quint16>{0, 1, 2}));
        QCOMPARE(p.clips().at(0).info, makeClip(0));
        QCOMPARE(p.clips().at(0).listTag, 0x1234u);
        QCOMPARE(p.clips().at(1).listTag, 0x1235u);

        // The recorder repeats packets of a finished transmission; they change nothing.
        QVERIFY(!p.process(first));
        QVERIFY(!p.process(second));
        QCOMPARE(clipNumbers(p), (QList<quint16>{0, 1, 2}));

        // The next transmission starts afresh.
        QVERIFY(p.process(listPacket(8, 1, {makeClip(5)})));
        QCOMPARE(clipNumbers(p), QList<quint16>{5});
    }

    void equalCountReplacementIsKeptButNotReported()
    {
        ClipInfoProcessor p;
        QVERIFY(p.process(listPacket(1, 2, {makeClip(0), makeClip(1)})));
        QVERIFY(!p.process(listPacket(2, 2, {makeClip(0), makeClip(4)})));
        QCOMPARE(clipNumbers(p), (QList<quint16>{0, 4}));
        QVERIFY(p.process(listPacket(3, 3, {makeClip(0), makeClip(4), makeClip(6)})));
    }

    void emptyListCompletesAtOnce()
    {
        ClipInfoProcessor p;
        QVERIFY(p.process(listPacket(1, 2, {makeClip(0), makeClip(1)})));
        QVERIFY(p.process(listPacket(2, 0, {})));
        QVERIFY(p.clips().isEmpty());
    }

    void badPacketFailsItsTransmissionUntilANewListId()
    {
        ClipInfoProcessor p;
        QVERIFY(p.process(listPacket(1, 1, {makeClip(9)})));

        QVERIFY(!p.process(listPacket(5, 3, {makeClip(0), makeClip(1)})));
        const QByteArray last = listPacket(5, 3, {makeClip(2)});
        QVERIFY(!p.process(last.constData(), last.size() - 1)); // one byte short
        QVERIFY(!p.process(last));                              // rest of the failed transmission is ignored
        QCOMPARE(clipNumbers(p), QList<quint16>{9});

        QVERIFY(p.process(listPacket(6, 3, {makeClip(0), makeClip(1), makeClip(2)})));
        QCOMPARE(clipNumbers(p), (QList<quint16>{0, 1, 2}));
    }

    void headlessOrForeignPacketFailsTheTransmission()
    {
        ClipInfoProcessor p;
        QVERIFY(!p.process(listPacket(4, 2, {makeClip(0)})));
        QVERIFY(!p.process(QByteArray::fromHex("0200cdab0400")));
        QByteArray foreign = listPacket(4, 2, {makeClip(1)});
        foreign[0] = 0x05; // output-state magic
        QVERIFY(!p.process(foreign));
        QVERIFY(!p.process(listPacket(4, 2, {makeClip(1)})));
        QVERIFY(p.clips().isEmpty());
    }

    void overshootingTransmissionNeverCompletes()
    {
        ClipInfoProcessor p;
        QVERIFY(!p.process(listPacket(3, 3, {makeClip(0), makeClip(1)})));
        QVERIFY(!p.process(listPacket(3, 3, {makeClip(2), makeClip(3)})));
        QVERIFY(!p.process(listPacket(3, 3, {})));
        QVERIFY(p.clips().isEmpty());
    }
};

QTEST_MAIN(TestClipInfoProcessor)
#include "tst_clipinfoprocessor.moc"

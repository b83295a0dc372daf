#include "SampleClips.h"

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
        const QByteArray first = clipListPacket(7, {sampleClip(2), sampleClip(0)}, 3, 0x1234);
        const QByteArray second = clipListPacket(7, {sampleClip(1)}, 3, 0x1235);

        QVERIFY(!p.process(first));
        QVERIFY(p.clips().isEmpty());
        QVERIFY(p.process(second));
        QCOMPARE(clipNumbers(p), (QList<quint16>{0, 1, 2}));
        QCOMPARE(p.clips().at(0).info, sampleClip(0));
        QCOMPARE(p.clips().at(0).listTag, 0x1234u);
        QCOMPARE(p.clips().at(1).listTag, 0x1235u);

        // The recorder repeats packets of a finished transmission; they change nothing.
        QVERIFY(!p.process(first));
        QVERIFY(!p.process(second));
        QCOMPARE(clipNumbers(p), (QList<quint16>{0, 1, 2}));

        // The next transmission starts afresh.
        QVERIFY(p.process(clipListPacket(8, {sampleClip(5)}, 1)));
        QCOMPARE(clipNumbers(p), QList<quint16>{5});
    }

    void equalCountReplacementIsKeptButNotReported()
    {
        ClipInfoProcessor p;
        QVERIFY(p.process(clipListPacket(1, {sampleClip(0), sampleClip(1)}, 2)));
        QVERIFY(!p.process(clipListPacket(2, {sampleClip(0), sampleClip(4)}, 2)));
        QCOMPARE(clipNumbers(p), (QList<quint16>{0, 4}));
        QVERIFY(p.process(clipListPacket(3, {sampleClip(0), sampleClip(4), sampleClip(6)}, 3)));
    }

    void emptyListCompletesAtOnce()
    {
        ClipInfoProcessor p;
        QVERIFY(p.process(clipListPacket(1, {sampleClip(0), sampleClip(1)}, 2)));
        QVERIFY(p.process(clipListPacket(2, {}, 0)));
        QVERIFY(p.clips().isEmpty());
    }

    void badPacketFailsItsTransmissionUntilANewListId()
    {
        ClipInfoProcessor p;
        QVERIFY(p.process(clipListPacket(1, {sampleClip(9)}, 1)));

        QVERIFY(!p.process(clipListPacket(5, {sampleClip(0), sampleClip(1)}, 3)));
        const QByteArray last = clipListPacket(5, {sampleClip(2)}, 3);
        QVERIFY(!p.process(last.constData(), last.size() - 1)); // one byte short
        QVERIFY(!p.process(last));                              // rest of the failed transmission is ignored
        QCOMPARE(clipNumbers(p), QList<quint16>{9});

        QVERIFY(p.process(clipListPacket(6, {sampleClip(0), sampleClip(1), sampleClip(2)}, 3)));
        QCOMPARE(clipNumbers(p), (QList<quint16>{0, 1, 2}));
    }

    void headlessOrForeignPacketFailsTheTransmission()
    {
        ClipInfoProcessor p;
        QVERIFY(!p.process(clipListPacket(4, {sampleClip(0)}, 2)));
        QVERIFY(!p.process(QByteArray::fromHex("0200cdab0400")));
        QByteArray foreign = clipListPacket(4, {sampleClip(1)}, 2);
        foreign[0] = 0x05; // output-state magic
        QVERIFY(!p.process(foreign));
        QVERIFY(!p.process(clipListPacket(4, {sampleClip(1)}, 2)));
        QVERIFY(p.clips().isEmpty());
    }

    void overshootingTransmissionNeverCompletes()
    {
        ClipInfoProcessor p;
        QVERIFY(!p.process(clipListPacket(3, {sampleClip(0), sampleClip(1)}, 3)));
        QVERIFY(!p.process(clipListPacket(3, {sampleClip(2), sampleClip(3)}, 3)));
        QVERIFY(!p.process(clipListPacket(3, {}, 3)));
        QVERIFY(p.clips().isEmpty());
    }
};

QTEST_MAIN(TestClipInfoProcessor)
#include "tst_clipinfoprocessor.moc"

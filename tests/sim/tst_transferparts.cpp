#include "sim/transfer/CalibrationStreams.h"
#include "sim/transfer/TokenBucket.h"
#include "sim/transfer/TransferFaults.h"

#include <QTest>

class TestTransferParts : public QObject {
    Q_OBJECT

private slots:
    // A 3840x2160 calibration block (66355200 bytes) is two chunks of 5000 x 8952 bytes at most.
    void calibrationStreamOffsets()
    {
        const quint64 block = 3840ull * 2160 * 8, chunk = 5000ull * 8952;
        const quint32 receiver = 0x0A4D2901, other = 0x0A4D2902;
        CalibrationStreams s;
        QCOMPARE(s.offsetFor(receiver, 2, 100, chunk, block), quint64(0));
        QCOMPARE(s.offsetFor(receiver, 2, 101, chunk, block), chunk);      // next id continues
        QCOMPARE(s.offsetFor(receiver, 2, 100, chunk, block), quint64(0)); // resend keeps its offset
        QCOMPARE(s.offsetFor(receiver, 2, 101, chunk, block), chunk);
        // Streams are kept per receiver and per clip.
        QCOMPARE(s.offsetFor(other, 2, 102, chunk, block), quint64(0));
        QCOMPARE(s.offsetFor(receiver, 3, 102, chunk, block), quint64(0));
        // An id that is neither seen nor next starts over at 0, and forgets the old ids.
        QCOMPARE(s.offsetFor(receiver, 2, 500, chunk, block), quint64(0));
        QCOMPARE(s.offsetFor(receiver, 2, 101, chunk, block), quint64(0));
        // Chunk ids wrap at 65536.
        QCOMPARE(s.offsetFor(receiver, 4, 65535, chunk, block), quint64(0));
        QCOMPARE(s.offsetFor(receiver, 4, 0, chunk, block), chunk);
        // A stream that ran past the block's end starts over even on the next id.
        QCOMPARE(s.offsetFor(receiver, 4, 1, chunk, block), quint64(0));
    }

    void tokenBucketPacesAndCaps()
    {
        TokenBucket bucket(1e9, 10000); // 1 GB/s, 10 kB cap
        bucket.refill(0);
        QVERIFY(!bucket.allows(1));
        QCOMPARE(bucket.nsUntil(5000), qint64(5001));
        bucket.refill(5000);
        QVERIFY(bucket.allows(5000));
        bucket.consume(5000);
        QVERIFY(!bucket.allows(1));
        bucket.refill(1000000000); // a long stall saves up no more than the cap
        QVERIFY(bucket.allows(10000));
        QVERIFY(!bucket.allows(10001));

        TokenBucket unpaced(0, 0);
        QVERIFY(unpaced.allows(1e12));
        QCOMPARE(unpaced.nsUntil(1e12), qint64(0));
    }

    void faultDiceFollowTheirRates()
    {
        TransferFaults f;
        f.seed = 42;
        f.lossPercent = 10;
        f.duplicatePercent = 5;
        FaultDice dice(f);
        int drops = 0, duplicates = 0;
        for (int i = 0; i < 100000; ++i) {
            const auto fate = dice.nextDataPacket();
            drops += fate == FaultDice::Fate::Drop;
            duplicates += fate == FaultDice::Fate::Duplicate;
        }
        QVERIFY(drops > 9500 && drops < 10500);
        QVERIFY(duplicates > 4000 && duplicates < 5000); // 5 % of the 90 % not dropped

        // Bursts drop their whole length in a row; the same seed gives the same sequence.
        TransferFaults b;
        b.burstPercent = 1;
        b.burstLength = 25;
        FaultDice one(b), two(b);
        QList<int> runs;
        int run = 0;
        for (int i = 0; i < 20000; ++i) {
            const auto fate = one.nextDataPacket();
            QCOMPARE(fate, two.nextDataPacket());
            if (fate == FaultDice::Fate::Drop) {
                ++run;
            } else if (run) {
                runs.append(run);
                run = 0;
            }
        }
        QVERIFY(!runs.isEmpty());
        for (int r : runs)
            QVERIFY(r % 25 == 0);
    }
};

QTEST_GUILESS_MAIN(TestTransferParts)
#include "tst_transferparts.moc"

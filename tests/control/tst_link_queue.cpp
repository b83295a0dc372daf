// Spaced commands to one link without blocking the event loop.
#include "EventLoopWatch.h"

#include "control/manager/LinkCommandQueue.h"

#include <QElapsedTimer>
#include <QtTest>

class TestLinkQueue : public QObject {
    Q_OBJECT
private slots:
    void stepsKeepTheirSpacingWhileTheLoopRuns()
    {
        LinkCommandQueue queue;
        QElapsedTimer clock;
        clock.start();
        // A fast timer keeps firing meanwhile. Each step notes how often it ticked: a queue
        // that waited inside the loop would leave no tick between spaced steps, however
        // loaded the machine is.
        const EventLoopWatch watch;
        QList<qint64> times;
        QList<int> ticks;
        auto step = [&] {
            times.append(clock.elapsed());
            ticks.append(watch.ticks());
        };
        queue.append(50, step);
        queue.append(80, step);
        queue.append(0, step);
        queue.append(80, step);
        QVERIFY(!queue.isIdle());
        QVERIFY(times.isEmpty()); // nothing runs inside append

        QTRY_VERIFY(queue.isIdle());
        QCOMPARE(times.size(), 4);
        QVERIFY(times[0] >= 50);
        QVERIFY(times[1] - times[0] >= 80);
        QVERIFY(times[3] - times[2] >= 80);
        QVERIFY(ticks[1] > ticks[0]);
        QVERIFY(ticks[3] > ticks[2]);

        // Appending to an idle queue counts from then; clearing drops what is pending.
        times.clear();
        const qint64 start = clock.elapsed();
        queue.append(30, step);
        queue.append(30, step);
        QTRY_COMPARE(times.size(), 1);
        QVERIFY(times[0] - start >= 30);
        queue.clear();
        QTest::qWait(80);
        QCOMPARE(times.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestLinkQueue)
#include "tst_link_queue.moc"

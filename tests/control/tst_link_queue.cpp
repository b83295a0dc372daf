// Spaced commands to one link without blocking the event loop.
#include "control/manager/LinkCommandQueue.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

class TestLinkQueue : public QObject {
    Q_OBJECT
private slots:
    void stepsKeepTheirSpacingWhileTheLoopRuns()
    {
        LinkCommandQueue queue;
        QElapsedTimer clock;
        clock.start();
        QList<qint64> times;
        auto step = [&] { times.append(clock.elapsed()); };
        queue.append(50, step);
        queue.append(80, step);
        queue.append(0, step);
        queue.append(80, step);
        QVERIFY(!queue.isIdle());
        QVERIFY(times.isEmpty()); // nothing runs inside append

        // A fast timer keeps firing meanwhile: the queue never holds up the loop.
        qint64 longestGap = 0;
        qint64 lastTick = 0;
        QTimer tick;
        tick.setInterval(5);
        connect(&tick, &QTimer::timeout, this, [&] {
            longestGap = std::max(longestGap, clock.elapsed() - lastTick);
            lastTick = clock.elapsed();
        });
        tick.start();
        QTRY_VERIFY(queue.isIdle());
        QCOMPARE(times.size(), 4);
        QVERIFY(times[0] >= 50);
        QVERIFY(times[1] - times[0] >= 80);
        QVERIFY(times[3] - times[2] >= 80);
        if (!qEnvironmentVariableIsSet("VLM_SANITIZED"))
            QVERIFY2(longestGap < 40, qPrintable(QString::number(longestGap)));

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

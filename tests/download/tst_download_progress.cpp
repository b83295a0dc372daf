// What the main window shows of a running download.
#include "download/DownloadProgress.h"

#include <QtTest>

class TestDownloadProgress : public QObject {
    Q_OBJECT
private slots:
    void progressRoundsHalfUpAndFinishesAtTheEnd()
    {
        const DownloadProgress first = DownloadProgress::of(1, 200, "Clip 1", 2.66);
        QCOMPARE(first.text, QString("Downloading 1% - 'Clip 1' - Speed: 2.7 Gbps")); // 0.5 % rounds up
        QCOMPARE(first.barValue, 5);
        QVERIFY(!first.finished);

        const DownloadProgress almost = DownloadProgress::of(199, 200, "Clip 1", 0);
        QVERIFY(almost.text.startsWith("Downloading 100% "));
        QCOMPARE(almost.barValue, 995);
        QVERIFY(!almost.finished); // the bar stays until the last frame

        const DownloadProgress big = DownloadProgress::of(2000000000, 2100000000, "Clip 1", 0);
        QCOMPARE(big.barValue, 952); // no overflow on long clips
        QVERIFY(big.text.startsWith("Downloading 95% "));

        for (const DownloadProgress& done :
             {DownloadProgress::of(200, 200, "Clip 1", 9.9), DownloadProgress::of(0, 0, "x", 0)}) {
            QVERIFY(done.finished);
            QVERIFY(done.text.isEmpty());
        }
    }
};

QTEST_GUILESS_MAIN(TestDownloadProgress)
#include "tst_download_progress.moc"

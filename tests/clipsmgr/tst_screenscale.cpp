#include "clipsmgr/ScreenScale.h"

#include <QApplication>
#include <QWidget>
#include <QtTest>

class TestScreenScale : public QObject {
    Q_OBJECT
private slots:
    void factorFollowsDpiAboveNinetySix()
    {
        QCOMPARE(scaleFactorForDpi(144.0), 1.5);
        QCOMPARE(scaleFactorForDpi(192.0), 2.0);
        QCOMPARE(scaleFactorForDpi(96.0), 1.0);
        QCOMPARE(scaleFactorForDpi(72.0), 1.0);
    }

    void scaledValuesAreRoundedHalfUpAndEven()
    {
        const double f = scaleFactorForDpi(144.0);
        QCOMPARE(scaledByFactor(500, f), 750);
        QCOMPARE(scaledByFactor(51, f), 76); // 76.5 rounds to 77, then the lowest bit goes
        QCOMPARE(scaledByFactor(3, f), 4);   // 4.5 -> 5 -> 4
        QCOMPARE(scaledByFactor(7, 1.0), 6); // even at factor 1
        QCOMPARE(scaledByFactor(0, f), 0);
    }

    void metricsAtOneAndAHalf()
    {
        QCOMPARE(scaledMetricsByFactor(1.5), (std::array<int, 4>{30, 48, 18, 24}));
        QCOMPARE(scaledMetricsByFactor(1.0), (std::array<int, 4>{20, 32, 12, 16}));
        // 20 x 1.25 = 25 -> 24; 12 x 1.25 = 15 -> 14
        QCOMPARE(scaledMetricsByFactor(1.25), (std::array<int, 4>{24, 40, 14, 20}));
    }

    void factorOneOnlyFixesWhenAsked()
    {
        QWidget loose;
        loose.resize(300, 200);
        scaleWidgetByFactor(&loose, 1.0, false);
        QCOMPARE(loose.size(), QSize(300, 200));
        QCOMPARE(loose.minimumSize(), QSize(0, 0));
        QCOMPARE(loose.maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));

        QWidget fixed;
        fixed.resize(300, 200);
        scaleWidgetByFactor(&fixed, 1.0, true);
        QCOMPARE(fixed.minimumSize(), QSize(300, 200));
        QCOMPARE(fixed.maximumSize(), QSize(300, 200));
    }

    void widgetAndDirectChildrenGrow()
    {
        QWidget window;
        window.resize(301, 200);
        auto* child = new QWidget(&window);
        child->setGeometry(11, 21, 101, 31);
        auto* grandChild = new QWidget(child);
        grandChild->setGeometry(1, 1, 10, 10);

        scaleWidgetByFactor(&window, 1.5, false);
        QCOMPARE(window.size(), QSize(452, 300)); // 451.5 rounds up, not forced even
        QCOMPARE(window.minimumSize(), QSize(452, 300));
        QCOMPARE(window.maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
        QCOMPARE(child->geometry(), QRect(17, 32, 152, 47));
        QCOMPARE(grandChild->geometry(), QRect(1, 1, 10, 10)); // only direct children move

        QWidget dialog;
        dialog.resize(100, 50);
        scaleWidgetByFactor(&dialog, 1.5, true);
        QCOMPARE(dialog.maximumSize(), QSize(150, 75));
    }
};

QTEST_MAIN(TestScreenScale)
#include "tst_screenscale.moc"

// What the playback window decides without a window: where playback goes next, which frames a
// repaint draws, how the picture fits, what the slider stands for and the texts shown.

#include "SampleClips.h"
#include "playback/AspectFit.h"
#include "playback/FramePlan.h"
#include "playback/PlaybackCursor.h"
#include "playback/PlaybackTexts.h"
#include "playback/SliderMapping.h"

#include <QtTest>

using playback::PlaybackCursor;

class TestPlaybackLogic : public QObject {
    Q_OBJECT
private slots:
    void playbackLoopsInsideTheTrimRangeBothWays();
    void steppingStaysInsideTheClip();
    void indicesOutsideTheClipShowFrameZero();
    void firstFramesAndGapsGoWithoutTheTemporalFilter();
    void missingFramesArePlannedBlack();
    void aspectFit_data();
    void aspectFit();
    void sliderFrameMapping();
    void presentBarsFollowTheDownload();
    void scaledSliderPositionsRoundTrip();
    void texts();
};

void TestPlaybackLogic::playbackLoopsInsideTheTrimRangeBothWays()
{
    PlaybackCursor cursor;
    cursor.setFrame(18);
    cursor.press(PlaybackCursor::Forward);
    QList<int> shown;
    for (int i = 0; i < 5; ++i)
        shown << cursor.advance(10, 20);
    QCOMPARE(shown, (QList<int>{19, 20, 10, 11, 12}));

    cursor.stop();
    cursor.press(PlaybackCursor::Reverse);
    cursor.setFrame(11);
    shown.clear();
    for (int i = 0; i < 4; ++i)
        shown << cursor.advance(10, 20);
    QCOMPARE(shown, (QList<int>{10, 20, 19, 18}));

    // A one-frame range plays that frame over and over.
    for (int i = 0; i < 3; ++i)
        QCOMPARE(cursor.advance(7, 7), 7);

    // Stopped, the frame stays where it is, even outside the range.
    cursor.stop();
    cursor.setFrame(30);
    QCOMPARE(cursor.advance(10, 20), 30);
}

void TestPlaybackLogic::steppingStaysInsideTheClip()
{
    // Two presses to the left on a one-frame clip stay on its frame instead of reaching -2.
    PlaybackCursor single;
    single.step(-1, 1);
    single.step(-1, 1);
    QCOMPARE(single.frame(), 0);
    single.step(+1, 1);
    QCOMPARE(single.frame(), 0);

    // Past either end of the clip stepping goes round; trims do not bind it.
    PlaybackCursor cursor;
    cursor.step(-1, 100);
    QCOMPARE(cursor.frame(), 99);
    cursor.step(+1, 100);
    QCOMPARE(cursor.frame(), 0);
    cursor.setFrame(41);
    cursor.step(+1, 100);
    cursor.step(+1, 100);
    cursor.step(-1, 100);
    QCOMPARE(cursor.frame(), 42);

    // A frame left outside the clip (a clip replaced by a shorter one) steps from frame 0.
    cursor.setFrame(500);
    cursor.step(+1, 100);
    QCOMPARE(cursor.frame(), 1);
    cursor.step(-1, 0);
    QCOMPARE(cursor.frame(), 0);
}

void TestPlaybackLogic::indicesOutsideTheClipShowFrameZero()
{
    QCOMPARE(playback::shownFrame(99, 100), 99);
    QCOMPARE(playback::shownFrame(100, 100), 0);
    QCOMPARE(playback::shownFrame(250, 100), 0);
    QCOMPARE(playback::shownFrame(-1, 100), 0);
    QCOMPARE(playback::planFrame(100, 100, {{0, 99}}).frame, 0);
}

void TestPlaybackLogic::firstFramesAndGapsGoWithoutTheTemporalFilter()
{
    const QList<ClipSegment> whole{{0, 99}};
    QList<int> spans;
    for (int frame : {0, 1, 2, 3, 50, 96, 99})
        spans << playback::planFrame(frame, 100, whole).span;
    // Near the end the pipeline repeats the last frame, so the window is still used there.
    QCOMPARE(spans, (QList<int>{1, 1, 1, 7, 7, 7, 7}));

    // A neighbour not on disk keeps it out of the window.
    const QList<ClipSegment> gap{{0, 40}, {44, 99}};
    QCOMPARE(playback::planFrame(37, 100, gap).span, 7);
    QCOMPARE(playback::planFrame(38, 100, gap).span, 1);
    QCOMPARE(playback::planFrame(46, 100, gap).span, 1);
    QCOMPARE(playback::planFrame(47, 100, gap).span, 7);
}

void TestPlaybackLogic::missingFramesArePlannedBlack()
{
    const QList<ClipSegment> present{{0, 9}, {20, 29}};
    QVERIFY(playback::planFrame(9, 50, present).present);
    QVERIFY(!playback::planFrame(10, 50, present).present);
    QVERIFY(playback::planFrame(20, 50, present).present);
    QVERIFY(!playback::planFrame(49, 50, present).present);
    QVERIFY(!playback::planFrame(0, 50, {}).present);
    QVERIFY(!playback::planFrame(0, 0, {{0, 0}}).present);
}

void TestPlaybackLogic::aspectFit_data()
{
    QTest::addColumn<QSize>("area");
    QTest::addColumn<QSize>("clip");
    QTest::addColumn<QRect>("picture");
    QTest::newRow("wide clip, wide window, bars above and below")
        << QSize(800, 500) << QSize(1920, 1080) << QRect(0, 25, 800, 450);
    QTest::newRow("wide clip, wider window, bars at the sides")
        << QSize(1000, 400) << QSize(2048, 1080) << QRect(121, 0, 758, 400);
    QTest::newRow("tall clip, tall window") << QSize(400, 700) << QSize(480, 1080) << QRect(44, 0, 311, 700);
    QTest::newRow("tall clip, narrow tall window") << QSize(300, 900) << QSize(480, 1080) << QRect(0, 112, 300, 675);
    QTest::newRow("tall clip, wide window") << QSize(800, 500) << QSize(480, 1080) << QRect(289, 0, 222, 500);
    QTest::newRow("no clip size fills the area") << QSize(640, 360) << QSize(0, 0) << QRect(0, 0, 640, 360);
    QTest::newRow("clip without height") << QSize(640, 360) << QSize(1920, 0) << QRect(0, 0, 640, 360);
}

void TestPlaybackLogic::aspectFit()
{
    QFETCH(QSize, area);
    QFETCH(QSize, clip);
    QFETCH(QRect, picture);
    const QRect fitted = playback::aspectFit(area, clip);
    QCOMPARE(fitted, picture);
    QVERIFY(QRect(QPoint(0, 0), area).contains(fitted));
}

void TestPlaybackLogic::sliderFrameMapping()
{
    // One position a frame: the value is the frame.
    QCOMPARE(playback::correspondingFrame(57, 0, 99, 100), 57);
    // One frame: range 0..0, the value itself.
    QCOMPARE(playback::correspondingFrame(0, 0, 0, 1), 0);
    // A slider of 0..1000 over 101 frames: scaled and truncated.
    QCOMPARE(playback::correspondingFrame(1000, 0, 1000, 101), 100);
    QCOMPARE(playback::correspondingFrame(999, 0, 1000, 101), 99);
    QCOMPARE(playback::correspondingFrame(5, 0, 1000, 101), 0);
}

void TestPlaybackLogic::presentBarsFollowTheDownload()
{
    const QList<ClipSegment> segments{{0, 9}, {40, 59}};
    QCOMPARE(playback::presentBars(false, 100, segments), segments);
    QCOMPARE(playback::presentBars(false, 100, {}), QList<ClipSegment>{});
    // A finished clip is present whole, whatever its list says.
    QCOMPARE(playback::presentBars(true, 100, segments), (QList<ClipSegment>{{0, 99}}));
    QCOMPARE(playback::presentBars(true, 0, segments), QList<ClipSegment>{});
}

void TestPlaybackLogic::scaledSliderPositionsRoundTrip()
{
    const playback::SliderScale brightness{0, 100, 0.0, 1.0};
    // 0.29 x 100 is 28.999...: it shows as 29, not 28.
    QCOMPARE(brightness.position(0.29), 29);
    QCOMPARE(brightness.position(0.57), 57);
    for (int p = 0; p <= 100; ++p)
        QCOMPARE(brightness.position(brightness.value(p)), p);

    const playback::SliderScale pedestal{0, 400, -200.0, 200.0};
    QCOMPARE(pedestal.position(-200.0), 0);
    QCOMPARE(pedestal.position(200.0), 400);
    QCOMPARE(pedestal.value(150), -50.0);
    for (int p = 0; p <= 400; ++p)
        QCOMPARE(pedestal.position(pedestal.value(p)), p);

    const playback::SliderScale gain{0, 300, 0.0, 3.0};
    QCOMPARE(gain.value(150), 1.5);
    // Values outside the range stop at the slider's ends; a property without a range at its start.
    QCOMPARE(gain.position(7.0), 300);
    QCOMPARE(gain.position(-1.0), 0);
    QCOMPARE((playback::SliderScale{5, 50, 2.0, 2.0}.position(2.0)), 5);
    QCOMPARE((playback::SliderScale{5, 5, 0.0, 1.0}.value(5)), 0.0);
}

void TestPlaybackLogic::texts()
{
    QCOMPARE(playback::windowTitle(2, 2048, 1080, 499.9), QString("Clip 3 (2048x1080 @ 499 fps)"));
    QCOMPARE(playback::windowTitle(0, 1920, 1080, std::nan("")), QString("Clip 1 (1920x1080 @ 0 fps)"));
    QCOMPARE(playback::frameLabel(0, 1000.0), QString("1 (0.000 s)"));
    QCOMPARE(playback::frameLabel(1499, 500.0), QString("1500 (2.998 s)"));
    QCOMPARE(playback::frameLabel(41, 0.0), QString("42"));
    QVERIFY(playback::frameLabel(41, 500.0, false).startsWith("42 (0.082 s)"));
    QVERIFY(playback::frameLabel(41, 500.0, false).contains("not downloaded"));
}

QTEST_APPLESS_MAIN(TestPlaybackLogic)
#include "tst_playback_logic.moc"

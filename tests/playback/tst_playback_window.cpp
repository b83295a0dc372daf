// The playback window on clip folders holding the simulator's content: what it draws, how it
// plays, steps and trims through its buttons, a clip still downloading, and damaged folders.
// Each grab of the view is exactly one repaint, so frame sequences are checked repaint by
// repaint.

#include "SimClipFolders.h"
#include "TestFiles.h"
#include "playback/ImageDisplayWidget.h"
#include "playback/ImageDisplayWindow.h"
#include "playback/LoadFrameSlider.h"
#include "playback/PlaybackHost.h"
#include "render/pipeline/OffscreenRenderer.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int kWidth = 256;
constexpr int kHeight = 128;
constexpr int kFrames = 12;

struct RecordingHost : PlaybackHost {
    void tellUser(const QString& text) override { messages << text; }
    QStringList messages;
};

testdata::FolderContent content(quint64 frames = kFrames)
{
    return testdata::simulatorContent(testdata::simulatedClip(1, frames, kWidth, kHeight));
}

QSharedPointer<SavedClip> openClip(const QString& folder)
{
    auto clip = QSharedPointer<SavedClip>::create();
    return clip->openFolder(folder) ? clip : nullptr;
}

// One repaint of the view, as it shows on screen.
QImage repaint(ImageDisplayWidget* view)
{
    return view->grabFramebuffer().convertToFormat(QImage::Format_RGB888);
}

// Difference between the lightest and the darkest pixel: 0 for a plain picture.
int spread(const QImage& image)
{
    int low = 255;
    int high = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int grey = qGray(image.pixel(x, y));
            low = std::min(low, grey);
            high = std::max(high, grey);
        }
    }
    return high - low;
}

bool isBlack(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xffffff) != 0)
                return false;
    return true;
}

// True once the view has not repainted for quietMs, within timeoutMs.
bool becomesQuiet(QSignalSpy& shown, int quietMs, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        shown.clear();
        QTest::qWait(quietMs);
        if (shown.isEmpty())
            return true;
    }
    return false;
}

// The frames shown by the next count repaints.
QList<int> framesOfRepaints(ImageDisplayWidget* view, int count)
{
    QSignalSpy shown(view, &ImageDisplayWidget::newPlaybackFrame);
    for (int i = 0; i < count; ++i)
        repaint(view);
    QList<int> frames;
    for (const QList<QVariant>& signal : std::as_const(shown))
        frames << signal.at(0).toInt();
    return frames;
}

} // namespace

class TestPlaybackWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase() { window_.reset(); }

    void viewDrawsWhatTheRendererMakesOfASimulatorFrame();
    void playbackLoopsInsideTheTrimRangeBothWays();
    void forwardDuringReverseStopsAndASecondPressPlaysForward();
    void stoppedViewRepaintsOnlyForChanges();
    void steppingWhileStoppedStaysInsideTheClip();
    void trimsStayInOrderAndSurviveReopening();
    void pictureKeepsTheClipsProportions();
    void downloadingClipPlaysWhatIsPresent();
    void shortFrameFileShowsTheMissingFramesBlack();
    void unusableCalibrationPlaysUncalibrated();
    void damagedRenderStateOpensWithDefaults();
    void clipWithoutPictureSizeCountsAsNone();

private:
    QPushButton* button(const char* name) { return window_->findChild<QPushButton*>(name); }
    QString frameText() { return window_->findChild<QLabel*>("frameLabel")->text(); }
    // A copy of the finished clip's folder, for tests that damage it.
    QString copyOfFolder();

    QTemporaryDir dir_;
    QString folder_;
    RecordingHost host_;
    std::unique_ptr<ImageDisplayWindow> window_;
    QSharedPointer<SavedClip> clip_;
};

void TestPlaybackWindow::initTestCase()
{
    folder_ = testdata::makeClipFolder(dir_.filePath("clips"), content());
    QVERIFY(!folder_.isEmpty());
    // One window for all tests: setting up OpenGL and the pipeline is the slow part.
    window_ = std::make_unique<ImageDisplayWindow>(&host_);
    window_->resize(800, 500);
    window_->setClip(openClip(folder_));
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void TestPlaybackWindow::init()
{
    clip_ = openClip(folder_);
    QVERIFY(clip_);
    // Trims are kept with the folder; every test starts with the whole clip.
    clip_->setLowerTrim(0);
    clip_->setUpperTrim(kFrames - 1);
    window_->setClip(clip_);
    if (window_->isHidden()) {
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }
}

void TestPlaybackWindow::cleanup()
{
    // Hidden between tests, so the repaint timer does not keep drawing the test picture.
    window_->hide();
    window_->setClip({});
    window_->resize(800, 500);
    clip_.reset();
}

QString TestPlaybackWindow::copyOfFolder()
{
    static int copies = 0;
    const QString copy = dir_.filePath(QStringLiteral("copy%1").arg(++copies));
    QDir().mkpath(copy);
    for (const QString& name : QDir(folder_).entryList(QDir::Files))
        QFile::copy(folder_ + "/" + name, copy + "/" + name);
    return copy;
}

void TestPlaybackWindow::viewDrawsWhatTheRendererMakesOfASimulatorFrame()
{
    window_->hide();
    ImageDisplayWidget view;
    view.resize(kWidth, kHeight); // one pixel of the view for each pixel of the clip
    view.attachClip(clip_);
    view.SetCurrentFrame(5);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    repaint(&view);
    const QImage shown = repaint(&view);
    QCOMPARE(shown.size(), QSize(kWidth, kHeight));
    QCOMPARE(clip_->renderState().calibrationMode(), kvx::CalibrationMode::FullPolynomial);
    QVERIFY2(spread(shown) > 100, "the simulator's bars and ramp, not a plain picture");

    kvx::OffscreenRenderer renderer;
    QVERIFY(renderer.open(QSize(kWidth, kHeight)));
    QByteArray calibration;
    int width = 0;
    int height = 0;
    QVERIFY(clip_->loadCalibration(&calibration, &width, &height));
    QVERIFY(renderer.pipe().resize(width, height));
    QVERIFY(renderer.pipe().uploadPolynomial(calibration, width, height));
    renderer.pipe().applyRenderState(clip_->renderState());
    const auto frames = kvx::FrameBlock::describeMapped(clip_->frameData(0), clip_->dataSize(), kFrames, kWidth,
                                                        kHeight, clip_->bytesPerFrame());
    renderer.beginFrames();
    renderer.renderFrame(frames, 5, 7);
    renderer.renderFrame(frames, 5, 7);
    const QByteArray expected = renderer.readFrame();

    int worst = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const QRgb pixel = shown.pixel(x, y);
            const auto* rgb = reinterpret_cast<const uchar*>(expected.constData()) + (y * kWidth + x) * 3;
            worst = std::max({worst, std::abs(qRed(pixel) - rgb[0]), std::abs(qGreen(pixel) - rgb[1]),
                              std::abs(qBlue(pixel) - rgb[2])});
        }
    }
    QVERIFY2(worst <= 1, qPrintable(QStringLiteral("pixels differ by up to %1").arg(worst)));
}

void TestPlaybackWindow::playbackLoopsInsideTheTrimRangeBothWays()
{
    kvx::LoadFrameSlider* slider = window_->slider();
    slider->setValue(3);
    button("lowerTrimButton")->click();
    slider->setValue(6);
    button("upperTrimButton")->click();
    QCOMPARE(clip_->lowerTrim(), 3);
    QCOMPARE(clip_->upperTrim(), 6);

    QCOMPARE(window_->windowTitle(), QString("Clip 2 (256x128 @ 500 fps)"));
    button("fwdPlayButton")->click();
    QCOMPARE(framesOfRepaints(window_->display(), 6), (QList<int>{3, 4, 5, 6, 3, 4}));
    QCOMPARE(slider->value(), 4);

    button("pauseButton")->click();
    QCOMPARE(framesOfRepaints(window_->display(), 2), (QList<int>{4, 4}));
    button("revPlayButton")->click();
    QCOMPARE(framesOfRepaints(window_->display(), 6), (QList<int>{3, 6, 5, 4, 3, 6}));
    QCOMPARE(clip_->currentFrame(), 6); // the clip remembers where playback stands
}

void TestPlaybackWindow::forwardDuringReverseStopsAndASecondPressPlaysForward()
{
    const QList<QPushButton*> buttons = window_->findChildren<QPushButton*>(QString(), Qt::FindDirectChildrenOnly);
    QVERIFY(buttons.size() > 10);
    for (const QPushButton* b : buttons)
        QVERIFY2(!b->icon().pixmap(32).isNull(), qPrintable(b->objectName() + " has no picture"));

    QPushButton* forward = button("fwdPlayButton");
    QPushButton* reverse = button("revPlayButton");
    reverse->click();
    QCOMPARE(window_->display()->direction(), -1);
    QVERIFY(reverse->isChecked() && !forward->isChecked());
    forward->click();
    QCOMPARE(window_->display()->direction(), 0);
    QVERIFY(!reverse->isChecked() && !forward->isChecked());
    forward->click();
    QCOMPARE(window_->display()->direction(), 1);
    QVERIFY(!reverse->isChecked() && forward->isChecked());
    button("pauseButton")->click();
    QCOMPARE(window_->display()->direction(), 0);
    QVERIFY(!forward->isChecked());
}

void TestPlaybackWindow::stoppedViewRepaintsOnlyForChanges()
{
    QSignalSpy shown(window_->display(), &ImageDisplayWidget::newPlaybackFrame);
    QVERIFY(becomesQuiet(shown, 500, 20000));

    window_->slider()->setValue(7);
    QTRY_VERIFY_WITH_TIMEOUT(!shown.isEmpty() && shown.last().at(0).toInt() == 7, 10000);
    QVERIFY(becomesQuiet(shown, 500, 20000));
    clip_->renderState().setValue("Gamma", 1.5); // from the paint dialog, say
    QTRY_VERIFY_WITH_TIMEOUT(!shown.isEmpty(), 10000);
    QVERIFY(becomesQuiet(shown, 500, 20000));

    button("fwdPlayButton")->click();
    QTRY_VERIFY_WITH_TIMEOUT(shown.count() >= 5, 20000);
}

void TestPlaybackWindow::steppingWhileStoppedStaysInsideTheClip()
{
    ImageDisplayWidget* view = window_->display();
    window_->slider()->setValue(0);
    button("stepLeftButton")->click();
    QCOMPARE(framesOfRepaints(view, 1), QList<int>{kFrames - 1});
    QCOMPARE(window_->slider()->value(), kFrames - 1);
    QCOMPARE(frameText(), QString("12 (0.022 s)"));
    button("stepRightButton")->click();
    button("stepRightButton")->click();
    QCOMPARE(framesOfRepaints(view, 1), QList<int>{1});

    // An index at or beyond the frame count is shown as frame 0.
    view->SetCurrentFrame(kFrames);
    QCOMPARE(framesOfRepaints(view, 1), QList<int>{0});
    view->SetCurrentFrame(40);
    QCOMPARE(framesOfRepaints(view, 2), (QList<int>{0, 0}));

    button("gotoLastButton")->click();
    QCOMPARE(framesOfRepaints(view, 1), QList<int>{kFrames - 1});
    button("gotoFirstButton")->click();
    QCOMPARE(framesOfRepaints(view, 1), QList<int>{0});
}

void TestPlaybackWindow::trimsStayInOrderAndSurviveReopening()
{
    kvx::LoadFrameSlider* slider = window_->slider();
    slider->setValue(5);
    button("upperTrimButton")->click();
    slider->setValue(9);
    button("lowerTrimButton")->click(); // above the upper trim: held at it
    QCOMPARE(clip_->lowerTrim(), 5);
    slider->setValue(2);
    button("upperTrimButton")->click(); // below the lower trim: held at it
    QCOMPARE(clip_->upperTrim(), 5);
    button("resetTrimButton")->click();
    QCOMPARE(clip_->lowerTrim(), 0);
    QCOMPARE(clip_->upperTrim(), kFrames - 1);

    slider->setValue(2);
    button("lowerTrimButton")->click();
    slider->setValue(8);
    button("upperTrimButton")->click();
    window_->hide();
    window_->setClip({}); // the clip shown so far keeps its trims in its folder
    const QSharedPointer<SavedClip> reopened = openClip(folder_);
    QCOMPARE(reopened->lowerTrim(), 2);
    QCOMPARE(reopened->upperTrim(), 8);
}

void TestPlaybackWindow::pictureKeepsTheClipsProportions()
{
    for (const QSize size : {QSize(900, 420), QSize(760, 900)}) {
        window_->resize(size);
        QTRY_COMPARE(window_->size(), size);
        const QRect view = window_->display()->geometry();
        const QSize area = window_->display()->parentWidget()->size();
        QVERIFY2(qAbs(view.width() - 2 * view.height()) <= 2, "2:1 like the clip");
        QVERIFY(view.width() == area.width() || view.height() == area.height());
        QVERIFY(qAbs(view.center().x() - area.width() / 2) <= 1 && qAbs(view.center().y() - area.height() / 2) <= 1);
    }
}

void TestPlaybackWindow::downloadingClipPlaysWhatIsPresent()
{
    QTemporaryDir dir;
    const testdata::FolderContent simulated = content();
    const QSharedPointer<SavedClip> downloading = testdata::startedDownload(dir.path(), simulated);
    QVERIFY(downloading);
    QVERIFY(testdata::storeFrames(*downloading, simulated, {0, 3}));
    QVERIFY(testdata::storeFrames(*downloading, simulated, {8, 9}));
    window_->setClip(downloading);
    QCOMPARE(window_->slider()->segmentList(), (QList<ClipSegment>{{0, 3}, {8, 9}}));

    ImageDisplayWidget* view = window_->display();
    window_->slider()->setValue(2);
    QVERIFY(spread(repaint(view)) > 100);
    QVERIFY(!frameText().contains("not downloaded"));
    // The very first repaint of a missing frame is black, not the frame shown before it.
    window_->slider()->setValue(5);
    QVERIFY(isBlack(repaint(view)));
    QCOMPARE(frameText(), QString("6 (0.010 s) - not downloaded yet"));

    // More frames arrive while the window shows the clip.
    QVERIFY(testdata::storeFrames(*downloading, simulated, {4, 7}));
    QCOMPARE(window_->slider()->segmentList(), (QList<ClipSegment>{{0, 9}}));
    // The first repaint after the black one already shows frame 5, not what was staged before.
    const QImage arrived = repaint(view);
    QVERIFY(spread(arrived) > 100);
    QCOMPARE(arrived, repaint(view));
    QCOMPARE(frameText(), QString("6 (0.010 s)"));
    window_->slider()->setValue(11);
    QVERIFY(isBlack(repaint(view)));
}

void TestPlaybackWindow::shortFrameFileShowsTheMissingFramesBlack()
{
    const QString folder = copyOfFolder();
    const qint64 frameBytes = qint64(kWidth) * kHeight;
    QVERIFY(QFile::resize(folder + "/0.bin", 6 * frameBytes + frameBytes / 2));
    const QSharedPointer<SavedClip> clip = openClip(folder);
    QVERIFY(clip);
    window_->setClip(clip);
    QCOMPARE(window_->slider()->getNumFrames(), kFrames);

    window_->slider()->setValue(8);
    QVERIFY(isBlack(repaint(window_->display())));
    QVERIFY(frameText().contains("not downloaded"));
    window_->slider()->setValue(3);
    repaint(window_->display());
    QVERIFY(spread(repaint(window_->display())) > 100);
    window_->slider()->setValue(6); // the half frame at the end of the file
    QVERIFY(isBlack(repaint(window_->display())));
}

void TestPlaybackWindow::unusableCalibrationPlaysUncalibrated()
{
    const QString folder = copyOfFolder();
    QVERIFY(QFile::resize(folder + "/calib.bin", qint64(kWidth) * kHeight * 8 - 1));
    const QSharedPointer<SavedClip> clip = openClip(folder);
    QVERIFY(clip);
    clip->renderState().setCalibrationMode(kvx::CalibrationMode::FullPolynomial);
    window_->setClip(clip);
    window_->slider()->setValue(4);
    repaint(window_->display());
    QVERIFY2(spread(repaint(window_->display())) > 100, "a zero polynomial would give a black picture");
    QCOMPARE(clip->renderState().calibrationMode(), kvx::CalibrationMode::None);
}

void TestPlaybackWindow::damagedRenderStateOpensWithDefaults()
{
    const QString folder = copyOfFolder();
    QVERIFY(writeFile(folder + "/renderInfo.xml", QByteArray("\x01\x02<RenderState><Gamma>0.5", 25)));
    const QSharedPointer<SavedClip> clip = openClip(folder);
    QVERIFY(clip);
    QCOMPARE(clip->renderState().doubleValue("Gamma"), 2.2);
    window_->setClip(clip);
    window_->slider()->setValue(4);
    repaint(window_->display());
    QVERIFY(spread(repaint(window_->display())) > 100);
}

void TestPlaybackWindow::clipWithoutPictureSizeCountsAsNone()
{
    auto sizeless = QSharedPointer<SavedClip>::create(testdata::simulatedClip(3, 10, 0, 0).info);
    window_->setClip(sizeless);
    QVERIFY(!window_->clip());
    QVERIFY(!window_->display()->clip());
    QCOMPARE(window_->windowTitle(), QString("Clip Playback"));
    QCOMPARE(window_->slider()->getNumFrames(), 0);

    // Nothing plays or moves; the test picture is shown.
    button("fwdPlayButton")->click();
    button("stepRightButton")->click();
    button("lowerTrimButton")->click();
    QCOMPARE(window_->display()->direction(), 0);
    QSignalSpy shown(window_->display(), &ImageDisplayWidget::newPlaybackFrame);
    QVERIFY(spread(repaint(window_->display())) > 100);
    QCOMPARE(shown.count(), 0);
}

QTEST_MAIN(TestPlaybackWindow)
#include "tst_playback_window.moc"

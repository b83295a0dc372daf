// Takes the playback window's screenshots: the clips manager downloads a 2048 x 1080 clip from
// the simulator on the recorder side of the test network, shows it in the playback window
// while it downloads (present ranges and a trim range on the slider) and once it is complete,
// then each tab of the paint dialog. Pictures are taken of the X screen with ImageMagick's
// `import`, cropped to the window. Run by scripts/screenshots.sh (test network, Xvfb).
//
// Usage: playback_screenshots <output folder>

#include "SimulatorProcess.h"
#include "TestHome.h"
#include "clipsmgr/MainWindow.h"
#include "clipsmgr/VLMClipsApp.h"
#include "download/RecorderDownloadManager.h"
#include "playback/ColorControls.h"
#include "playback/ImageDisplayWidget.h"
#include "playback/ImageDisplayWindow.h"
#include "playback/LoadFrameSlider.h"
#include "recorders/RecorderView.h"

#include <QDir>
#include <QListView>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <functional>

namespace {

bool waitFor(const std::function<bool()>& done, int ms, const char* what)
{
    if (QTest::qWaitFor(done, ms))
        return true;
    std::fprintf(stderr, "timed out waiting for %s\n", what);
    return false;
}

// The screen inside the widget's window frame, as a PNG.
bool shoot(const QWidget* window, const QString& path)
{
    const QRect frame = window->frameGeometry();
    const QString crop =
        QStringLiteral("%1x%2+%3+%4").arg(frame.width()).arg(frame.height()).arg(frame.x()).arg(frame.y());
    const int code = QProcess::execute("import", {"-window", "root", "-crop", crop, "+repage", path});
    std::printf("%s %s\n", code == 0 ? "wrote" : "FAILED", qPrintable(path));
    return code == 0;
}

// Waits until the view has drawn the slider's frame (software OpenGL draws slowly).
bool settle(ImageDisplayWindow* playback)
{
    bool drawn = false;
    const QMetaObject::Connection c =
        QObject::connect(playback->display(), &ImageDisplayWidget::newPlaybackFrame,
                         [&drawn, playback](int frame) { drawn = frame == playback->slider()->value(); });
    const bool done = waitFor([&] { return drawn; }, 120000, "the frame to be drawn");
    QObject::disconnect(c);
    QTest::qWait(1000);
    return done;
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    if (argc != 2 || !home.isValid())
        return 2;
    useTestHome(home.path());
    setDisplaySurfaceFormat();
    VLMClipsApp app(argc, argv);
    app.applyLookAndScale();
    const QString out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir().mkpath(out);

    // One clip, paced so that the download takes a few minutes: ranges of 81 frames, ~30 s each.
    SimulatorProcess simulator;
    if (!simulator.startWithOptions({"--address", "10.77.41.2", "--clip-list-interval", "500", "--rate", "0.05",
                                     "--clip", "2048x1080,frames=300,fps=500,number=4"},
                                    "10.77.41.2")) {
        std::fprintf(stderr, "%s\n", qPrintable(simulator.error()));
        return 1;
    }
    app.ClipPath = home.filePath("clips");
    QDir().mkpath(app.ClipPath);
    MainWindow window;
    window.move(0, 0);
    window.show();
    RecorderEthernetModel* recorders = window.recorderModel();
    if (!waitFor([&] { return recorders->recorderCount() > 0; }, 20000, "the recorder"))
        return 1;
    RecorderDownloadManager* manager = recorders->recorderAt(0)->downloadManager().data();
    if (!waitFor([&] { return manager->clipList()->rowCount() > 0; }, 20000, "the clip list"))
        return 1;
    window.findChild<QListView*>("recorderClipsView")->setCurrentIndex(manager->clipList()->index(0, 0));
    window.on_downloadClipBtn_clicked();
    if (!waitFor([&] { return window.savedClips()->rowCount() > 0; }, 10000, "the download to start"))
        return 1;
    const QSharedPointer<SavedClip> clip = window.savedClips()->clipAt(0);

    // Opened at once and moved to frame 150, so the frames arrive from there on and the slider
    // shows separate ranges for a while.
    window.on_savedClipsView_doubleClicked(window.savedClips()->index(0, 0));
    ImageDisplayWindow* playback = window.playbackWindow();
    playback->setGeometry(730, 0, 860, 560);
    kvx::LoadFrameSlider* slider = playback->slider();
    const auto press = [playback](const char* name) { playback->findChild<QPushButton*>(name)->click(); };
    slider->setValue(150);
    if (!waitFor([&] { return clip->segments().size() >= 2; }, 300000, "two present ranges"))
        return 1;
    // A trim range over part of the gap, so both show.
    slider->setValue(120);
    press("lowerTrimButton");
    slider->setValue(280);
    press("upperTrimButton");
    slider->setValue(60);
    if (!settle(playback) || !shoot(playback, out + "/playback-downloading.png"))
        return 1;

    if (!waitFor([&] { return clip->isComplete(); }, 300000, "the download to finish"))
        return 1;
    slider->setValue(120);
    if (!settle(playback) || !shoot(playback, out + "/playback-clip.png"))
        return 1;

    press("colorButton");
    ColorControls* paint = playback->colorControls();
    paint->move(730, 600);
    auto* tabs = paint->findChild<QTabWidget*>("tabWidget");
    const QStringList names{"gain", "pedestal", "flare", "misc", "matrix"};
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        QTest::qWait(1000);
        if (!shoot(paint, out + "/paint-" + names.value(i) + ".png"))
            return 1;
    }
    return 0;
}

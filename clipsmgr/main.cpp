#include "clipsmgr/MainWindow.h"
#include "clipsmgr/VLMClipsApp.h"
#include "playback/ImageDisplayWidget.h"

#include <QPixmap>
#include <QSplashScreen>
#include <QTimer>

namespace {

constexpr int SplashMs = 2000;

} // namespace

int main(int argc, char** argv)
{
    VLMClipsApp app(argc, argv);
    // Before the command line, whose --version prints them.
    QCoreApplication::setOrganizationName(VLMClipsApp::SettingsOrganisation);
    QCoreApplication::setApplicationName("VLMClips");
    QCoreApplication::setApplicationVersion("1.00.05");
    if (!app.parseCommandLine())
        return 1;
    app.applyLookAndScale();
    // The export was queued by parseCommandLine; no window in this mode.
    if (app.commandLineMode)
        return app.exec();

    setDisplaySurfaceFormat();
    // The window is built and laid out behind the splash, invisible until the splash goes.
    MainWindow window;
    window.setWindowOpacity(0.0);
    window.show();

    const QPixmap image(":/res/splash.png");
    QSplashScreen splash(image.scaled(app.scaled(image.width()), app.scaled(image.height()), Qt::IgnoreAspectRatio,
                                      Qt::SmoothTransformation));
    splash.show();
    app.processEvents();

    QTimer::singleShot(SplashMs, &splash, &QWidget::close);
    QTimer::singleShot(SplashMs, &window, &MainWindow::ShowMainWindow);
    return app.exec();
}

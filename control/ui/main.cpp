#include "control/app/UiScale.h"
#include "control/ui/MainWindow.h"
#include "control/ui/QRecApplication.h"

#include <QPixmap>
#include <QSplashScreen>
#include <QTimer>

namespace {
constexpr int SplashMs = 2000;
}

int main(int argc, char** argv)
{
    QRecApplication app(argc, argv);
    app.initialise();

    // The window is built behind the splash, invisible until the splash goes.
    MainWindow window({app.settings, app.uiScale, app.developerMode});
    window.setWindowOpacity(0.0);
    window.show();

    const QPixmap image(QStringLiteral(":/res/splash.png"));
    QSplashScreen splash(image.scaled(UiScale::scaled(image.width(), app.uiScale),
                                      UiScale::scaled(image.height(), app.uiScale), Qt::IgnoreAspectRatio,
                                      Qt::SmoothTransformation));
    splash.show();
    app.processEvents();

    window.OnEnumerateDevices();
    QTimer::singleShot(SplashMs, &splash, &QWidget::close);
    QTimer::singleShot(SplashMs, &window, &MainWindow::ShowMainWindow);
    return app.exec();
}

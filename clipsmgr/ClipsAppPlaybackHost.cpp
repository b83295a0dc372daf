#include "clipsmgr/ClipsAppPlaybackHost.h"

#include "clipsmgr/VLMClipsApp.h"

// Without the application object (a test building the window alone) the plain host's answers
// hold.

void ClipsAppPlaybackHost::scaleWidget(QWidget* widget, bool fixedSize)
{
    if (VLMClipsApp* app = VLMClipsApp::instance())
        app->scaleWidget(widget, fixedSize);
}

std::array<int, 4> ClipsAppPlaybackHost::scaledMetrics() const
{
    VLMClipsApp* app = VLMClipsApp::instance();
    return app ? app->scaledMetrics() : PlaybackHost::scaledMetrics();
}

QString ClipsAppPlaybackHost::paintFolder() const
{
    VLMClipsApp* app = VLMClipsApp::instance();
    return app ? app->PaintOptionsPath : PlaybackHost::paintFolder();
}

void ClipsAppPlaybackHost::setPaintFolder(const QString& folder)
{
    if (VLMClipsApp* app = VLMClipsApp::instance())
        app->PaintOptionsPath = folder;
    else
        PlaybackHost::setPaintFolder(folder);
}

void ClipsAppPlaybackHost::tellUser(const QString& text)
{
    if (VLMClipsApp* app = VLMClipsApp::instance())
        app->showMessage(text, VLMClipsApp::MsgWarning);
    else
        PlaybackHost::tellUser(text);
}

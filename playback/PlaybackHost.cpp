#include "playback/PlaybackHost.h"

#include <QDebug>
#include <QDir>

void PlaybackHost::scaleWidget(QWidget*, bool)
{}

std::array<int, 4> PlaybackHost::scaledMetrics() const
{
    return {20, 32, 12, 16};
}

QString PlaybackHost::paintFolder() const
{
    return paintFolder_.isEmpty() ? QDir::homePath() : paintFolder_;
}

void PlaybackHost::setPaintFolder(const QString& folder)
{
    paintFolder_ = folder;
}

void PlaybackHost::tellUser(const QString& text)
{
    qWarning().noquote() << text;
}

#include "playback/PlaybackTexts.h"

#include <QObject>

#include <algorithm>
#include <cmath>
#include <limits>

namespace playback {

namespace {

// A rate to show and divide by: anything but a finite, positive number counts as none.
double usableFps(double fps)
{
    return std::isfinite(fps) && fps > 0.0 ? fps : 0.0;
}

} // namespace

QString windowTitle(int clipNumber, int width, int height, double fps)
{
    const double rate = std::min(usableFps(fps), double(std::numeric_limits<int>::max()));
    return QObject::tr("Clip %1 (%2x%3 @ %4 fps)").arg(clipNumber + 1).arg(width).arg(height).arg(int(rate));
}

QString frameLabel(int frame, double fps, bool present)
{
    const double rate = usableFps(fps);
    const qint64 number = qint64(frame) + 1;
    QString text =
        rate > 0.0 ? QStringLiteral("%1 (%2 s)").arg(number).arg(frame / rate, 0, 'f', 3) : QString::number(number);
    if (!present)
        text += QObject::tr(" - not downloaded yet");
    return text;
}

} // namespace playback

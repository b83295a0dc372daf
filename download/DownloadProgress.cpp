#include "download/DownloadProgress.h"

#include <QObject>

DownloadProgress DownloadProgress::of(qint64 nFrames, qint64 nTotFrames, const QString& label, double speedGbps)
{
    DownloadProgress progress;
    if (nTotFrames <= 0 || nFrames >= nTotFrames) {
        progress.finished = true;
        progress.barValue = BarMaximum;
        return progress;
    }
    const qint64 frames = std::max<qint64>(nFrames, 0);
    // Rounded half up.
    const qint64 percent = (frames * 200 + nTotFrames) / (2 * nTotFrames);
    progress.barValue = int(frames * BarMaximum / nTotFrames);
    progress.text =
        QObject::tr("Downloading %1% - '%2' - Speed: %3 Gbps").arg(percent).arg(label).arg(speedGbps, 0, 'f', 1);
    return progress;
}

QString DownloadProgress::stoppedText(const QString& label, qint64 nFrames, qint64 nTotFrames, const QString& reason)
{
    return QObject::tr("Download stopped - '%1' - %2 of %3 frames stored: %4")
        .arg(label)
        .arg(nFrames)
        .arg(nTotFrames)
        .arg(reason);
}

#include "common/catalogue/BaseRecClip.h"

#include "common/naming/RecorderNaming.h"

BaseRecClip::BaseRecClip(const kvx::ClipInfoPacket::clipInfo& info, QObject* parent)
    : QObject(parent), kvx::ClipInfoPacket::clipInfo(info)
{}

double BaseRecClip::secondsFor(double frames) const
{
    return fps > 0.0f ? frames / fps : 0.0;
}

int BaseRecClip::wholeFps() const
{
    // The rate comes off the network: converting NaN or a huge value to int would be undefined.
    return fps > 0.0f && fps < 1.0e9f ? int(fps) : 0;
}

QStringList BaseRecClip::infoLines() const
{
    QString resolution = QStringLiteral(" Image resolution: %1x%2").arg(width).arg(height);
    if (width == 3840)
        resolution += QStringLiteral(" (UHD)");
    else if (width == 1920)
        resolution += QStringLiteral(" (HD)");

    return {
        QStringLiteral(" Clip #%1").arg(int(clipNumber) + 1),
        QStringLiteral(" Camera: ") + serialText(cameraSerial),
        QStringLiteral(" Total frames: %1").arg(totalFrames),
        QStringLiteral(" Total recording time: %1 s").arg(QString::number(secondsFor(double(totalFrames)), 'g', 6)),
        QStringLiteral(" FPS: %1").arg(wholeFps()),
        resolution,
        QStringLiteral(" Clip UID: %1").arg(clipUid, 0, 16),
    };
}

QString BaseRecClip::text() const
{
    return QStringLiteral("Recorder clip %1").arg(clipNumber);
}

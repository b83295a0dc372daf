#include "control/app/DisplayTexts.h"

#include "common/naming/RecorderNaming.h"
#include "common/packets/RecorderInfoPacket.h"
#include "control/discovery/UdpRecInfo.h"

#include <QCoreApplication>

namespace DisplayTexts {

QString freeDisk(quint64 free, quint64 capacity)
{
    // Large disks in small units would overflow free x 1000; the share does not.
    const quint64 permille = capacity == 0 ? 0 : quint64(static_cast<unsigned __int128>(free) * 1000 / capacity);
    return QStringLiteral("%1.%2%").arg(permille / 10).arg(permille % 10);
}

QString recorderName(const kvx::RecorderInfoPacket& info, int linkIndex, int openCount)
{
    const QString model = modelName(info.cameraModel);
    const QString serial = serialText(info.cameraSerial);
    if (openCount <= 1)
        return QStringLiteral("%1 (%2)").arg(model, serial);
    return QStringLiteral("%1. %2 (%3)").arg(linkIndex + 1).arg(model, serial);
}

QString recorderLabel(const UdpRecInfo& record, const QString& cameraCaption)
{
    const kvx::RecorderInfoPacket& info = record.info;
    const QString address = record.recorderAddress.toString();
    const QString shownAddress =
        record.onLocalSubnet() ? address : QStringLiteral("<font color=red>%1 (!!!)</font>").arg(address);
    return QStringLiteral("<p align=left><font color=white><b>%1</b></font><br/>%2<br/>%3<br/>IP: %4<br/>%5G "
                          "Ethernet</p>")
        .arg(deviceName(info.serialNumber()),
             QStringLiteral("%1: %2").arg(cameraCaption, serialText(info.cameraSerial)), modelName(info.cameraModel),
             shownAddress, info.ethernet.linkCode() != 0 ? QStringLiteral("10") : QStringLiteral("1"));
}

QString clipInfo(const kvx::ClipInfoPacket::clipInfo& clip, quint32 recorderCameraSerial)
{
    const QString camera = QStringLiteral("%1 %2 - %3 x %4 @ %5 fps")
                               .arg(QCoreApplication::translate("QClipsBar", "Camera"), serialText(clip.cameraSerial))
                               .arg(clip.width)
                               .arg(clip.height)
                               .arg(qRound(clip.fps));
    // A clip without a rate has no length in time to show.
    const QString time =
        clip.fps > 0 ? QString::number(double(clip.totalFrames) / double(clip.fps)) : QStringLiteral("-");
    const QString images = QStringLiteral("%1: %2 - %3: %4 s")
                               .arg(QCoreApplication::translate("QClipsBar", "Images"))
                               .arg(clip.totalFrames)
                               .arg(QCoreApplication::translate("QClipsBar", "Time"), time);
    const bool otherCamera =
        clip.cameraSerial != 0 && recorderCameraSerial != 0 && clip.cameraSerial != recorderCameraSerial;
    const QString title = otherCamera
        ? QCoreApplication::translate("QClipsBar", "** Clip acquired with a different camera **")
        : QCoreApplication::translate("QClipsBar", "Clip info");
    return QStringLiteral(
               "<p align=center><font color=%1><b>%2</b></font><br/><font color=#4B96C8>%3<br/>%4</font></p>")
        .arg(otherCamera ? QStringLiteral("red") : QStringLiteral("white"), title, camera, images);
}

QString captionOver(const QString& caption, const QString& value, const QString& colour)
{
    return QStringLiteral("<p align=center><font color=%1><b>%2</b></font><br/><font color=white>%3</font></p>")
        .arg(colour, caption, value);
}

QString noClips()
{
    return QStringLiteral("<p align=center><font color=white><b>%1</b></font></p>")
        .arg(QCoreApplication::translate("QClipsBar", "** No Clips **"));
}

} // namespace DisplayTexts

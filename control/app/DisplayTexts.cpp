#include "control/app/DisplayTexts.h"

#include "common/naming/RecorderNaming.h"
#include "common/packets/RecorderInfoPacket.h"
#include "control/discovery/UdpRecInfo.h"

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

} // namespace DisplayTexts

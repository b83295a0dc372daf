#include "recorders/RecorderView.h"

#include "common/naming/RecorderNaming.h"
#include "download/RecorderDownloadManager.h"

RecorderView::RecorderView(const kvx::RecorderInfoPacket& info, int row)
    : ModelItem(nullptr, row), info_(info), downloadManager_(QSharedPointer<RecorderDownloadManager>::create())
{}

RecorderView::~RecorderView() = default;

QString RecorderView::text() const
{
    const QString camera =
        QStringLiteral("Camera: %1 (%2)").arg(serialText(info_.cameraSerial), modelName(info_.cameraModel));
    const QString speed = info_.ethernet.linkCode() == 1 ? QStringLiteral("10G") : QStringLiteral("1G");
    return QStringLiteral(" %1\n %2\n IP: %3 (%4 Ethernet)")
        .arg(deviceName(info_.serialNumber()), camera, ipText(info_.ethernet.ip), speed);
}

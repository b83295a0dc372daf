#include "download/EthernetView.h"

#include "common/naming/RecorderNaming.h"

EthernetView::EthernetView(const kvx::RecorderInfoPacket::EthernetInfo& ethernet, ModelItem* recorderRow, int row)
    : ModelItem(recorderRow, row), ethernet_(ethernet)
{}

QString EthernetView::text() const
{
    const QString speed = ethernet_.linkCode() == 1 ? QStringLiteral("10G") : QStringLiteral("1G");
    return QStringLiteral("%1 Ethernet Link [%2]").arg(speed, ipText(ethernet_.ip));
}

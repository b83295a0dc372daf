#pragma once

#include "common/catalogue/ModelItem.h"
#include "common/packets/RecorderInfoPacket.h"

// One link of a recorder as a child row of the recorder list: the Ethernet record of the
// information packet the recorder answered with on that link.
class EthernetView : public ModelItem {
public:
    EthernetView(const kvx::RecorderInfoPacket::EthernetInfo& ethernet, ModelItem* recorderRow, int row);

    // "10G Ethernet Link [a.b.c.d]"; only link code 1 counts as 10G.
    QString text() const override;

    const kvx::RecorderInfoPacket::EthernetInfo& ethernet() const { return ethernet_; }

private:
    kvx::RecorderInfoPacket::EthernetInfo ethernet_;
};

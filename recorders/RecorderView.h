#pragma once

#include "common/catalogue/ModelItem.h"
#include "common/packets/RecorderInfoPacket.h"

#include <QSharedPointer>

class RecorderDownloadManager;

// A recorder found on the network, as a row of the recorder list. Keeps the information packet
// of the recorder's first answer and owns (shared) the recorder's download manager.
class RecorderView : public ModelItem {
public:
    RecorderView(const kvx::RecorderInfoPacket& info, int row);
    ~RecorderView() override;

    // " VLMV-0218-0002\n Camera: 29-0118-0001 (VLM HD)\n IP: 10.77.41.2 (10G Ethernet)"
    QString text() const override;

    const kvx::RecorderInfoPacket& info() const { return info_; }
    const QSharedPointer<RecorderDownloadManager>& downloadManager() const { return downloadManager_; }

private:
    kvx::RecorderInfoPacket info_;
    QSharedPointer<RecorderDownloadManager> downloadManager_;
};

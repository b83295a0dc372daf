#pragma once

#include "common/catalogue/ClipInfoProcessor.h"
#include "common/catalogue/DownloadableClipList.h"
#include "common/packets/ColorMatrixTable.h"
#include "common/packets/OutputStatePacket.h"
#include "download/LinkChannel.h"
#include "render/colour/ColorMatrixRecord.h"

#include <QByteArrayView>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QSharedPointer>

// One recorder's counterpart in the clips manager. It takes every datagram the recorder sends to
// the discovery socket (other than information packets) and keeps what they carry: the clip
// list, the latest output state and the colour-matrix table. It also holds one channel per link
// of the recorder.
class RecorderDownloadManager : public QObject {
    Q_OBJECT
public:
    RecorderDownloadManager();

    // Builds the channel of one recorder link and appends it to the link entries.
    void makeChannel(const QSharedPointer<EthernetView>& link);
    const QList<QSharedPointer<LinkChannel>>& linkChannels() const { return linkChannels_; }

    // True when one of the links has this address; an IPv4 address and its IPv4-mapped IPv6
    // form are the same.
    bool hasLinkAddress(const QHostAddress& address) const;

    // Clip lists go to the clip list, output states and the colour-matrix answer are stored;
    // anything else, and anything too short for what it claims to be, is ignored.
    void processDatagram(QByteArrayView datagram);

    DownloadableClipList* clipList() { return &clipList_; }
    const OutputStatePacket& outputState() const { return outputState_; }
    // The recorder's colour matrices and the value that came with them, from its latest answer.
    const QList<ColorMatrixRecord>& colorMatrices() const { return colorMatrices_; }
    quint32 colorMatrixValue() const { return colorMatrixValue_; }

private:
    void processParameter(QByteArrayView datagram);

    QList<QSharedPointer<LinkChannel>> linkChannels_;
    quint32 colorMatrixValue_ = 0;
    QList<ColorMatrixRecord> colorMatrices_;
    OutputStatePacket outputState_;
    ClipInfoProcessor clipInfoProcessor_;
    DownloadableClipList clipList_;
};

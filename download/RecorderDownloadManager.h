#pragma once

#include "common/catalogue/ClipInfoProcessor.h"
#include "common/catalogue/DownloadableClipList.h"
#include "common/packets/ColorMatrixTable.h"
#include "common/packets/OutputStatePacket.h"
#include "download/DownloadRequest.h"
#include "download/LinkChannel.h"
#include "transfer/ReceiveUDPEngine.h"

#include <QByteArrayView>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QSharedPointer>
#include <QTimer>

#include <deque>

// One recorder's counterpart in the clips manager. It takes every datagram the recorder sends to
// the discovery socket (other than information packets) and keeps what they carry: the clip
// list, the latest output state and the colour-matrix table. It holds one channel per link of
// the recorder, with a receive thread on each link that carries transfers, and downloads the
// queued clips through them: every 10 ms the clip at the head of the queue gets one transfer
// request per channel, calibration first, then frame ranges from the clip's current frame on,
// as long as the clip's receive memory takes another block.
//
// A download lasts until every frame and the calibration are stored, the user removes it, or
// it cannot complete (MaxTxErrors failed transfers in a row, or blocks that keep failing to
// be written); ranges that fail are asked for again even after the whole clip has been issued.
class RecorderDownloadManager : public QObject {
    Q_OBJECT
public:
    static constexpr int TickMs = 10;
    static constexpr int IdleTickMs = 100;
    static constexpr quint32 MaxTxErrors = 6;
    static constexpr quint32 MaxStoreFailures = 3;

    // What the manager attaches to each transfer request it queues.
    class RequestDataInfo : public kvx::ReceiveUDPEngine::TxRequestData {
    public:
        bool isCalibration = false;
        SavedClip::RAMBufferPtr buffer;
        QSharedPointer<DownloadableClip> recorderClip;
        QSharedPointer<SavedClip> savedClip;
    };

    RecorderDownloadManager();
    // Stops the receive threads first; requests still queued on them are dropped.
    ~RecorderDownloadManager() override;

    // Builds the channel of one recorder link and appends it to the link entries. A link that
    // carries transfers gets a running receive thread bound from the link's transferPort up.
    // recorderTransferPort is only for tests with a recorder on another port.
    void makeChannel(const QSharedPointer<EthernetView>& link,
                     quint16 recorderTransferPort = kvx::ReceiveUDPThread::RecorderTransferPort);
    const QList<QSharedPointer<LinkChannel>>& linkChannels() const { return linkChannels_; }

    // True when one of the links has this address; an IPv4 address and its IPv4-mapped IPv6
    // form are the same.
    bool hasLinkAddress(const QHostAddress& address) const;

    // Clip lists go to the clip list, output states and the colour-matrix answer are stored;
    // anything else, and anything too short for what it claims to be, is ignored.
    void processDatagram(QByteArrayView datagram);

    DownloadableClipList* clipList() { return &clipList_; }
    const OutputStatePacket& outputState() const { return outputState_; }
    bool hasOutputState() const { return hasOutputState_; }
    // The recorder's colour matrices and the value that came with them, from its latest answer.
    const QList<ColorMatrixRecord>& colorMatrices() const { return colorMatrices_; }
    quint32 colorMatrixValue() const { return colorMatrixValue_; }

    // Downloads still being issued, head first.
    const std::deque<DownloadRequest>& queuedRequests() const { return queue_; }
    // True while the clip's download runs: queued, or issued and waiting for blocks.
    bool isDownloading(const SavedClip* clip) const;
    // True while a download of this recorder clip (same clip identity) runs, into any folder.
    bool hasDownloadOf(const DownloadableClip& recorderClip) const;

signals:
    // Every frame and the calibration of the clip are stored.
    void downloadFinished(QSharedPointer<SavedClip> clip);
    // The clip's download gave up before the clip was complete; reason is a sentence for the
    // user. Blocks already on their way are still stored.
    void downloadFailed(QSharedPointer<SavedClip> clip, QString reason);

public slots:
    void onCompletedRequest(kvx::ReceiveUDPEngine::TransferRequest request);
    void onFailedRequest(kvx::ReceiveUDPEngine::TransferRequest request);
    // False (nothing queued) when the saved clip is not the recorder clip, or when that recorder
    // clip is downloading already: the recorder clip records what was asked for, which two
    // downloads cannot share.
    bool addClipRequest(DownloadRequest dlRequest);
    // The download into that folder stops; transfers already on a receive thread still arrive
    // and are stored. A download of the same clip into another folder goes on.
    void removeClipFromRequests(QSharedPointer<SavedClip> saveLocation);

private:
    enum class Issue { Issued, NoMemory, AllRequested, CannotContinue };

    void processParameter(QByteArrayView datagram);

    void tick();
    int issueFromHead();
    Issue issueOne(const DownloadRequest& request, LinkChannel& channel);

    DownloadRequest* findRequest(const SavedClip* clip);
    bool isIssued(const SavedClip* clip) const;
    void watchClip(SavedClip* clip);
    // Frames (or the calibration) of the clip must be asked for again.
    void reissue(const SavedClip* clip);
    // A cause ends the download at once with it; without one the failure counts towards
    // MaxTxErrors.
    void transferFailed(RequestDataInfo& info, const QString& cause);
    void framesStoreFailed(const SavedClip* clip, const ClipSegment& frames);
    void calibrationStoreFailed(const SavedClip* clip);
    void finishIfComplete(const SavedClip* clip);
    void endDownload(const SavedClip* clip, const QString& reason);
    // Takes the clip's request out of the queue or the issued list.
    DownloadRequest takeRequest(const SavedClip* clip);

    QList<QSharedPointer<LinkChannel>> linkChannels_;
    std::deque<DownloadRequest> queue_;
    // Every range requested; waiting for the last blocks to be stored.
    QList<DownloadRequest> issued_;
    QTimer tickTimer_;
    quint32 colorMatrixValue_ = 0;
    QList<ColorMatrixRecord> colorMatrices_;
    OutputStatePacket outputState_;
    bool hasOutputState_ = false;
    ClipInfoProcessor clipInfoProcessor_;
    DownloadableClipList clipList_;
};

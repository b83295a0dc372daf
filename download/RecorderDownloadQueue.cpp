// The download side of RecorderDownloadManager: the request queue, the tick that cuts the head
// request into transfer requests, and what happens to each block when its transfer ends.
#include "download/RecorderDownloadManager.h"

#include <QDebug>

#include <algorithm>

namespace {

using Request = kvx::ReceiveUDPEngine::TransferRequest;

constexpr quint32 CalibrationFlags = kvx::ReceiveUDPEngine::FlagPassedToRecorder | kvx::ReceiveUDPEngine::ByteMode;

QString transferFailureReason()
{
    return QObject::tr("the recorder did not deliver the clip's data");
}

} // namespace

bool RecorderDownloadManager::addClipRequest(DownloadRequest dlRequest)
{
    if (!dlRequest.savedClip || !dlRequest.recorderClip || !dlRequest.savedClip->sameClip(*dlRequest.recorderClip))
        return false;
    if (hasDownloadOf(*dlRequest.recorderClip))
        return false;
    watchClip(dlRequest.savedClip.data());
    queue_.push_back(dlRequest);
    return true;
}

void RecorderDownloadManager::removeClipFromRequests(QSharedPointer<SavedClip> saveLocation)
{
    if (saveLocation)
        takeRequest(saveLocation.data());
}

bool RecorderDownloadManager::isDownloading(const SavedClip* clip) const
{
    const auto same = [clip](const DownloadRequest& r) { return r.savedClip.data() == clip; };
    return std::any_of(queue_.begin(), queue_.end(), same) || isIssued(clip);
}

bool RecorderDownloadManager::hasDownloadOf(const DownloadableClip& recorderClip) const
{
    const auto same = [&](const DownloadRequest& r) {
        return r.recorderClip && r.recorderClip->sameClip(recorderClip);
    };
    return std::any_of(queue_.begin(), queue_.end(), same) || std::any_of(issued_.begin(), issued_.end(), same);
}

bool RecorderDownloadManager::isIssued(const SavedClip* clip) const
{
    return std::any_of(issued_.begin(), issued_.end(),
                       [clip](const DownloadRequest& r) { return r.savedClip.data() == clip; });
}

void RecorderDownloadManager::tick()
{
    tickTimer_.start(issueFromHead());
}

// Returns when the next tick is due.
int RecorderDownloadManager::issueFromHead()
{
    for (;;) {
        if (queue_.empty())
            return IdleTickMs;
        if (queue_.front().recorderClip && queue_.front().savedClip)
            break;
        qDebug() << "Encountered emtpy clip request";
        queue_.pop_front();
    }
    if (!queue_.front().active)
        return TickMs;

    for (const QSharedPointer<LinkChannel>& channel : std::as_const(linkChannels_)) {
        if (!channel->thread)
            continue;
        DownloadRequest& head = queue_.front();
        switch (issueOne(head, *channel)) {
        case Issue::Issued:
            break;
        case Issue::NoMemory:
            return TickMs;
        case Issue::AllRequested: {
            const QSharedPointer<SavedClip> clip = head.savedClip;
            issued_.append(head);
            queue_.pop_front();
            finishIfComplete(clip.data());
            return TickMs;
        }
        case Issue::CannotContinue:
            endDownload(head.savedClip.data(), tr("the clip ends before the frames it lists"));
            return TickMs;
        }
    }
    return TickMs;
}

RecorderDownloadManager::Issue RecorderDownloadManager::issueOne(const DownloadRequest& request, LinkChannel& channel)
{
    DownloadableClip& recorderClip = *request.recorderClip;
    SavedClip& savedClip = *request.savedClip;
    const bool calibration = !recorderClip.isCalibrationPresent() && !recorderClip.isCalibrationRequested();

    ClipSegment range;
    if (!calibration) {
        range = recorderClip.nextMissingRange(savedClip.currentFrame());
        if (range.isEmpty())
            return Issue::AllRequested;
        const quint64 frameSize = quint64(std::max<qint64>(savedClip.frameSize(), 1));
        // At least one frame, so even frames larger than a request's limit come through.
        const quint64 maxFrames = std::max<quint64>(channel.maxRequestBytes / frameSize, 1);
        if (range.length() > maxFrames)
            range.last = range.first + qint64(maxFrames) - 1;
        range.last = std::min(range.last, savedClip.expectedFrames() - 1);
        if (range.last < range.first) {
            qDebug() << "Cannot continue with clip";
            return Issue::CannotContinue;
        }
    }

    SavedClip::RAMBufferPtr buffer;
    if (!savedClip.allocateBuffer(range, calibration, &buffer))
        return Issue::NoMemory;

    auto info = QSharedPointer<RequestDataInfo>::create();
    info->isCalibration = calibration;
    info->buffer = buffer;
    info->recorderClip = request.recorderClip;
    info->savedClip = request.savedClip;

    Request transfer;
    transfer.data = info;
    transfer.destination = buffer->data();
    transfer.totalBytes = quint64(buffer->size());
    transfer.flags = calibration ? CalibrationFlags : 0;
    transfer.lineBytes = recorderClip.lineBytes;
    transfer.lineCount = recorderClip.lineCount;
    transfer.clipNumber = recorderClip.clipNumber;
    transfer.firstFrame = calibration ? 0 : quint32(range.first);
    transfer.lastFrame = calibration ? 0 : quint32(range.last);
    transfer.startTime.start();
    channel.thread->queueRequest(transfer);

    if (calibration)
        recorderClip.setCalibrationRequested(true);
    else
        recorderClip.addRange(range);
    return Issue::Issued;
}

void RecorderDownloadManager::onCompletedRequest(kvx::ReceiveUDPEngine::TransferRequest request)
{
    const auto info = request.data.dynamicCast<RequestDataInfo>();
    if (!info) {
        qDebug() << "Uncastable request";
        return;
    }
    SavedClip* clip = info->savedClip.data();
    if (DownloadRequest* download = findRequest(clip))
        download->txErrors = 0;
    if (info->isCalibration) {
        if (!clip->storeCalibration(info->buffer))
            calibrationStoreFailed(clip);
    } else if (!clip->storeFrames(info->buffer)) {
        framesStoreFailed(clip, info->buffer->frames());
    }
    // Copies of the request may linger (the engine keeps its last one); the block's memory
    // must not wait for them.
    info->buffer.reset();
}

void RecorderDownloadManager::onFailedRequest(kvx::ReceiveUDPEngine::TransferRequest request)
{
    const auto info = request.data.dynamicCast<RequestDataInfo>();
    // A receive thread that cannot receive at all says why; waiting for more failures would
    // only hide it behind the general reason.
    const auto* thread = qobject_cast<const kvx::ReceiveUDPThread*>(sender());
    if (info)
        transferFailed(*info, thread ? thread->failureReason() : QString());
    else
        qDebug() << "Uncastable request";
    qDebug() << "Request Failed: Clip " << request.clipNumber;
}

void RecorderDownloadManager::transferFailed(RequestDataInfo& info, const QString& cause)
{
    // Given back even when the download has ended, so a new one finds the frames missing.
    if (info.isCalibration)
        info.recorderClip->setCalibrationRequested(false);
    else
        info.recorderClip->removeRange(info.buffer->frames());
    info.buffer.reset();

    const SavedClip* clip = info.savedClip.data();
    DownloadRequest* download = findRequest(clip);
    if (!download)
        return;
    if (!cause.isEmpty()) {
        endDownload(clip, cause);
        return;
    }
    if (++download->txErrors >= MaxTxErrors) {
        qDebug() << "Dumping request due to tx errors";
        endDownload(clip, transferFailureReason());
        return;
    }
    reissue(clip);
}

void RecorderDownloadManager::framesStoreFailed(const SavedClip* clip, const ClipSegment& frames)
{
    qDebug() << "Failed to save RAM frames";
    DownloadRequest* download = findRequest(clip);
    if (!download)
        return;
    download->recorderClip->removeRange(frames);
    if (++download->frameStoreFailures >= MaxStoreFailures) {
        endDownload(clip, tr("its frames could not be written to disk"));
        return;
    }
    reissue(clip);
}

void RecorderDownloadManager::calibrationStoreFailed(const SavedClip* clip)
{
    qDebug() << "Failed to save calibration";
    DownloadRequest* download = findRequest(clip);
    if (!download)
        return;
    download->recorderClip->setCalibrationRequested(false);
    if (++download->calibrationStoreFailures >= MaxStoreFailures) {
        endDownload(clip, tr("its calibration could not be written to disk"));
        return;
    }
    reissue(clip);
}

void RecorderDownloadManager::reissue(const SavedClip* clip)
{
    const auto at = std::find_if(issued_.begin(), issued_.end(),
                                 [clip](const DownloadRequest& r) { return r.savedClip.data() == clip; });
    if (at == issued_.end())
        return; // still queued: a later tick finds what is missing
    // Ahead of the others: it only lacks what was given back.
    queue_.push_front(*at);
    issued_.erase(at);
}

void RecorderDownloadManager::watchClip(SavedClip* clip)
{
    connect(clip, &SavedClip::framesStoreFailed, this,
            [this, clip](ClipSegment frames) { framesStoreFailed(clip, frames); });
    connect(clip, &SavedClip::calibrationStoreFailed, this, [this, clip] { calibrationStoreFailed(clip); });
    connect(clip, &SavedClip::clipDownloadProgress, this, [this, clip] {
        if (DownloadRequest* download = findRequest(clip))
            download->frameStoreFailures = 0;
        finishIfComplete(clip);
    });
    connect(clip, &DownloadableClip::calibrationFileFinished, this, [this, clip] { finishIfComplete(clip); });
}

void RecorderDownloadManager::finishIfComplete(const SavedClip* clip)
{
    if (!isIssued(clip) || !clip->isCalibrationPresent() || qint64(clip->downloadedFrames()) < clip->expectedFrames())
        return;
    const DownloadRequest done = takeRequest(clip);
    emit downloadFinished(done.savedClip);
}

void RecorderDownloadManager::endDownload(const SavedClip* clip, const QString& reason)
{
    const DownloadRequest ended = takeRequest(clip);
    if (ended.savedClip)
        emit downloadFailed(ended.savedClip, reason);
}

DownloadRequest RecorderDownloadManager::takeRequest(const SavedClip* clip)
{
    DownloadRequest taken;
    const auto same = [clip](const DownloadRequest& r) { return r.savedClip.data() == clip; };
    if (const auto at = std::find_if(queue_.begin(), queue_.end(), same); at != queue_.end()) {
        taken = *at;
        queue_.erase(at);
    } else if (const auto issued = std::find_if(issued_.begin(), issued_.end(), same); issued != issued_.end()) {
        taken = *issued;
        issued_.erase(issued);
    }
    if (taken.savedClip)
        disconnect(taken.savedClip.data(), nullptr, this, nullptr);
    return taken;
}

DownloadRequest* RecorderDownloadManager::findRequest(const SavedClip* clip)
{
    const auto same = [clip](const DownloadRequest& r) { return r.savedClip.data() == clip; };
    if (const auto at = std::find_if(queue_.begin(), queue_.end(), same); at != queue_.end())
        return &*at;
    if (const auto at = std::find_if(issued_.begin(), issued_.end(), same); at != issued_.end())
        return &*at;
    return nullptr;
}

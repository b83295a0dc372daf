// Resuming incomplete clip folders and downloading every clip of a recorder at once.
#include "download/DownloadLauncher.h"

#include "download/RecorderDownloadManager.h"
#include "storage/SavedClipList.h"

#include <algorithm>
#include <limits>

namespace DownloadLauncher {

namespace {

bool sameRecording(const kvx::ClipInfoPacket::clipInfo& a, const kvx::ClipInfoPacket::clipInfo& b)
{
    return a.cameraSerial == b.cameraSerial && a.unnamed4 == b.unnamed4 && a.clipUid == b.clipUid;
}

bool isIncomplete(const SavedClip& saved)
{
    return !saved.isComplete() || !saved.isCalibrationPresent();
}

bool hasCompleteCopy(const SavedClipList& savedClips, const DownloadableClip& clip)
{
    for (int row = 0; row < savedClips.rowCount(); ++row) {
        const SavedClip* saved = savedClips.clipPointerAt(row);
        if (saved && !isIncomplete(*saved) && saved->sameClip(clip))
            return true;
    }
    return false;
}

} // namespace

Refusal checkResume(const SavedClip& saved, const DownloadableClip& recorderClip)
{
    const bool sameLayout = saved.frameSize() == recorderClip.frameSize() && saved.lineBytes == recorderClip.lineBytes
        && saved.lineCount == recorderClip.lineCount && saved.width == recorderClip.width
        && saved.height == recorderClip.height;
    return saved.sameClip(recorderClip) && sameLayout ? Refusal::None : Refusal::ClipMismatch;
}

qint64 missingBytes(const SavedClip& saved)
{
    const qint64 missingFrames = qint64(saved.totalFrames) - qint64(saved.downloadedFrames());
    qint64 bytes = 0;
    if (qMulOverflow(std::max<qint64>(missingFrames, 0), saved.frameSize(), &bytes))
        return std::numeric_limits<qint64>::max();
    if (!saved.isCalibrationPresent())
        bytes += qint64(saved.lineBytes) * saved.lineCount * 8;
    return bytes;
}

QSharedPointer<DownloadableClip> recorderClipFor(RecorderDownloadManager& manager, const SavedClip& saved)
{
    DownloadableClipList& clips = *manager.clipList();
    for (int row = 0; row < clips.rowCount(); ++row) {
        const QSharedPointer<DownloadableClip> clip = clips.clipAt(row);
        if (clip && !clip->isLost() && sameRecording(*clip, saved))
            return clip;
    }
    return {};
}

QSharedPointer<SavedClip> resumableFolderFor(const SavedClipList& savedClips, const DownloadableClip& recorderClip)
{
    for (int row = 0; row < savedClips.rowCount(); ++row) {
        const QSharedPointer<SavedClip> saved = savedClips.clipAt(row);
        if (saved && isIncomplete(*saved) && checkResume(*saved, recorderClip) == Refusal::None)
            return saved;
    }
    return {};
}

Started resume(const kvx::RecorderInfoPacket& recorder, RecorderDownloadManager& manager,
               const QSharedPointer<DownloadableClip>& recorderClip, const QSharedPointer<SavedClip>& saved)
{
    Refusal refusal = checkLink(recorder);
    if (refusal == Refusal::None)
        refusal = checkResume(*saved, *recorderClip);
    if (refusal == Refusal::None && (manager.hasDownloadOf(*recorderClip) || manager.isDownloading(saved.data())))
        refusal = Refusal::AlreadyDownloading;
    if (refusal == Refusal::None && missingBytes(*saved) > bytesAvailable(saved->folderPath()))
        refusal = Refusal::NotEnoughDiskSpace;
    if (refusal == Refusal::None && !saved->prepareResume())
        refusal = Refusal::FolderNotPrepared;
    if (refusal != Refusal::None)
        return {nullptr, refusal, nullptr};

    // The recorder clip records what is asked for: everything the folder holds counts as asked.
    recorderClip->reset();
    for (const ClipSegment& present : saved->segments())
        recorderClip->addRange(present);
    recorderClip->setCalibrationRequested(saved->isCalibrationPresent());
    DownloadRequest request;
    request.savedClip = saved;
    request.recorderClip = recorderClip;
    request.active = 1;
    if (!manager.addClipRequest(request))
        return {nullptr, Refusal::AlreadyDownloading, nullptr};
    return {saved, Refusal::None, recorderClip};
}

Batch launchAll(RecorderCommandChannel& commands, const kvx::RecorderInfoPacket& recorder,
                RecorderDownloadManager& manager, SavedClipList& savedClips, const QString& clipPath)
{
    Batch batch;
    batch.refusal = checkLink(recorder);
    if (batch.refusal != Refusal::None)
        return batch;

    struct Planned {
        QSharedPointer<DownloadableClip> clip;
        QSharedPointer<SavedClip> resumeInto;
    };
    QList<Planned> plan;
    qint64 needed = 0;
    DownloadableClipList& clips = *manager.clipList();
    for (int row = 0; row < clips.rowCount(); ++row) {
        const QSharedPointer<DownloadableClip> clip = clips.clipAt(row);
        if (!clip || !clips.isDownloadable(clips.index(row)) || manager.hasDownloadOf(*clip))
            continue;
        if (hasCompleteCopy(savedClips, *clip))
            continue;
        Planned planned{clip, resumableFolderFor(savedClips, *clip)};
        const qint64 bytes = planned.resumeInto ? missingBytes(*planned.resumeInto) : clip->requiredBytes();
        needed =
            qint64(std::min<quint64>(quint64(needed) + quint64(bytes), quint64(std::numeric_limits<qint64>::max())));
        plan.append(planned);
    }
    if (plan.isEmpty()) {
        batch.refusal = Refusal::NothingToDownload;
        return batch;
    }
    if (needed > bytesAvailable(clipPath)) {
        batch.refusal = Refusal::BatchTooLarge;
        return batch;
    }

    refreshPaintState(commands, recorder);
    for (const Planned& planned : std::as_const(plan)) {
        Started started = planned.resumeInto ? resume(recorder, manager, planned.clip, planned.resumeInto)
                                             : start(manager, planned.clip, savedClips, clipPath);
        started.recorderClip = planned.clip;
        batch.started.append(started);
    }
    return batch;
}

} // namespace DownloadLauncher

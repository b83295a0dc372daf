#include "download/DownloadLauncher.h"

#include "common/DelayMs.h"
#include "download/RecorderCommandChannel.h"
#include "download/RecorderCommands.h"
#include "download/RecorderDownloadManager.h"
#include "storage/SavedClipList.h"

#include <QObject>
#include <QStorageInfo>

namespace DownloadLauncher {

QString message(Refusal refusal)
{
    switch (refusal) {
    case Refusal::None:
        return {};
    case Refusal::NothingSelected:
        return QObject::tr("No clips or recorders selected. Unable to download.");
    case Refusal::SlowLink:
        return QObject::tr("The current Ethernet link is 1G. The clips cannot be downloaded.");
    case Refusal::NotEnoughDiskSpace:
        return QObject::tr("Unable to download clip. Not enough disk space.");
    case Refusal::FolderNotPrepared:
        return QObject::tr("Unable to download clip. The clip folder could not be created.");
    case Refusal::AlreadyDownloading:
        return QObject::tr("This clip is already being downloaded.");
    case Refusal::ClipMismatch:
        return QObject::tr("The recorder's clip no longer matches the frames in this folder (camera, clip id, frame "
                           "count or frame size differ). Nothing was downloaded into the folder.");
    case Refusal::RecorderMissing:
        return QObject::tr("No recorder on the network lists this clip. Connect its recorder to resume the download.");
    case Refusal::BatchTooLarge:
        return QObject::tr("Unable to download the clips. Not enough disk space for all of them.");
    case Refusal::NothingToDownload:
        return QObject::tr("Every clip of this recorder is downloaded or downloading already.");
    }
    return {};
}

Refusal checkLink(const kvx::RecorderInfoPacket& recorder)
{
    return recorder.ethernet.linkCode() == 0 ? Refusal::SlowLink : Refusal::None;
}

Refusal checkDiskSpace(const DownloadableClip& clip, qint64 bytesAvailable)
{
    return clip.requiredBytes() > bytesAvailable ? Refusal::NotEnoughDiskSpace : Refusal::None;
}

qint64 bytesAvailable(const QString& path)
{
    const QStorageInfo volume(path);
    return volume.isValid() ? volume.bytesAvailable() : -1;
}

Started start(RecorderDownloadManager& manager, const QSharedPointer<DownloadableClip>& recorderClip,
              SavedClipList& savedClips, const QString& clipPath)
{
    Started started;
    if (manager.hasDownloadOf(*recorderClip)) {
        started.refusal = Refusal::AlreadyDownloading;
        return started;
    }
    const QSharedPointer<SavedClip> clip = savedClips.appendClip(recorderClip->info());
    if (!clip)
        return started;

    RecorderPaintState paint;
    if (manager.hasOutputState())
        paint.outputState = manager.outputState();
    paint.colorMatrices = manager.colorMatrices();
    if (!clip->prepareDownload(clipPath, paint)) {
        savedClips.removeClip(savedClips.rowOf(clip.data()));
        started.refusal = Refusal::FolderNotPrepared;
        return started;
    }

    recorderClip->reset();
    clip->resetDownloadProgress();
    DownloadRequest request;
    request.savedClip = clip;
    request.recorderClip = recorderClip;
    request.active = 1;
    manager.addClipRequest(request);
    started.clip = clip;
    return started;
}

void refreshPaintState(RecorderCommandChannel& commands, const kvx::RecorderInfoPacket& recorder)
{
    commands.sendCommand(recorder, RecorderCommands::updatePaintOptions());
    delayMs(CommandSpacingMs);
    commands.sendCommand(recorder, RecorderCommands::fetchMatrices());
    delayMs(MatricesAnswerMs);
    // The waits block the event loop, so the answers are still on the socket.
    commands.takeAnswers();
}

Started launch(RecorderCommandChannel& commands, const kvx::RecorderInfoPacket& recorder,
               RecorderDownloadManager& manager, const QSharedPointer<DownloadableClip>& recorderClip,
               SavedClipList& savedClips, const QString& clipPath)
{
    Refusal refusal = checkLink(recorder);
    if (refusal == Refusal::None && manager.hasDownloadOf(*recorderClip))
        refusal = Refusal::AlreadyDownloading;
    if (refusal == Refusal::None)
        refusal = checkDiskSpace(*recorderClip, bytesAvailable(clipPath));
    if (refusal != Refusal::None)
        return {nullptr, refusal, nullptr};
    refreshPaintState(commands, recorder);
    return start(manager, recorderClip, savedClips, clipPath);
}

} // namespace DownloadLauncher

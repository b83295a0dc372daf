#pragma once

#include "common/catalogue/DownloadableClip.h"
#include "common/packets/RecorderInfoPacket.h"
#include "storage/SavedClip.h"

#include <QSharedPointer>
#include <QString>

class RecorderCommandChannel;
class RecorderDownloadManager;
class SavedClipList;

// Starting the download of one recorder clip, as the main window's download button does it:
// the checks that may refuse it with a message for the user, the questions to the recorder
// whose answers seed the new clip's paint values, and the steps that make the clip folder and
// queue the download.
namespace DownloadLauncher {

// Pauses that let the recorder answer one command before the next.
inline constexpr int CommandSpacingMs = 50;
inline constexpr int MatricesAnswerMs = 100;

enum class Refusal {
    None,
    NothingSelected,
    SlowLink,
    NotEnoughDiskSpace,
    FolderNotPrepared,
    AlreadyDownloading,
    ClipMismatch,
    RecorderMissing,
    BatchTooLarge,
    NothingToDownload,
};

// The text shown for a refusal; empty for None.
QString message(Refusal refusal);

// Downloads go over a 10G link only.
Refusal checkLink(const kvx::RecorderInfoPacket& recorder);
// The clip must fit into the bytes available; equal is enough.
Refusal checkDiskSpace(const DownloadableClip& clip, qint64 bytesAvailable);
// Bytes available to the user on the volume that holds path; -1 when it cannot be told.
qint64 bytesAvailable(const QString& path);

struct Started {
    QSharedPointer<SavedClip> clip; // null when refused
    Refusal refusal = Refusal::None;
    QSharedPointer<DownloadableClip> recorderClip; // set by launchAll
};

// Appends a new saved clip for the recorder clip to the list, prepares its folder under
// clipPath with what the manager knows of the recorder's paint state, resets the download state
// of both clips and queues the download. A folder that cannot be prepared leaves no row; a
// recorder clip that is downloading already is refused before anything changes.
Started start(RecorderDownloadManager& manager, const QSharedPointer<DownloadableClip>& recorderClip,
              SavedClipList& savedClips, const QString& clipPath);

// Asks the recorder for its paint options and then its colour matrices, waiting (blocking, as
// between all commands to a recorder) 50 ms after the first and 100 ms after the second, and
// then takes the answers that arrived meanwhile, so the manager holds them before the clip
// folder is prepared from them.
void refreshPaintState(RecorderCommandChannel& commands, const kvx::RecorderInfoPacket& recorder);

// The whole start of a download of the recorder's clip into clipPath: the link, running
// download and disk-space checks, the paint-state refresh and start(). Refused with the
// reason, and nothing sent or queued, when a check fails.
Started launch(RecorderCommandChannel& commands, const kvx::RecorderInfoPacket& recorder,
               RecorderDownloadManager& manager, const QSharedPointer<DownloadableClip>& recorderClip,
               SavedClipList& savedClips, const QString& clipPath);

// --- resuming an incomplete folder ---

// The recorder clip is still the clip whose frames the folder holds: same camera, clip id,
// frame count and frame layout. Anything else is refused, so frames of two clips never mix.
Refusal checkResume(const SavedClip& saved, const DownloadableClip& recorderClip);
// Disk bytes the folder's missing frames and calibration still need.
qint64 missingBytes(const SavedClip& saved);
// The clip of the recorder's list that the folder was downloaded from (same camera and clip
// id, whether it still matches or not); null when the recorder does not list it.
QSharedPointer<DownloadableClip> recorderClipFor(RecorderDownloadManager& manager, const SavedClip& saved);
// An incomplete folder of the list that a download of the recorder clip continues.
QSharedPointer<SavedClip> resumableFolderFor(const SavedClipList& savedClips, const DownloadableClip& recorderClip);

// Continues the folder's download: only the frames (and calibration) it lacks are requested.
// Checks the link, a running download, the match and the disk space first.
Started resume(const kvx::RecorderInfoPacket& recorder, RecorderDownloadManager& manager,
               const QSharedPointer<DownloadableClip>& recorderClip, const QSharedPointer<SavedClip>& saved);

// --- every clip of a recorder ---

struct Batch {
    QList<Started> started; // one per clip started or resumed
    Refusal refusal = Refusal::None;
};

// Starts every clip of the recorder's list that is not downloaded or downloading: incomplete
// folders are resumed, the rest get new folders. The disk space for the whole batch is checked
// first; without enough, nothing starts.
Batch launchAll(RecorderCommandChannel& commands, const kvx::RecorderInfoPacket& recorder,
                RecorderDownloadManager& manager, SavedClipList& savedClips, const QString& clipPath);

} // namespace DownloadLauncher

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

enum class Refusal { None, NothingSelected, SlowLink, NotEnoughDiskSpace, FolderNotPrepared, AlreadyDownloading };

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

} // namespace DownloadLauncher

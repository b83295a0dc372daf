#pragma once

#include "common/catalogue/DownloadableClip.h"
#include "common/packets/RecorderInfoPacket.h"
#include "storage/SavedClip.h"

#include <QSharedPointer>
#include <QString>

class RecorderDownloadManager;
class SavedClipList;

// Starting the download of one recorder clip, as the main window's download button does it:
// the checks that may refuse it with a message for the user, and the steps that make the clip
// folder and queue the download.
namespace DownloadLauncher {

enum class Refusal { None, NothingSelected, SlowLink, NotEnoughDiskSpace, FolderNotPrepared };

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
// of both clips and queues the download. A folder that cannot be prepared leaves no row.
Started start(RecorderDownloadManager& manager, const QSharedPointer<DownloadableClip>& recorderClip,
              SavedClipList& savedClips, const QString& clipPath);

} // namespace DownloadLauncher

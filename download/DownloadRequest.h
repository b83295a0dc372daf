#pragma once

#include "common/catalogue/DownloadableClip.h"
#include "storage/SavedClip.h"

#include <QMetaType>
#include <QSharedPointer>

// One clip download as the download manager queues it: the recorder's clip and the folder that
// is being filled.
struct DownloadRequest {
    QSharedPointer<SavedClip> savedClip;
    // Its segments record the frames already requested from the recorder.
    QSharedPointer<DownloadableClip> recorderClip;
    // The main window sets it; an inactive request at the head of the queue holds the queue.
    quint64 active = 0;
    quint64 reserved = 0;
    // Failed transfers of this clip since its last block that arrived.
    quint32 txErrors = 0;
    // Frame blocks that could not be written since the last one that was.
    quint32 frameStoreFailures = 0;
    // Times the calibration block could not be written.
    quint32 calibrationStoreFailures = 0;
};

Q_DECLARE_METATYPE(DownloadRequest)

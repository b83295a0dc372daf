#pragma once

#include "SampleClips.h"
#include "storage/SavedClip.h"

#include <QSignalSpy>

#include <cstring>

// A downloaded clip folder made the way a download makes it: prepared, then the calibration
// and the frames stored as received blocks through the clip's write jobs.
namespace testdata {

// Returns the folder path, empty when a step failed. An empty calibration stores none. With a
// thumbnail renderer the folder gets its thumbnail when the last frames are stored.
inline QString makeClipFolder(const QString& base, int width, int height, int frames, const QByteArray& frameBytes,
                              const QByteArray& calibration, std::shared_ptr<ThumbnailRenderer> thumbnails = {})
{
    SavedClip clip(sampleClip(1, quint64(frames), quint16(width), quint16(height)));
    clip.setThumbnailRenderer(std::move(thumbnails));
    if (!clip.prepareDownload(base, {}))
        return {};
    SavedClip::RAMBufferPtr buffer;
    if (!calibration.isEmpty()) {
        if (!clip.allocateBuffer(ClipSegment{0, 0}, true, &buffer) || buffer->size() != calibration.size())
            return {};
        std::memcpy(buffer->data(), calibration.constData(), size_t(calibration.size()));
        QSignalSpy stored(&clip, &DownloadableClip::calibrationFileFinished);
        if (!clip.storeCalibration(buffer) || !stored.wait(10000))
            return {};
    }
    if (!clip.allocateBuffer(ClipSegment{0, frames - 1}, false, &buffer) || buffer->size() != frameBytes.size())
        return {};
    std::memcpy(buffer->data(), frameBytes.constData(), size_t(frameBytes.size()));
    QSignalSpy progress(&clip, &SavedClip::clipDownloadProgress);
    if (!clip.storeFrames(buffer) || !progress.wait(30000))
        return {};
    return clip.folderPath();
}

} // namespace testdata

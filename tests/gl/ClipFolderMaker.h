#pragma once

#include "storage/SavedClip.h"

#include <QSignalSpy>

#include <cstring>

// A downloaded clip folder made the way a download makes it: prepared, then the calibration
// and the frames stored as received blocks through the clip's write jobs.
namespace testdata {

inline kvx::ClipInfoPacket::clipInfo clipInfoOf(int width, int height, int frames)
{
    kvx::ClipInfoPacket::clipInfo info;
    info.cameraSerial = 4711;
    info.totalFrames = quint64(frames);
    info.clipUid = 0x1234;
    info.fps = 500.0f;
    info.lineBytes = quint16(width);
    info.lineCount = quint16(height);
    info.width = quint16(width);
    info.height = quint16(height);
    info.clipNumber = 1;
    return info;
}

// Returns the folder path, empty when a step failed. An empty calibration stores none.
inline QString makeClipFolder(const QString& base, int width, int height, int frames, const QByteArray& frameBytes,
                              const QByteArray& calibration)
{
    SavedClip clip(clipInfoOf(width, height, frames));
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

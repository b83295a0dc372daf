#pragma once

#include "SampleClips.h"
#include "storage/SavedClip.h"

#include <QSignalSpy>

#include <cstring>
#include <functional>

// Downloaded clip folders made the way a download makes them: prepared, then the calibration
// and the frames stored as received blocks through the clip's write jobs.
namespace testdata {

// What a clip folder receives.
struct FolderContent {
    kvx::ClipInfoPacket::clipInfo clip;
    // Writes count whole frames from frame first on into out.
    std::function<void(qint64 first, qint64 count, uchar* out)> frames;
    // Writes the whole calibration block into out; none: no calibration arrives.
    std::function<void(uchar* out, qsizetype bytes)> calibration;
};

// Stores the frames of range as one received block and waits until it is written.
inline bool storeFrames(SavedClip& clip, const FolderContent& content, const ClipSegment& range)
{
    SavedClip::RAMBufferPtr buffer;
    if (!clip.allocateBuffer(range, false, &buffer))
        return false;
    content.frames(range.first, range.last - range.first + 1, buffer->data());
    QSignalSpy progress(&clip, &SavedClip::clipDownloadProgress);
    return clip.storeFrames(buffer) && progress.wait(30000);
}

// A clip whose download has started in base: folder prepared and calibration stored, no
// frames yet. Null when a step failed.
inline QSharedPointer<SavedClip> startedDownload(const QString& base, const FolderContent& content,
                                                 std::shared_ptr<ThumbnailRenderer> thumbnails = {})
{
    auto clip = QSharedPointer<SavedClip>::create(content.clip);
    clip->setThumbnailRenderer(std::move(thumbnails));
    if (!clip->prepareDownload(base, {}))
        return {};
    if (content.calibration) {
        SavedClip::RAMBufferPtr buffer;
        if (!clip->allocateBuffer(ClipSegment{0, 0}, true, &buffer))
            return {};
        content.calibration(buffer->data(), buffer->size());
        QSignalSpy stored(clip.data(), &DownloadableClip::calibrationFileFinished);
        if (!clip->storeCalibration(buffer) || !stored.wait(10000))
            return {};
    }
    return clip;
}

// The folder of a finished download; empty when a step failed. With a thumbnail renderer the
// folder gets its thumbnail when the last frames are stored.
inline QString makeClipFolder(const QString& base, const FolderContent& content,
                              std::shared_ptr<ThumbnailRenderer> thumbnails = {})
{
    const QSharedPointer<SavedClip> clip = startedDownload(base, content, std::move(thumbnails));
    const qint64 frames = qint64(content.clip.totalFrames);
    if (!clip || !storeFrames(*clip, content, ClipSegment{0, frames - 1}))
        return {};
    // A complete folder gets its hash list; it is written before the folder is handed out.
    QSignalSpy hashList(clip.data(), &SavedClip::hashListFinished);
    if (clip->isWritingHashList() && !hashList.wait(30000))
        return {};
    return clip->folderPath();
}

// The same for frames of width x height one-byte pixels given as bytes, one frame after the
// other; an empty calibration stores none.
inline QString makeClipFolder(const QString& base, int width, int height, int frames, const QByteArray& frameBytes,
                              const QByteArray& calibration, std::shared_ptr<ThumbnailRenderer> thumbnails = {})
{
    FolderContent content;
    content.clip = sampleClip(1, quint64(frames), quint16(width), quint16(height));
    const qint64 frameSize = qint64(width) * height;
    if (frameBytes.size() != frameSize * frames || (!calibration.isEmpty() && calibration.size() != frameSize * 8))
        return {};
    content.frames = [frameBytes, frameSize](qint64 first, qint64 count, uchar* out) {
        std::memcpy(out, frameBytes.constData() + first * frameSize, size_t(count * frameSize));
    };
    if (!calibration.isEmpty()) {
        content.calibration = [calibration](uchar* out, qsizetype bytes) {
            std::memcpy(out, calibration.constData(), size_t(bytes));
        };
    }
    return makeClipFolder(base, content, std::move(thumbnails));
}

} // namespace testdata

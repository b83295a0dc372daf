// The frame store and calibration file of a saved clip: receive buffers, write jobs, mapping.
#include "storage/SavedClip.h"

#include "hashlist/PrefixHash.h"
#include "storage/ClipFolder.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

#include <limits>

// Blocks sit at their file offset's position within a receive-memory page, so that the aligned
// part of their file range is aligned in memory as direct writes need.
static_assert(ReceiveMemory::PageBytes % StoreFile::DirectAlignment == 0);

qint64 SavedClip::calibrationBytes() const
{
    return qint64(lineBytes) * qint64(lineCount) * 8;
}

bool SavedClip::openFrameFile()
{
    const QString path = filePath(clipfolder::FrameFile);
    if (!frameFile_) {
        if (!QFileInfo::exists(path))
            return false;
        frameFile_ = std::make_shared<StoreFile>(path);
    }
    if (!frameFile_->open())
        return false;
    mapping_ = frameFile_->map(&mappedLength_);
    if (!mapping_)
        qDebug() << "Failed to map clip";
    return true;
}

const uchar* SavedClip::frameData(qint64 i) const
{
    const qint64 frameBytes = bytesPerFrame();
    if (!mapping_ || frameBytes <= 0 || i < 0 || i >= mappedLength_ / frameBytes)
        return nullptr;
    return mapping_ + i * frameBytes;
}

bool SavedClip::allocateBuffer(const ClipSegment& frames, bool calibration, RAMBufferPtr* buffer)
{
    buffer->reset();
    qint64 needed = calibrationBytes();
    if (!calibration) {
        if (frames.isEmpty() || frames.first < 0 || frames.last > lastFrameIndex())
            return false;
        const qint64 count = frames.last - frames.first + 1;
        if (qMulOverflow(bytesPerFrame(), count, &needed))
            return false;
    }
    const qint64 fileOffset = calibration ? 0 : frames.first * bytesPerFrame();
    *buffer = ReceiveBuffer::allocate(receiveMemory_, needed, frames, calibration, fileOffset);
    return !buffer->isNull();
}

bool SavedClip::storeFrames(RAMBufferPtr buffer)
{
    if (!buffer || buffer->isCalibration() || !frameFile_ || deleted_)
        return false;
    const ClipSegment& frames = buffer->frames();
    if (frames.isEmpty() || frames.first < 0 || frames.last > lastFrameIndex()
        || buffer->size() != bytesPerFrame() * (frames.last - frames.first + 1))
        return false;
    return startWriteJob(frameFile_, frameHash_, buffer, frames.first * bytesPerFrame());
}

bool SavedClip::storeCalibration(RAMBufferPtr buffer)
{
    if (!buffer || !buffer->isCalibration() || !calibrationFile_ || deleted_ || buffer->size() != calibrationBytes())
        return false;
    return startWriteJob(calibrationFile_, calibrationHash_, buffer, 0);
}

bool SavedClip::startWriteJob(const std::shared_ptr<StoreFile>& file, const std::shared_ptr<PrefixHash>& hash,
                              RAMBufferPtr buffer, qint64 offset)
{
    // The job alone holds the block, so its receive memory is free again as soon as it has been
    // written; the completion only needs to know which frames it carried. Jobs of one file run
    // side by side: their ranges never overlap.
    auto* watcher = new QFutureWatcher<WriteResult>(this);
    const ClipSegment frames = buffer->frames();
    const bool calibration = buffer->isCalibration();
    connect(watcher, &QFutureWatcher<WriteResult>::finished, this, [this, watcher, frames, calibration] {
        onWriteJobFinished(frames, calibration, watcher->result());
        watcher->deleteLater();
    });
    watcher->setFuture(QtConcurrent::run([file, hash, buffer, offset] {
        const WriteResult result = file->writeAt(offset, buffer->data(), buffer->size());
        // Hashed while the block is still in memory, so it need not be read back.
        if (result.complete && hash)
            hash->written(offset, buffer->data(), buffer->size());
        return result;
    }));
    return true;
}

void SavedClip::onWriteJobFinished(const ClipSegment& frames, bool calibration, const WriteResult& result)
{
    if (deleted_)
        return;
    bytesReceived_ += result.bytesWritten;
    millisecondsSpent_ += result.elapsedMs;
    speed_ = millisecondsSpent_ > 0 ? double(bytesReceived_) * 8.0 / (double(millisecondsSpent_) * 1e6) : 0.0;

    if (!result.complete)
        qDebug() << "Failed save to file";

    if (calibration) {
        if (result.complete) {
            setCalibrationPresent(true);
            writeClipXml();
            writeHashListIfComplete();
        } else {
            emit calibrationStoreFailed();
        }
        return;
    }

    if (result.complete) {
        const bool wasComplete = isComplete();
        addRange(frames);
        writeClipXml();
        if (!wasComplete && isComplete())
            renderThumbnail();
        writeHashListIfComplete();
        const auto asInt = [](quint64 v) { return int(std::min<quint64>(v, std::numeric_limits<int>::max())); };
        emit clipDownloadProgress(asInt(downloadedFrames()), asInt(totalFrames));
    } else {
        emit framesStoreFailed(frames);
    }
    emit displayChanged();
}

void SavedClip::resetDownloadProgress()
{
    reset();
    bytesReceived_ = 0;
    millisecondsSpent_ = 0;
    speed_ = 0.0;
}

bool SavedClip::loadCalibration(QByteArray* data, int* width, int* height)
{
    data->clear();
    if (!hasCalibration())
        return false;
    *width = lineBytes;
    *height = lineCount;
    const qint64 expected = calibrationBytes();
    QFile file(filePath(clipfolder::CalibrationFile));
    if (expected <= 0 || !file.open(QIODevice::ReadOnly) || file.size() != expected)
        return false;
    const QByteArray bytes = file.readAll();
    if (bytes.size() != expected) {
        qDebug() << "Calibration read" << bytes.size() << "bytes";
        return false;
    }
    *data = bytes;
    return true;
}

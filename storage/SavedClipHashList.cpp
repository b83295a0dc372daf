// Verified copies of a saved clip: hashing its files as they are written, the hash list written
// when the clip is complete, resuming an incomplete folder and checking a folder again.
#include "storage/SavedClip.h"

#include "hashlist/MediaHashList.h"
#include "hashlist/PrefixHash.h"
#include "storage/ClipFolder.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

namespace {

struct HashListResult {
    bool ok = false;
    QString detail; // the file written, or why none was
};

} // namespace

bool SavedClip::openStoreFiles(qint64 frameFileBytes, bool sizeCalibration)
{
    calibrationFile_ = std::make_shared<StoreFile>(filePath(clipfolder::CalibrationFile));
    frameFile_ = std::make_shared<StoreFile>(filePath(clipfolder::FrameFile));
    if (!calibrationFile_->open(sizeCalibration ? std::optional<qint64>(calibrationBytes()) : std::nullopt)
        || !frameFile_->open(frameFileBytes)) {
        closeFiles();
        return false;
    }
    openFrameFile();
    return true;
}

void SavedClip::startHashes()
{
    writingHashList_ = false;
    downloadStart_ = QDateTime::currentDateTimeUtc();
    if (!hashing_) {
        frameHash_.reset();
        calibrationHash_.reset();
        return;
    }
    const qint64 frameBytes = bytesPerFrame();
    frameHash_ = std::make_shared<PrefixHash>(filePath(clipfolder::FrameFile), frameBytes * expectedFrames_);
    calibrationHash_ = std::make_shared<PrefixHash>(filePath(clipfolder::CalibrationFile), calibrationBytes());
    // What an earlier download stored is read back once, when the hash reaches it.
    for (const ClipSegment& present : segments())
        frameHash_->noteWritten(present.first * frameBytes, qint64(present.length()) * frameBytes);
    if (isCalibrationPresent())
        calibrationHash_->noteWritten(0, calibrationBytes());
}

bool SavedClip::prepareResume()
{
    if (folderPath_.isEmpty() || deleted_ || (isComplete() && isCalibrationPresent()))
        return false;
    expectedFrames_ = lastFrameIndex() + 1;
    qint64 frameFileBytes = 0;
    if (qMulOverflow(bytesPerFrame(), expectedFrames_, &frameFileBytes))
        return false;
    closeFiles();
    // A calibration of the wrong size is fetched again rather than trusted.
    if (QFileInfo(filePath(clipfolder::CalibrationFile)).size() != calibrationBytes())
        setCalibrationPresent(false);
    if (!openStoreFiles(frameFileBytes, !isCalibrationPresent())) {
        openFrameFile();
        return false;
    }
    bytesReceived_ = 0;
    millisecondsSpent_ = 0;
    speed_ = 0.0;
    startHashes();
    return true;
}

void SavedClip::writeHashListIfComplete()
{
    if (!frameHash_ || !calibrationHash_ || writingHashList_ || !isComplete() || !isCalibrationPresent())
        return;
    writingHashList_ = true;
    auto* watcher = new QFutureWatcher<HashListResult>(this);
    connect(watcher, &QFutureWatcher<HashListResult>::finished, this, [this, watcher] {
        const HashListResult result = watcher->result();
        watcher->deleteLater();
        writingHashList_ = false;
        frameHash_.reset();
        calibrationHash_.reset();
        if (deleted_)
            return;
        if (result.ok)
            folderProblem_.clear();
        emit hashListFinished(result.ok, result.detail);
        emit displayChanged();
    });
    MediaHashList list;
    list.creator = MediaHashList::thisCreator(
        QStringLiteral("%1 %2").arg(QCoreApplication::applicationName(), QCoreApplication::applicationVersion()));
    list.creator.startDate = downloadStart_;
    const QString folder = folderPath_;
    watcher->setFuture(QtConcurrent::run([list, folder, frames = frameHash_, calibration = calibrationHash_]() mutable {
        const std::optional<quint64> framesHash = frames->finish();
        const std::optional<quint64> calibrationHash = calibration->finish();
        const std::optional<MediaHashList::Entry> entries[] = {
            framesHash ? MediaHashList::entryFor(folder, clipfolder::FrameFile, framesHash) : std::nullopt,
            calibrationHash ? MediaHashList::entryFor(folder, clipfolder::CalibrationFile, calibrationHash)
                            : std::nullopt,
            MediaHashList::entryFor(folder, clipfolder::ClipXml)};
        for (const auto& entry : entries) {
            if (!entry)
                return HashListResult{false, QObject::tr("the clip's files could not be read back for hashing")};
            list.entries.append(*entry);
        }
        list.creationDate = list.creator.finishDate = QDateTime::currentDateTimeUtc();
        const QString written = list.saveInFolder(folder);
        if (written.isEmpty())
            return HashListResult{false, QObject::tr("the hash list could not be written")};
        return HashListResult{true, written};
    }));
}

FolderCheck SavedClip::verifyFolder() const
{
    return hashlistcheck::check(folderPath_, true);
}

void SavedClip::takeCheck(const FolderCheck& check)
{
    folderProblem_ = check.summary();
    emit displayChanged();
}

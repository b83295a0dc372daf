#pragma once

#include "common/catalogue/DownloadableClip.h"
#include "common/packets/OutputStatePacket.h"
#include "hashlist/HashListCheck.h"
#include "render/colour/ColorMatrixSet.h"
#include "render/state/RenderState.h"
#include "storage/ClipDescription.h"
#include "storage/ReceiveMemory.h"
#include "storage/StoreFile.h"
#include "storage/ThumbnailRenderer.h"

#include <QDateTime>
#include <QEnableSharedFromThis>
#include <QPixmap>
#include <QSharedPointer>

#include <functional>
#include <memory>
#include <optional>

class PrefixHash;
class QFile;

// What the recorder told us before a download starts, to seed the new clip's paint values.
struct RecorderPaintState {
    std::optional<OutputStatePacket> outputState; // none received yet: a recorder's defaults
    QList<ColorMatrixRecord> colorMatrices;
};

// A downloaded clip: its folder under the clip path with the description "clip.xml", the render
// state "renderInfo.xml", the colour matrices "ColorMatrices.xml", the calibration "calib.bin"
// and the frame file "0.bin" (frame i at i x bytesPerFrame(), memory-mapped for playback).
// The segments inherited from DownloadableClip are the frames present in the folder.
//
// Downloads hand received blocks to storeFrames()/storeCalibration(); a background job writes
// each one, and its completion on this object's thread marks the frames present, rewrites
// clip.xml and reports progress. A block that could not be written is reported by
// framesStoreFailed()/calibrationStoreFailed() and never marked present.
//
// Verified copies: the frame file and calib.bin are hashed (xxHash64) as their blocks are
// written; once the clip is complete a background job finishes the hashes, hashes clip.xml and
// writes the folder's hash list ("<folder>_<date>_<time>.mhl"), then reports hashListFinished().
// renderInfo.xml, ColorMatrices.xml and thumb.tif are left out: the program rewrites them as the
// user works on the clip, and Verify is to report damage, not edits.
class SavedClip : public DownloadableClip, public QEnableSharedFromThis<SavedClip> {
    Q_OBJECT
public:
    using RAMBuffer = ReceiveBuffer;
    using RAMBufferPtr = QSharedPointer<RAMBuffer>;

    explicit SavedClip(const kvx::ClipInfoPacket::clipInfo& info = {}, QObject* parent = nullptr);
    ~SavedClip() override;

    // --- the folder and its metadata ---
    // Loads an existing clip folder. False when clip.xml or renderInfo.xml cannot be read.
    bool openFolder(const QString& path);
    // Creates the folder and its files for downloading this clip under basePath, named after
    // the folder clock's time. False (with nothing left half-prepared in use) when the folder or
    // its files cannot be made.
    bool prepareDownload(const QString& basePath, const RecorderPaintState& recorder);
    // Reopens the files of an opened, incomplete folder for downloading its missing frames (and
    // the calibration when it is not stored). A frame file cut short is sized again; only frames
    // clip.xml lists and the file holds count as present. False when the files cannot be opened.
    bool prepareResume();
    // The clock the folder is named after; the local time unless set.
    void setFolderClock(std::function<QDateTime()> clock) { folderClock_ = std::move(clock); }
    bool readClipXml(QFile* file);
    bool writeClipXml();
    // An empty path means the folder's "renderInfo.xml".
    bool loadRenderState(const QString& path = {});
    bool saveRenderState(const QString& path = {});
    // An empty path means the folder's "ColorMatrices.xml".
    bool saveColorMatrices(const QString& path = {});
    // Removes the folder with everything in it; the clip has no frames afterwards.
    bool deleteFolder();

    QString basePath() const { return basePath_; }
    QString folderPath() const { return folderPath_; }
    QString folderName() const { return folderName_; }
    qint64 expectedFrames() const { return expectedFrames_; }

    // --- verified copies ---
    // Hash while downloading and write the hash list on completion (on unless switched off).
    void setHashing(bool on) { hashing_ = on; }
    bool isWritingHashList() const { return writingHashList_; }
    // Checks the folder against its hash list, reading every listed file (blocking; safe from
    // a worker thread). The result becomes the folder's problem when it finds one.
    FolderCheck verifyFolder() const;
    // Takes a check's result on this object's thread: what is wrong shows in the description.
    void takeCheck(const FolderCheck& check);
    // What is wrong with the folder as found when it was opened or last verified; empty if
    // nothing.
    QString folderProblem() const { return folderProblem_; }

    // --- paint ---
    RenderState& renderState() { return renderState_; }
    ColorMatrixSet& colorMatrices() { return colorMatrices_; }
    const RenderState::Matrix3x3Double& baseColorMatrix() const { return baseColorMatrix_; }
    void setBaseColorMatrix(const RenderState::Matrix3x3Double& matrix) { baseColorMatrix_ = matrix; }
    bool loadMatrixSet(const QString& path);
    // Sets the base matrix from the colour-matrix set at "ColorTempMatrix"; returns the blended
    // colour temperature.
    double interpolateMatrix();
    // Writes the pipeline's matrix and offsets from the base matrix and the paint values.
    void applyColorUpdate();

    int lowerTrim() const { return lowerTrim_; }
    int upperTrim() const { return upperTrim_; }
    void setLowerTrim(int frame);
    void setUpperTrim(int frame);

    // --- texts and pictures ---
    QString description() const;
    QString text() const override { return description(); }
    // "thumb.tif", or the default clip picture, 64 pixels high; kept until the file changes.
    QPixmap thumbnail() const;
    // Deletes "thumb.tif" and draws it again.
    bool updateThumbnail();
    // Draws the first frame into "thumb.tif" with the thumbnail renderer; false without one.
    bool renderThumbnail();
    // Draws this clip's thumbnails from now on; null draws none.
    void setThumbnailRenderer(std::shared_ptr<ThumbnailRenderer> renderer);

    // --- frames ---
    qint64 bytesPerFrame() const { return frameSize(); }
    // The address of frame i in the mapped frame file; null when the clip is not mapped or the
    // file does not reach that frame.
    const uchar* frameData(qint64 i) const;
    // Bytes of the mapped frame file.
    qint64 dataSize() const { return mappedLength_; }
    bool openFrameFile();
    // Whether frame blocks go to the disk by direct I/O (false before the first block is
    // written, and where the file system refuses it).
    bool writesFramesDirect() const { return frameFile_ && frameFile_->writesDirect(); }

    // --- download ---
    // A block for the frames (or the calibration) to receive into; false while the clip's
    // receive memory cannot take it (the caller asks again later) or the range lies outside
    // the clip.
    bool allocateBuffer(const ClipSegment& frames, bool calibration, RAMBufferPtr* buffer);
    // Start the background write of a received block; false when it cannot even start.
    bool storeFrames(RAMBufferPtr buffer);
    bool storeCalibration(RAMBufferPtr buffer);
    ReceiveMemory& receiveMemory() { return *receiveMemory_; }
    // Forgets download progress (present frames, calibration flags) and the transfer totals.
    void resetDownloadProgress();
    quint64 bytesReceived() const { return bytesReceived_; }
    quint32 millisecondsSpent() const { return millisecondsSpent_; }
    // Gbit/s of the write jobs so far.
    double speed() const { return speed_; }

    // --- calibration ---
    bool hasCalibration() const { return isCalibrationPresent(); }
    // The whole "calib.bin" (stored width x stored height x 8 bytes); false without a stored
    // calibration, for a file of another size or a short read.
    bool loadCalibration(QByteArray* data, int* width, int* height);

signals:
    void clipDownloadProgress(int nFrames, int nTotFrames);
    void trimUpdated(int lower, int upper);
    void framesStoreFailed(ClipSegment frames);
    void calibrationStoreFailed();
    // The hash list of a completed download is written (ok) or could not be (detail says why).
    void hashListFinished(bool ok, QString detail);

private:
    QString filePath(const QString& name) const;
    ClipDescription currentDescription() const;
    void importPaintOptions();
    void restorePresentFrames(const ClipDescription& description);
    qint64 calibrationBytes() const;
    qint64 lastFrameIndex() const;
    // The whole clip: frame 0 to the last frame.
    void resetTrims();
    // The trims saved with the render state where they fit the clip, else the whole clip.
    void restoreTrims();
    bool startWriteJob(const std::shared_ptr<StoreFile>& file, const std::shared_ptr<PrefixHash>& hash,
                       RAMBufferPtr buffer, qint64 offset);
    void onWriteJobFinished(const ClipSegment& frames, bool calibration, const WriteResult& result);
    void closeFiles();
    bool openStoreFiles(qint64 frameFileBytes, bool sizeCalibration);
    void startHashes();
    void writeHashListIfComplete();
    // Removes a folder whose preparation failed half-way; always false.
    bool abandonFolder();

    QString basePath_;
    QString folderPath_;
    QString folderName_;
    qint64 expectedFrames_ = 0;
    RenderState renderState_;
    ColorMatrixSet colorMatrices_;
    RenderState::Matrix3x3Double baseColorMatrix_; // identity until a set selects one
    int lowerTrim_ = 0;
    int upperTrim_ = 0;

    std::shared_ptr<StoreFile> frameFile_;
    std::shared_ptr<StoreFile> calibrationFile_;
    const uchar* mapping_ = nullptr;
    qint64 mappedLength_ = 0;
    QSharedPointer<ReceiveMemory> receiveMemory_;
    quint64 bytesReceived_ = 0;
    quint32 millisecondsSpent_ = 0;
    double speed_ = 0.0;
    bool deleted_ = false;
    bool hashing_ = true;
    bool writingHashList_ = false;
    std::shared_ptr<PrefixHash> frameHash_;
    std::shared_ptr<PrefixHash> calibrationHash_;
    QDateTime downloadStart_;
    QString folderProblem_;
    std::shared_ptr<ThumbnailRenderer> thumbnailRenderer_;
    // The picture thumbnail() last made, and the file it was made from as it was then.
    struct ShownThumbnail {
        QString source;
        QDateTime modified;
        qint64 bytes = -1;
        QPixmap picture;
    };
    mutable ShownThumbnail shownThumbnail_;
    std::function<QDateTime()> folderClock_ = &QDateTime::currentDateTime;
};

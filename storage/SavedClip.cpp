#include "storage/SavedClip.h"

#include "common/naming/RecorderNaming.h"
#include "render/colour/ColorUpdate.h"
#include "render/state/PaintOptions.h"
#include "storage/ClipFolder.h"
#include "storage/InitialRenderState.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <limits>

SavedClip::SavedClip(const kvx::ClipInfoPacket::clipInfo& info, QObject* parent)
    : DownloadableClip(info, parent), receiveMemory_(QSharedPointer<ReceiveMemory>::create())
{}

SavedClip::~SavedClip()
{
    closeFiles();
}

QString SavedClip::filePath(const QString& name) const
{
    return folderPath_ + QLatin1Char('/') + name;
}

qint64 SavedClip::lastFrameIndex() const
{
    constexpr quint64 Largest = quint64(std::numeric_limits<qint64>::max());
    return totalFrames > Largest ? std::numeric_limits<qint64>::max() : qint64(totalFrames) - 1;
}

void SavedClip::resetTrims()
{
    lowerTrim_ = 0;
    upperTrim_ = int(std::clamp<qint64>(lastFrameIndex(), 0, std::numeric_limits<int>::max()));
}

bool SavedClip::openFolder(const QString& path)
{
    folderPath_ = QDir::cleanPath(path);
    folderName_ = folderPath_.section(QLatin1Char('/'), -1);
    basePath_ = QFileInfo(folderPath_).path() + QLatin1Char('/');
    deleted_ = false;

    QFile clipXml(filePath(clipfolder::ClipXml));
    if (!clipXml.open(QIODevice::ReadOnly)) {
        qDebug().noquote() << QStringLiteral("Failed to open XML file %1").arg(clipXml.fileName());
        return false;
    }
    // Only what the file says: a folder written without the added elements must not take this
    // clip's own flags for its answers.
    ClipDescription description;
    description.info = *this;
    // A damaged description never passes for a complete clip: only what it says before the
    // damage is taken, and the folder says what is wrong.
    const bool described = clipxml::read(&clipXml, description);
    if (!described)
        description.downloadFinished = false;
    static_cast<kvx::ClipInfoPacket::clipInfo&>(*this) = description.info;
    expectedFrames_ = lastFrameIndex() + 1;

    if (!loadRenderState())
        return false;
    importPaintOptions();

    if (colorMatrices_.load(filePath(clipfolder::ColorMatricesXml)))
        interpolateMatrix();
    else
        baseColorMatrix_.setToIdentity();

    // Without the element, a calibration file of the whole size is taken for a stored one.
    setCalibrationPresent(description.calibrationStored.value_or(
        QFileInfo(filePath(clipfolder::CalibrationFile)).size() == calibrationBytes() && calibrationBytes() > 0));
    openFrameFile();
    restorePresentFrames(description);

    // A folder whose first frame has not arrived yet would only give a black picture.
    const bool firstFramePresent = !segments().isEmpty() && segments().first().first == 0;
    if (firstFramePresent && !QFileInfo::exists(filePath(clipfolder::Thumbnail)))
        renderThumbnail();

    restoreTrims();
    folderProblem_ = described ? hashlistcheck::check(folderPath_, false).summary() : tr("clip.xml is damaged");
    return true;
}

void SavedClip::restoreTrims()
{
    // The trims the user set were saved with the render state ("LowerTrim" and "UpperTrim", -1
    // while unset); each holds while it lies inside the clip and the two stay in order.
    resetTrims();
    const qint64 last = std::min<qint64>(upperTrim_, lastFrameIndex());
    const qint64 lower = renderState_.value(QStringLiteral("LowerTrim")).toLongLong();
    const qint64 upper = renderState_.value(QStringLiteral("UpperTrim")).toLongLong();
    const int restoredLower = lower >= 0 && lower <= last ? int(lower) : lowerTrim_;
    const int restoredUpper = upper >= 0 && upper <= last ? int(upper) : upperTrim_;
    if (restoredLower <= restoredUpper) {
        lowerTrim_ = restoredLower;
        upperTrim_ = restoredUpper;
    }
}

void SavedClip::restorePresentFrames(const ClipDescription& description)
{
    QList<ClipSegment> present;
    if (description.downloadFinished)
        present = {{0, lastFrameIndex()}};
    else if (description.presentFrames)
        present = *description.presentFrames;

    // Frames count as present only where the frame file really holds them.
    const qint64 frameBytes = bytesPerFrame();
    const qint64 framesInFile = frameBytes > 0 ? mappedLength_ / frameBytes : 0;
    const qint64 last = std::min(lastFrameIndex(), framesInFile - 1);
    for (ClipSegment range : std::as_const(present)) {
        range.last = std::min(range.last, last);
        addRange(range);
    }
}

void SavedClip::importPaintOptions()
{
    const QString path = filePath(clipfolder::PaintXml);
    if (!QFileInfo::exists(path))
        return;
    const std::optional<render::PaintOptions> options = render::readPaintOptions(path);
    if (!options)
        return; // left in place: nothing of it was taken
    const QString position = QStringLiteral("ColorTempMatrix");
    if (renderState_.contains(position))
        renderState_.setValue(position, float(options->colorMat.value_or(1)) / 1024.0f);
    renderState_.setChanged(true);
    // Only once the render state holds the import is the recorder's file given up.
    if (saveRenderState())
        QFile::remove(path);
}

bool SavedClip::prepareDownload(const QString& basePath, const RecorderPaintState& recorder)
{
    basePath_ = basePath.endsWith(QLatin1Char('/')) ? basePath : basePath + QLatin1Char('/');
    closeFiles();
    deleted_ = false;
    expectedFrames_ = lastFrameIndex() + 1;
    qint64 frameFileBytes = 0;
    if (qMulOverflow(bytesPerFrame(), expectedFrames_, &frameFileBytes)) {
        qDebug() << "Clip too large for a frame file:" << totalFrames << "frames";
        return false;
    }

    folderPath_ = clipfolder::createFolder(basePath_, clipfolder::folderNameFor(folderClock_()));
    if (folderPath_.isEmpty()) {
        qDebug().noquote() << "Cannot create a clip folder in" << basePath_;
        return false;
    }
    folderName_ = folderPath_.section(QLatin1Char('/'), -1);

    if (!openStoreFiles(frameFileBytes, true))
        return abandonFolder();
    folderProblem_.clear();
    startHashes();
    resetTrims();
    if (!writeClipXml())
        return abandonFolder();

    applyOutputState(renderState_, recorder.outputState);
    colorMatrices_.records = recorder.colorMatrices;
    saveColorMatrices();
    interpolateMatrix();
    applyColorUpdate();
    return saveRenderState() || abandonFolder();
}

bool SavedClip::abandonFolder()
{
    // The folder was made by this preparation alone, so nothing else is lost with it.
    qDebug().noquote() << "Cannot prepare the clip folder" << folderPath_;
    closeFiles();
    QDir(folderPath_).removeRecursively();
    folderPath_.clear();
    folderName_.clear();
    return false;
}

ClipDescription SavedClip::currentDescription() const
{
    ClipDescription d;
    d.info = *this;
    d.downloadFinished = isComplete();
    d.presentFrames = segments();
    d.calibrationStored = isCalibrationPresent();
    return d;
}

bool SavedClip::readClipXml(QFile* file)
{
    ClipDescription description = currentDescription();
    const bool ok = clipxml::read(file, description);
    static_cast<kvx::ClipInfoPacket::clipInfo&>(*this) = description.info;
    return ok;
}

bool SavedClip::writeClipXml()
{
    if (folderPath_.isEmpty() || deleted_)
        return false;
    // Written aside and renamed over the old file, so a full disk never leaves half a
    // description. Unbuffered, because a buffered QSaveFile reports a failed write only when it
    // is flushed at commit, and commits the empty file all the same.
    QSaveFile file(filePath(clipfolder::ClipXml));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || !clipxml::write(&file, currentDescription())) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool SavedClip::loadRenderState(const QString& path)
{
    QFile file(path.isEmpty() ? filePath(clipfolder::RenderInfoXml) : path);
    if (!file.open(QIODevice::ReadOnly)) {
        qDebug().noquote() << QStringLiteral("Failed to open XML file %1").arg(file.fileName());
        return false;
    }
    renderState_.loadStateXml(&file);
    return true;
}

bool SavedClip::saveRenderState(const QString& path)
{
    const bool ownFile = path.isEmpty();
    if (ownFile && (folderPath_.isEmpty() || deleted_))
        return false;
    QSaveFile file(ownFile ? filePath(clipfolder::RenderInfoXml) : path); // unbuffered: see writeClipXml
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || !renderState_.saveStateXml(&file)) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit())
        return false;
    if (ownFile)
        renderState_.setChanged(false);
    return true;
}

bool SavedClip::saveColorMatrices(const QString& path)
{
    if (path.isEmpty() && (folderPath_.isEmpty() || deleted_))
        return false;
    return colorMatrices_.save(path.isEmpty() ? filePath(clipfolder::ColorMatricesXml) : path);
}

bool SavedClip::loadMatrixSet(const QString& path)
{
    return colorMatrices_.load(path);
}

double SavedClip::interpolateMatrix()
{
    const ColorMatrixSet::Blend blend =
        colorMatrices_.interpolate(renderState_.floatValue(QStringLiteral("ColorTempMatrix")));
    baseColorMatrix_ = blend.matrix;
    return blend.temperature;
}

void SavedClip::applyColorUpdate()
{
    render::applyColorUpdate(renderState_, baseColorMatrix_);
}

void SavedClip::setLowerTrim(int frame)
{
    lowerTrim_ = frame;
    if (renderState_.contains(QStringLiteral("LowerTrim")))
        renderState_.setValue(QStringLiteral("LowerTrim"), qint64(frame));
    emit trimUpdated(lowerTrim_, upperTrim_);
}

void SavedClip::setUpperTrim(int frame)
{
    upperTrim_ = frame;
    if (renderState_.contains(QStringLiteral("UpperTrim")))
        renderState_.setValue(QStringLiteral("UpperTrim"), qint64(frame));
    emit trimUpdated(lowerTrim_, upperTrim_);
}

QString SavedClip::description() const
{
    // An empty clip has nothing left to download.
    const qint64 percent = totalFrames == 0 ? 100 : qint64((quint64(downloadedFrames()) * 200 / totalFrames + 1) / 2);
    QString text = percent < 100 ? QStringLiteral("Downloading ") : QString();
    text += QStringLiteral("Clip #%1 '%2'\n").arg(int(clipNumber) + 1).arg(folderName_);
    text += QStringLiteral("Camera: %1 (VLM %2)\n")
                .arg(serialText(cameraSerial), width == 3840 ? QStringLiteral("UHD") : QStringLiteral("HD"));
    text += QStringLiteral("Frames: %1 - Recording time: %2 s\n")
                .arg(totalFrames)
                .arg(secondsFor(double(totalFrames)), 0, 'f', 3);
    text += QStringLiteral("FPS: %1 - Image resolution: %2x%3").arg(wholeFps()).arg(width).arg(height);
    if (percent < 100)
        text += tr("\nIncomplete: %1 of %2 frames").arg(downloadedFrames()).arg(totalFrames);
    if (!folderProblem_.isEmpty())
        text += tr("\nDamaged: %1").arg(folderProblem_);
    return text;
}

bool SavedClip::deleteFolder()
{
    closeFiles();
    // Never remove a folder that is not a clip's: an empty path would mean the working folder.
    if (folderPath_.isEmpty() || !QFileInfo::exists(filePath(clipfolder::ClipXml)))
        return false;
    deleted_ = true;
    reset();
    return QDir(folderPath_).removeRecursively();
}

void SavedClip::closeFiles()
{
    mapping_ = nullptr;
    mappedLength_ = 0;
    if (frameFile_)
        frameFile_->close();
    if (calibrationFile_)
        calibrationFile_->close();
    frameFile_.reset();
    calibrationFile_.reset();
}

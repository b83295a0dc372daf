// The clip's thumbnail picture "thumb.tif".
#include "storage/SavedClip.h"

#include "storage/ClipFolder.h"

#include <QFile>
#include <QFileInfo>

QPixmap SavedClip::thumbnail() const
{
    const QString rendered = filePath(clipfolder::Thumbnail);
    const QPixmap picture(!folderPath_.isEmpty() && QFileInfo::exists(rendered)
                              ? rendered
                              : QStringLiteral(":/res/clipw.png"));
    return picture.isNull() ? picture : picture.scaledToHeight(64, Qt::SmoothTransformation);
}

bool SavedClip::updateThumbnail()
{
    QFile::remove(filePath(clipfolder::Thumbnail));
    const bool rendered = renderThumbnail();
    emit displayChanged();
    return rendered;
}

// Drawing the thumbnail needs the OpenGL processing pipeline: frames 0 and 1 (frameData(0),
// bytesPerFrame()) with the calibration of loadCalibration() and this clip's render state,
// saved as filePath(clipfolder::Thumbnail). Until the pipeline is wired in here no thumbnail is
// drawn, and lists show the default clip picture.
bool SavedClip::renderThumbnail()
{
    return false;
}

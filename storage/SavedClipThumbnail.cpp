// The clip's thumbnail picture "thumb.tif".
#include "storage/SavedClip.h"

#include "storage/ClipFolder.h"

#include "render/pipeline/ThumbnailRenderer.h"

#include <QFile>
#include <QFileInfo>

QPixmap SavedClip::thumbnail() const
{
    const QString rendered = filePath(clipfolder::Thumbnail);
    const QPixmap picture(!folderPath_.isEmpty() && QFileInfo::exists(rendered) ? rendered
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

// The first frame through the processing pipeline with this clip's calibration and render
// state. No calibration, no thumbnail: the list then shows the default clip picture.
bool SavedClip::renderThumbnail()
{
    QByteArray calibration;
    int width = 0;
    int height = 0;
    if (!loadCalibration(&calibration, &width, &height))
        return false;
    const auto frames =
        kvx::FrameBlock::describeMapped(frameData(0), dataSize(), qint64(totalFrames), width, height, bytesPerFrame());
    return kvx::renderThumbnailImage(frames, calibration, renderState_, filePath(clipfolder::Thumbnail));
}

// The clip's thumbnail picture "thumb.tif".
#include "storage/SavedClip.h"

#include "storage/ClipFolder.h"

#include <QFile>
#include <QFileInfo>

// Pictures of a static library are registered by hand, once, from outside any namespace.
static void registerStoragePictures()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(storage);
        return true;
    }();
    Q_UNUSED(registered);
}

QPixmap SavedClip::thumbnail() const
{
    registerStoragePictures();
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

bool SavedClip::renderThumbnail()
{
    return thumbnailRenderer_ && thumbnailRenderer_->render(*this, filePath(clipfolder::Thumbnail));
}

void SavedClip::setThumbnailRenderer(std::shared_ptr<ThumbnailRenderer> renderer)
{
    thumbnailRenderer_ = std::move(renderer);
}

// The clip's thumbnail picture "thumb.tif".
#include "storage/SavedClip.h"

#include "storage/ClipFolder.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>

// The list asks on every repaint: the file is only looked at (one stat), and read and scaled
// again when it is another file or has changed.
QPixmap SavedClip::thumbnail() const
{
    const QFileInfo rendered(filePath(clipfolder::Thumbnail));
    const bool own = !folderPath_.isEmpty() && rendered.exists();
    ShownThumbnail wanted;
    wanted.source = own ? rendered.filePath() : QStringLiteral(":/res/clipw.png");
    if (own) {
        wanted.modified = rendered.lastModified();
        wanted.bytes = rendered.size();
    }
    if (shownThumbnail_.picture.isNull() || wanted.source != shownThumbnail_.source
        || wanted.modified != shownThumbnail_.modified || wanted.bytes != shownThumbnail_.bytes) {
        // Read as an image: QPixmap's own cache knows files only to the second, and would give a
        // picture drawn again within that second as the old one.
        const QImage picture(wanted.source);
        if (!picture.isNull())
            wanted.picture = QPixmap::fromImage(picture.scaledToHeight(64, Qt::SmoothTransformation));
        shownThumbnail_ = wanted;
    }
    return shownThumbnail_.picture;
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
    // A picture drawn within the file time's resolution at the same size must show too.
    shownThumbnail_ = {};
    return thumbnailRenderer_ && thumbnailRenderer_->render(*this, filePath(clipfolder::Thumbnail));
}

void SavedClip::setThumbnailRenderer(std::shared_ptr<ThumbnailRenderer> renderer)
{
    thumbnailRenderer_ = std::move(renderer);
}

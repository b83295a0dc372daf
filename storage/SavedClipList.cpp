#include "storage/SavedClipList.h"

#include "storage/ClipFolder.h"

#include <QDir>

QVariant SavedClipList::data(const QModelIndex& index, int role) const
{
    const SavedClip* clip = clipPointerAt(index);
    if (!clip)
        return {};
    if (role == Qt::DisplayRole)
        return clip->description();
    if (role == Qt::DecorationRole)
        return clip->thumbnail();
    return {};
}

void SavedClipList::insertItem(QSharedPointer<SavedClip> item, int row)
{
    item->setThumbnailRenderer(thumbnailRenderer_);
    BaseClipListModel::insertItem(item, row);
    SavedClip* clip = item.data();
    connect(clip, &DownloadableClip::displayChanged, this, [this, clip] {
        const int at = clip->row();
        if (clipPointerAt(at) == clip)
            emit dataChanged(index(at), index(at));
    });
}

void SavedClipList::removeClip(int row)
{
    if (SavedClip* clip = clipPointerAt(row))
        disconnect(clip, nullptr, this, nullptr);
    BaseClipListModel::removeClip(row);
}

QSharedPointer<SavedClip> SavedClipList::appendClip(const kvx::ClipInfoPacket::clipInfo& info)
{
    auto clip = QSharedPointer<SavedClip>::create(info);
    append(clip);
    return clip;
}

void SavedClipList::append(QSharedPointer<SavedClip> clip)
{
    insertItem(std::move(clip), rowCount());
}

void SavedClipList::clear()
{
    while (rowCount() > 0)
        removeClip(rowCount() - 1);
}

void SavedClipList::rebuildFromFolder(const QString& folder)
{
    const QList<QSharedPointer<SavedClip>> previous = clips_;
    clear();
    const QDir dir(folder);
    const QStringList entries = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name);
    for (const QString& entry : entries) {
        const QString path = QDir::cleanPath(dir.filePath(entry));
        if (!clipfolder::isClipFolder(path))
            continue;
        auto opened = QSharedPointer<SavedClip>::create();
        opened->setThumbnailRenderer(thumbnailRenderer_);
        if (!opened->openFolder(path))
            continue;
        // The same clip downloaded twice lives in two folders: the folder decides too.
        const auto kept = std::find_if(previous.cbegin(), previous.cend(), [&](const QSharedPointer<SavedClip>& c) {
            return c->folderPath() == opened->folderPath() && c->sameClip(*opened);
        });
        append(kept != previous.cend() ? *kept : opened);
    }
}

void SavedClipList::setThumbnailRenderer(std::shared_ptr<ThumbnailRenderer> renderer)
{
    thumbnailRenderer_ = std::move(renderer);
    for (const QSharedPointer<SavedClip>& clip : std::as_const(clips_))
        clip->setThumbnailRenderer(thumbnailRenderer_);
}

bool SavedClipList::deleteClip(int row)
{
    const QSharedPointer<SavedClip> clip = clipAt(row);
    if (!clip || !clip->deleteFolder())
        return false;
    removeClip(rowOf(clip.data()));
    return true;
}

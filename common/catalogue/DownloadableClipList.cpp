#include "common/catalogue/DownloadableClipList.h"

#include <QSet>

QVariant DownloadableClipList::data(const QModelIndex& index, int role) const
{
    const DownloadableClip* clip = clipPointerAt(index);
    if (!clip)
        return {};
    if (role == Qt::DisplayRole)
        return clip->text();
    if (role == Qt::DecorationRole)
        return clip->icon();
    return {};
}

void DownloadableClipList::insertItem(QSharedPointer<DownloadableClip> item, int row)
{
    BaseClipListModel::insertItem(item, row);
    const DownloadableClip* clip = item.data();
    connect(clip, &DownloadableClip::displayChanged, this, [this, clip] {
        const int at = clip->row();
        if (at >= 0 && at < rowCount())
            emit dataChanged(index(at), index(at));
    });
}

void DownloadableClipList::removeClip(int row)
{
    if (DownloadableClip* clip = clipPointerAt(row))
        clip->disconnect(this);
    BaseClipListModel::removeClip(row);
}

void DownloadableClipList::setClips(const QList<ClipInfoProcessor::Record>& records)
{
    // Clips present before the merge that the new list names again.
    QSet<const DownloadableClip*> seen;
    QSet<const DownloadableClip*> known;
    for (const auto& clip : std::as_const(clips_))
        known.insert(clip.data());

    for (const ClipInfoProcessor::Record& record : records) {
        const auto& info = record.info;
        int row = 0;
        while (row < rowCount() && clips_.at(row)->clipNumber < info.clipNumber)
            ++row;
        bool found = false;
        for (; row < rowCount() && clips_.at(row)->clipNumber == info.clipNumber; ++row) {
            if (clips_.at(row)->sameClip(info)) {
                seen.insert(clips_.at(row).data());
                found = true;
                break;
            }
        }
        if (!found)
            insertClip(info, row);
    }

    for (const auto& clip : std::as_const(clips_)) {
        if (known.contains(clip.data()))
            clip->setLost(!seen.contains(clip.data()));
    }
    for (int row = 0; row < rowCount();) {
        const DownloadableClip* clip = clips_.at(row).data();
        if (clip->isLost() && clip->downloadedFrames() == 0)
            removeClip(row);
        else
            ++row;
    }
    emit clipLabelChanged();
}

bool DownloadableClipList::isDownloadable(const QModelIndex& index) const
{
    const DownloadableClip* clip = clipPointerAt(index);
    return clip && !clip->isLost();
}

void DownloadableClipList::newClips(ClipInfoProcessor processedClips)
{
    setClips(processedClips.clips());
}

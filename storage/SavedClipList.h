#pragma once

#include "common/catalogue/BaseClipListModel.h"
#include "storage/SavedClip.h"

// The downloaded clips shown in the main window: one row per clip folder, showing the clip's
// description and thumbnail. Rows follow their clip's displayChanged().
class SavedClipList : public BaseClipListModel<SavedClip> {
    Q_OBJECT
public:
    using BaseClipListModel::BaseClipListModel;

    // Display role: description(); decoration role: thumbnail().
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    void insertItem(QSharedPointer<SavedClip> item, int row) override;
    void removeClip(int row) override;

    // A new clip made from a recorder's description of it, appended as the last row.
    QSharedPointer<SavedClip> appendClip(const kvx::ClipInfoPacket::clipInfo& info);
    void append(QSharedPointer<SavedClip> clip);
    void clear();

    // Lists every clip folder in folder. A clip already listed (same folder, same clip) keeps
    // its object, so a clip that is open or downloading keeps its identity; folders that are
    // no clip folders, or fail to open, are left out.
    void rebuildFromFolder(const QString& folder);

    // The renderer every clip of the list draws its thumbnail with, also when it is opened by
    // rebuildFromFolder(); set it before that.
    void setThumbnailRenderer(std::shared_ptr<ThumbnailRenderer> renderer);

    // Deletes the row's clip folder from disk and removes the row; false (and nothing removed)
    // when the folder could not be deleted.
    bool deleteClip(int row);

private:
    std::shared_ptr<ThumbnailRenderer> thumbnailRenderer_;
};

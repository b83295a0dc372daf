#pragma once

#include "common/catalogue/BaseClipListModel.h"
#include "common/catalogue/ClipInfoProcessor.h"
#include "common/catalogue/DownloadableClip.h"

// The clips one recorder holds, merged from each new complete list so that clips keep their
// download progress across lists. A clip keeps its row's display current through its
// displayChanged() signal.
class DownloadableClipList : public BaseClipListModel<DownloadableClip> {
    Q_OBJECT
public:
    using BaseClipListModel::BaseClipListModel;

    // Display role: the clip's text; decoration role: its icon.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    void insertItem(QSharedPointer<DownloadableClip> item, int row) override;
    void removeClip(int row) override;
    // The merge: clips missing from records become lost and are dropped unless frames of them
    // were downloaded; new clips are inserted in clip-number order; known clips keep their state.
    void setClips(const QList<ClipInfoProcessor::Record>& records) override;

    // A clip can be downloaded while the recorder still lists it.
    bool isDownloadable(const QModelIndex& index) const;

signals:
    // After every merge: the labels of the clips may read differently.
    void clipLabelChanged();

public slots:
    void newClips(ClipInfoProcessor processedClips);
};

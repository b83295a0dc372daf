#pragma once

#include "common/catalogue/ClipInfoProcessor.h"

#include <QAbstractListModel>
#include <QSharedPointer>

#include <algorithm>

// A list model over shared clips; T derives from ModelItem, can be made from a clip description
// and keeps its row number in step with its position here. Holds no signals or slots of its
// own (moc cannot handle templates); the derived models declare theirs.
template <class T>
class BaseClipListModel : public QAbstractListModel {
public:
    static constexpr int ClipIdRole = Qt::UserRole + 1;

    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(clips_.size()); }

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override
    {
        const T* clip = clipPointerAt(index);
        if (!clip)
            return {};
        if (role == ClipIdRole)
            return clip->clipNumber;
        if (role == Qt::DisplayRole)
            return clip->text();
        return {};
    }

    QHash<int, QByteArray> roleNames() const override
    {
        QHash<int, QByteArray> names = QAbstractListModel::roleNames();
        names.insert(ClipIdRole, "clipID");
        return names;
    }

    // Row is clamped into the list. Rows behind it move down and are renumbered.
    virtual void insertItem(QSharedPointer<T> item, int row)
    {
        row = std::clamp(row, 0, int(clips_.size()));
        beginInsertRows({}, row, row);
        clips_.insert(row, item);
        renumberFrom(row);
        endInsertRows();
    }

    virtual void insertClip(const kvx::ClipInfoPacket::clipInfo& info, int row)
    {
        insertItem(QSharedPointer<T>::create(info), row);
    }

    // Does nothing for a row outside the list. The clip is released by the model; whoever still
    // shares it sees row -1.
    virtual void removeClip(int row)
    {
        if (row < 0 || row >= clips_.size())
            return;
        beginRemoveRows({}, row, row);
        const QSharedPointer<T> removed = clips_.takeAt(row);
        removed->setRow(-1);
        renumberFrom(row);
        endRemoveRows();
    }

    // A different number of clips replaces the whole list; an equal number changes nothing.
    virtual void setClips(const QList<ClipInfoProcessor::Record>& records)
    {
        if (records.size() == clips_.size())
            return;
        beginResetModel();
        for (const QSharedPointer<T>& clip : std::as_const(clips_))
            clip->setRow(-1);
        clips_.clear();
        endResetModel();
        for (const ClipInfoProcessor::Record& record : records)
            insertClip(record.info, int(clips_.size()));
    }

    // Null for a row outside the list.
    T* clipPointerAt(int row) const { return clipAt(row).data(); }
    T* clipPointerAt(const QModelIndex& index) const
    {
        return index.isValid() && index.model() == this ? clipPointerAt(index.row()) : nullptr;
    }
    QSharedPointer<T> clipAt(int row) const
    {
        return row >= 0 && row < clips_.size() ? clips_.at(row) : QSharedPointer<T>();
    }

    // The clip's row, or -1 when this model does not hold it.
    int rowOf(const T* clip) const
    {
        for (qsizetype i = 0; i < clips_.size(); ++i) {
            if (clips_.at(i).data() == clip)
                return int(i);
        }
        return -1;
    }

protected:
    QList<QSharedPointer<T>> clips_;

private:
    void renumberFrom(int row)
    {
        for (qsizetype i = row; i < clips_.size(); ++i)
            clips_.at(i)->setRow(int(i));
    }
};

#pragma once

#include "common/packets/RecorderInfoPacket.h"

#include <QAbstractItemModel>
#include <QHostAddress>
#include <QList>

#include <memory>

class RecorderDownloadManager;
class RecorderView;

// The recorders the clips manager has found, one row each, in the order they first answered.
// Each recorder row has one child row per link (EthernetView). A recorder is known by its
// recorderId alone and keeps the information of its first answer.
class RecorderEthernetModel : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit RecorderEthernetModel(QObject* parent = nullptr);
    ~RecorderEthernetModel() override;

    // False (and nothing changes) when a recorder with the same recorderId is listed already.
    bool addRecorder(const kvx::RecorderInfoPacket& info);
    // Releases the row and its download manager; does nothing for a row outside the list.
    void removeRecorder(int row);

    int recorderCount() const { return int(recorders_.size()); }
    // Null outside the list.
    RecorderView* recorderAt(int row) const;
    // The recorder of a recorder row or of one of its link rows; null for anything else.
    RecorderView* recorderForIndex(const QModelIndex& index) const;
    // The first recorder (in row order) with a link at this address, or null.
    RecorderDownloadManager* managerForAddress(const QHostAddress& address) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& index) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    std::vector<std::unique_ptr<RecorderView>> recorders_;
};

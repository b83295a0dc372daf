#include "recorders/RecorderEthernetModel.h"

#include "download/RecorderDownloadManager.h"
#include "recorders/RecorderView.h"

#include <QPixmap>

namespace {

ModelItem* itemOf(const QModelIndex& index)
{
    return static_cast<ModelItem*>(index.internalPointer());
}

} // namespace

RecorderEthernetModel::RecorderEthernetModel(QObject* parent) : QAbstractItemModel(parent)
{}

RecorderEthernetModel::~RecorderEthernetModel() = default;

bool RecorderEthernetModel::addRecorder(const kvx::RecorderInfoPacket& info)
{
    for (const auto& recorder : recorders_) {
        if (recorder->info().recorderId == info.recorderId)
            return false;
    }
    const int row = int(recorders_.size());
    beginInsertRows({}, row, row);
    auto recorder = std::make_unique<RecorderView>(info, row);
    RecorderDownloadManager* manager = recorder->downloadManager().data();
    manager->makeChannel(
        QSharedPointer<EthernetView>::create(info.ethernet, recorder.get(), int(manager->linkChannels().size())));
    recorders_.push_back(std::move(recorder));
    endInsertRows();
    return true;
}

void RecorderEthernetModel::removeRecorder(int row)
{
    if (row < 0 || row >= recorderCount())
        return;
    beginRemoveRows({}, row, row);
    recorders_.erase(recorders_.begin() + row);
    for (int i = row; i < recorderCount(); ++i)
        recorders_[size_t(i)]->setRow(i);
    endRemoveRows();
}

RecorderView* RecorderEthernetModel::recorderAt(int row) const
{
    return row >= 0 && row < recorderCount() ? recorders_[size_t(row)].get() : nullptr;
}

RecorderView* RecorderEthernetModel::recorderForIndex(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this)
        return nullptr;
    ModelItem* item = itemOf(index);
    if (auto* recorder = dynamic_cast<RecorderView*>(item))
        return recorder;
    return dynamic_cast<RecorderView*>(item->parentItem());
}

RecorderDownloadManager* RecorderEthernetModel::managerForAddress(const QHostAddress& address) const
{
    for (const auto& recorder : recorders_) {
        if (recorder->downloadManager()->hasLinkAddress(address))
            return recorder->downloadManager().data();
    }
    return nullptr;
}

QModelIndex RecorderEthernetModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0)
        return {};
    if (!parent.isValid())
        return row < recorderCount() ? createIndex(row, 0, static_cast<ModelItem*>(recorders_[size_t(row)].get()))
                                     : QModelIndex();
    // Link rows: only under a recorder row.
    auto* recorder = dynamic_cast<RecorderView*>(itemOf(parent));
    if (!recorder)
        return {};
    const auto& channels = recorder->downloadManager()->linkChannels();
    return row < channels.size() ? createIndex(row, 0, static_cast<ModelItem*>(channels[row]->link.data()))
                                 : QModelIndex();
}

QModelIndex RecorderEthernetModel::parent(const QModelIndex& index) const
{
    if (!index.isValid())
        return {};
    ModelItem* parentItem = itemOf(index)->parentItem();
    return parentItem ? createIndex(parentItem->row(), 0, parentItem) : QModelIndex();
}

int RecorderEthernetModel::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return recorderCount();
    if (parent.column() != 0)
        return 0;
    auto* recorder = dynamic_cast<RecorderView*>(itemOf(parent));
    return recorder ? int(recorder->downloadManager()->linkChannels().size()) : 0;
}

int RecorderEthernetModel::columnCount(const QModelIndex&) const
{
    return 1;
}

QVariant RecorderEthernetModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole) {
        const ModelItem* item = itemOf(index);
        return item ? item->text() : QStringLiteral("Error: Failed to cast");
    }
    if (role == Qt::DecorationRole)
        return QPixmap(QStringLiteral(":/res/vlmvel.png"));
    return {};
}

QVariant RecorderEthernetModel::headerData(int, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return QStringLiteral("VLM Velmors");
    return {};
}

Qt::ItemFlags RecorderEthernetModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? QAbstractItemModel::flags(index) : Qt::NoItemFlags;
}

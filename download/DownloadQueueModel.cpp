#include "download/DownloadQueueModel.h"

#include "download/RecorderDownloadManager.h"

DownloadQueueModel::DownloadQueueModel(QObject* parent) : QAbstractTableModel(parent)
{
    connect(&refreshTimer_, &QTimer::timeout, this, &DownloadQueueModel::refresh);
}

void DownloadQueueModel::follow(RecorderDownloadManager* manager, const QSharedPointer<SavedClip>& clip,
                                const QString& label)
{
    int row = rowOf(clip.data());
    if (row < 0) {
        row = int(entries_.size());
        beginInsertRows({}, row, row);
        entries_.append(Entry{});
        endInsertRows();
    }
    Entry& entry = entries_[row];
    disconnect(clip.data(), nullptr, this, nullptr);
    entry = Entry{};
    entry.manager = manager;
    entry.clip = clip;
    entry.label = label;

    // Once per manager: a session follows hundreds of downloads of a few recorders.
    if (!managers_.contains(manager)) {
        managers_.append(manager);
        connect(manager, &RecorderDownloadManager::downloadFinished, this,
                [this](const QSharedPointer<SavedClip>& done) {
                    setState(done.data(), done->isWritingHashList() ? State::Verifying : State::Done);
                });
        connect(manager, &RecorderDownloadManager::downloadFailed, this,
                [this](const QSharedPointer<SavedClip>& failed, const QString& reason) {
                    setState(failed.data(), State::Failed, reason);
                });
    }
    SavedClip* saved = clip.data();
    connect(saved, &SavedClip::hashListFinished, this, [this, saved](bool ok, const QString& detail) {
        setState(saved, ok ? State::Done : State::Failed, ok ? QString() : detail);
    });
    // Queued until its first block is stored: requests wait on the link behind other clips'.
    const auto arrived = [this, saved] {
        const int at = rowOf(saved);
        if (at < 0)
            return;
        Entry& arrivedAt = entries_[at];
        if (arrivedAt.state == State::Queued)
            arrivedAt.state = State::Downloading;
        changed(at);
    };
    connect(saved, &SavedClip::clipDownloadProgress, this, arrived);
    connect(saved, &DownloadableClip::calibrationFileFinished, this, arrived);
    refresh();
    if (!refreshTimer_.isActive())
        refreshTimer_.start(RefreshMs);
}

bool DownloadQueueModel::cancel(int row)
{
    if (row < 0 || row >= entries_.size())
        return false;
    Entry& entry = entries_[row];
    if ((entry.state != State::Queued && entry.state != State::Downloading) || !entry.manager)
        return false;
    entry.manager->removeClipFromRequests(entry.clip);
    setState(entry.clip.data(), State::Cancelled);
    return true;
}

void DownloadQueueModel::forget(const SavedClip* clip)
{
    const int row = rowOf(clip);
    if (row < 0)
        return;
    disconnect(clip, nullptr, this, nullptr);
    beginRemoveRows({}, row, row);
    entries_.removeAt(row);
    endRemoveRows();
}

QSharedPointer<SavedClip> DownloadQueueModel::clipAt(int row) const
{
    return row >= 0 && row < entries_.size() ? entries_.at(row).clip : nullptr;
}

void DownloadQueueModel::refresh()
{
    bool running = false;
    for (int row = 0; row < entries_.size(); ++row) {
        Entry& entry = entries_[row];
        if ((entry.state == State::Queued || entry.state == State::Downloading) && !entry.manager) {
            entry.state = State::Failed;
            entry.reason = tr("the recorder was removed");
        }
        // The rate of the last refresh interval, smoothed over a few of them.
        const qint64 frames = entry.clip->downloadedFrames();
        if (entry.state == State::Downloading && entry.sampled.isValid() && entry.sampled.elapsed() > 0) {
            const double bytes = double(frames - entry.framesSampled) * double(entry.clip->frameSize());
            entry.rateGbps = (entry.rateGbps + bytes * 8.0 / (double(entry.sampled.elapsed()) * 1e6)) / 2;
        }
        entry.sampled.start();
        entry.framesSampled = frames;
        running = running || entry.state == State::Queued || entry.state == State::Downloading
            || entry.state == State::Verifying;
        changed(row);
    }
    if (!running)
        refreshTimer_.stop();
}

int DownloadQueueModel::rowOf(const SavedClip* clip) const
{
    for (int row = 0; row < entries_.size(); ++row)
        if (entries_.at(row).clip.data() == clip)
            return row;
    return -1;
}

void DownloadQueueModel::setState(const SavedClip* clip, State state, const QString& reason)
{
    const int row = rowOf(clip);
    if (row < 0)
        return;
    Entry& entry = entries_[row];
    // A late block of a cancelled download must not bring it back to life.
    if (entry.state == State::Cancelled && state != State::Verifying && state != State::Done)
        return;
    entry.state = state;
    entry.reason = reason;
    if (state != State::Downloading)
        entry.rateGbps = 0.0;
    changed(row);
}

void DownloadQueueModel::changed(int row)
{
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

int DownloadQueueModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(entries_.size());
}

int DownloadQueueModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString DownloadQueueModel::stateText(const Entry& entry) const
{
    switch (entry.state) {
    case State::Queued:
        return tr("queued");
    case State::Downloading:
        return tr("downloading");
    case State::Verifying:
        return tr("verifying");
    case State::Done:
        return tr("done");
    case State::Failed:
        return tr("failed: %1").arg(entry.reason);
    case State::Cancelled:
        return tr("cancelled");
    }
    return {};
}

QVariant DownloadQueueModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= entries_.size())
        return {};
    const Entry& entry = entries_.at(index.row());
    const qint64 frames = entry.clip->downloadedFrames();
    const qint64 total = qint64(entry.clip->totalFrames);
    if (role == PerMilleRole)
        return total > 0 ? int(frames * 1000 / total) : 1000;
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    switch (index.column()) {
    case ClipColumn:
        return entry.label;
    case StateColumn:
        return stateText(entry);
    case ProgressColumn:
        return tr("%1 of %2 frames").arg(frames).arg(total);
    case RateColumn:
        return entry.state == State::Downloading ? tr("%1 Gbps").arg(entry.rateGbps, 0, 'f', 1) : QString();
    }
    return {};
}

QVariant DownloadQueueModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case ClipColumn:
        return tr("Clip");
    case StateColumn:
        return tr("State");
    case ProgressColumn:
        return tr("Progress");
    case RateColumn:
        return tr("Rate");
    }
    return {};
}

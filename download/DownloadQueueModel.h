#pragma once

#include "storage/SavedClip.h"

#include <QAbstractTableModel>
#include <QElapsedTimer>
#include <QPointer>
#include <QSharedPointer>
#include <QTimer>

class RecorderDownloadManager;

// The clip downloads of this session as the user follows them: one row per clip with its state
// (queued until its first block is stored, downloading, verifying while the hash list is made,
// done, failed with the reason, cancelled), its progress and its rate. A clip followed again (resumed) takes its old
// row. Cancelling a queued or running download stops its requests; what is stored stays and the folder can be resumed.
class DownloadQueueModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum class State { Queued, Downloading, Verifying, Done, Failed, Cancelled };
    enum Column { ClipColumn, StateColumn, ProgressColumn, RateColumn, ColumnCount };
    // Per mille of the clip stored, for a progress bar (progress column).
    static constexpr int PerMilleRole = Qt::UserRole + 1;
    static constexpr int RefreshMs = 500;

    explicit DownloadQueueModel(QObject* parent = nullptr);

    void follow(RecorderDownloadManager* manager, const QSharedPointer<SavedClip>& clip, const QString& label);
    // False when the row's download is no longer running.
    bool cancel(int row);
    // The clip's row goes (its folder was deleted): nothing of it is followed or kept any more.
    void forget(const SavedClip* clip);

    State state(int row) const { return entries_.at(row).state; }
    QString reason(int row) const { return entries_.at(row).reason; }
    QSharedPointer<SavedClip> clipAt(int row) const;
    // The clip's row, or -1.
    int rowOf(const SavedClip* clip) const;
    // Gbit/s of frames stored lately.
    double rateGbps(int row) const { return entries_.at(row).rateGbps; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

public slots:
    // Brings the rates up to date.
    void refresh();

private:
    struct Entry {
        QPointer<RecorderDownloadManager> manager;
        QSharedPointer<SavedClip> clip;
        QString label;
        State state = State::Queued;
        QString reason;
        QElapsedTimer sampled; // since the frames were last counted
        qint64 framesSampled = 0;
        double rateGbps = 0.0;
    };

    void setState(const SavedClip* clip, State state, const QString& reason = {});
    void changed(int row);
    QString stateText(const Entry& entry) const;

    QList<Entry> entries_;
    QList<QPointer<RecorderDownloadManager>> managers_; // whose end signals are connected
    QTimer refreshTimer_;
};

#pragma once

#include "clipsmgr/ClipsAppPlaybackHost.h"
#include "common/packets/RecorderInfoPacket.h"
#include "download/DownloadQueueModel.h"
#include "recorders/RecorderEthernetModel.h"
#include "storage/SavedClipList.h"

#include <QMainWindow>
#include <QMenu>

#include <memory>

namespace Ui {
class MainWindow;
}
class ImageDisplayWindow;
class RecorderDiscovery;
struct DownloadProgress;

// The clips manager's window: the recorders found on the network, the clips of the selected
// recorder and the clip folders already downloaded.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    // Saves the settings: they are written once per run, here.
    ~MainWindow() override;

    RecorderEthernetModel* recorderModel() { return &recorders_; }
    RecorderDiscovery* discovery() { return discovery_; }
    // The information packet of the recorder last selected; a default record before that.
    const kvx::RecorderInfoPacket& currentRecorder() const { return currentRecorder_; }
    SavedClipList* savedClips() { return &savedClips_; }
    ImageDisplayWindow* playbackWindow() { return playback_; }
    DownloadQueueModel* downloadQueue() { return &queue_; }

public slots:
    void ShowMainWindow();
    void on_recordersView_clicked(const QModelIndex& index);
    void on_recorderClipsView_doubleClicked(const QModelIndex& index);
    void on_savedClipsView_doubleClicked(const QModelIndex& index);
    void on_downloadFolderBtn_clicked();
    void on_recordersView_customContextMenuRequested(const QPoint& pos);
    void on_savedClipsView_customContextMenuRequested(const QPoint& pos);
    void on_showClipBtn_clicked();
    void on_downloadClipBtn_clicked();
    void on_downloadAllBtn_clicked();
    void on_cancelDownloadBtn_clicked();
    void on_queueView_customContextMenuRequested(const QPoint& pos);

protected:
    // The playback window closes with this one.
    void closeEvent(QCloseEvent* event) override;

private:
    // Shows the clip in the playback window, and the window if it is not visible.
    void openInPlayback(const QSharedPointer<SavedClip>& clip);
    void selectFirstRecorderIfNoneSelected();
    void forgetRemovedRecorder(int row);
    void deleteSavedClip(const QSharedPointer<SavedClip>& clip);
    void tellUser(const QString& text);
    void followDownload(const QSharedPointer<SavedClip>& clip, const DownloadableClip& recorderClip,
                        RecorderDownloadManager* manager);
    void showDownloadProgress(const DownloadProgress& progress);
    // Resume and verify entries of a saved clip's menu.
    void addVerifiedCopyActions(QMenu& menu, const QSharedPointer<SavedClip>& clip);
    void resumeSavedClip(const QSharedPointer<SavedClip>& clip);
    void startResume(const kvx::RecorderInfoPacket& recorder, RecorderDownloadManager* manager,
                     const QSharedPointer<DownloadableClip>& recorderClip, const QSharedPointer<SavedClip>& clip);
    void verifySavedClip(const QSharedPointer<SavedClip>& clip);
    void setUpQueueView();
    // Cancels the queue row's download and says so in the summary line.
    void cancelDownload(int row);

    std::unique_ptr<Ui::MainWindow> ui;
    RecorderEthernetModel recorders_;
    RecorderDiscovery* discovery_;
    QMenu recordersMenu_;
    QMenu savedClipsMenu_;
    QMenu queueMenu_;
    kvx::RecorderInfoPacket currentRecorder_;
    SavedClipList savedClips_;
    ClipsAppPlaybackHost playbackHost_;
    ImageDisplayWindow* playback_;
    DownloadQueueModel queue_;
};

// The main window's part in downloads: starting one from the selected recorder clip, and
// showing its progress or why it stopped.
#include "clipsmgr/MainWindow.h"

#include "clipsmgr/VLMClipsApp.h"
#include "download/DownloadLauncher.h"
#include "download/DownloadProgress.h"
#include "download/RecorderDownloadManager.h"
#include "recorders/RecorderDiscovery.h"
#include "recorders/RecorderView.h"
#include "ui_MainWindow.h"

#include <QDebug>

void MainWindow::on_recorderClipsView_doubleClicked(const QModelIndex& index)
{
    const auto* clips = qobject_cast<DownloadableClipList*>(ui->recorderClipsView->model());
    if (clips && clips->isDownloadable(index))
        on_downloadClipBtn_clicked();
}

void MainWindow::on_downloadClipBtn_clicked()
{
    auto* clips = qobject_cast<DownloadableClipList*>(ui->recorderClipsView->model());
    if (!clips || ui->recordersView->model() != &recorders_) {
        tellUser(DownloadLauncher::message(DownloadLauncher::Refusal::NothingSelected));
        return;
    }
    const RecorderView* recorder = recorders_.recorderForIndex(ui->recordersView->currentIndex());
    if (!recorder)
        return;
    const kvx::RecorderInfoPacket recorderInfo = recorder->info();
    // The link is checked before the clip: a 1G link says why nothing can be downloaded.
    if (const auto refusal = DownloadLauncher::checkLink(recorderInfo); refusal != DownloadLauncher::Refusal::None) {
        tellUser(DownloadLauncher::message(refusal));
        return;
    }
    RecorderDownloadManager* manager = recorder->downloadManager().data();
    const QSharedPointer<DownloadableClip> clip = clips->clipAt(ui->recorderClipsView->currentIndex().row());
    if (!clip || clips != manager->clipList())
        return;

    // An incomplete folder of this clip is continued instead of starting over.
    if (const QSharedPointer<SavedClip> folder = DownloadLauncher::resumableFolderFor(savedClips_, *clip)) {
        startResume(recorderInfo, manager, clip, folder);
        return;
    }
    VLMClipsApp* app = VLMClipsApp::instance();
    const QString clipPath = app ? app->ClipPath : QString();
    const DownloadLauncher::Started started =
        DownloadLauncher::launch(*discovery_, recorderInfo, *manager, clip, savedClips_, clipPath);
    if (!started.clip) {
        if (started.refusal != DownloadLauncher::Refusal::None)
            tellUser(DownloadLauncher::message(started.refusal));
        return;
    }
    followDownload(started.clip, *clip, manager);
}

void MainWindow::followDownload(const QSharedPointer<SavedClip>& clip, const DownloadableClip& recorderClip,
                                RecorderDownloadManager* manager)
{
    ui->downloadProgBar->setValue(0);
    ui->downloadProgBar->show();
    // Raw pointers: the saved clip owns both connections, so they end with it.
    SavedClip* saved = clip.data();
    const QString label = recorderClip.text();
    queue_.follow(manager, clip, label.section(QLatin1Char('\n'), 0, 0));
    disconnect(saved, &SavedClip::clipDownloadProgress, this, nullptr);
    disconnect(manager, &RecorderDownloadManager::downloadFailed, saved, nullptr);
    connect(saved, &SavedClip::clipDownloadProgress, this, [this, saved, label](int nFrames, int nTotFrames) {
        // Blocks already on their way still arrive after a cancel; the line keeps saying why
        // the download stopped.
        const int row = queue_.rowOf(saved);
        if (row >= 0 && queue_.state(row) == DownloadQueueModel::State::Cancelled)
            return;
        showDownloadProgress(DownloadProgress::of(nFrames, nTotFrames, label, saved->speed()));
    });
    connect(manager, &RecorderDownloadManager::downloadFailed, saved,
            [this, saved, label](const QSharedPointer<SavedClip>& failed, const QString& reason) {
                if (failed.data() != saved)
                    return;
                ui->downloadProgBar->hide();
                ui->downloadProgLbl->setText(DownloadProgress::stoppedText(label, saved->downloadedFrames(),
                                                                           qint64(saved->totalFrames), reason));
            });
}

void MainWindow::showDownloadProgress(const DownloadProgress& progress)
{
    ui->downloadProgBar->setValue(progress.barValue);
    ui->downloadProgLbl->setText(progress.text);
    ui->downloadProgBar->setVisible(!progress.finished);
}

void MainWindow::tellUser(const QString& text)
{
    if (VLMClipsApp* app = VLMClipsApp::instance())
        app->showMessage(text, 0);
    else
        qWarning().noquote() << text;
}

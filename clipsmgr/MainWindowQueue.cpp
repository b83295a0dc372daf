// The main window's download queue, "Download all", and the resume and verify entries of a
// downloaded clip.
#include "clipsmgr/MainWindow.h"

#include "clipsmgr/ProgressBarDelegate.h"
#include "clipsmgr/VLMClipsApp.h"
#include "download/DownloadLauncher.h"
#include "download/DownloadProgress.h"
#include "download/RecorderDownloadManager.h"
#include "recorders/RecorderDiscovery.h"
#include "recorders/RecorderView.h"
#include "ui_MainWindow.h"

#include <QFutureWatcher>
#include <QHeaderView>
#include <QtConcurrent/QtConcurrentRun>

void MainWindow::setUpQueueView()
{
    ui->queueView->setModel(&queue_);
    ui->queueView->setItemDelegateForColumn(DownloadQueueModel::ProgressColumn,
                                            new ProgressBarDelegate(DownloadQueueModel::PerMilleRole, ui->queueView));
    QHeaderView* header = ui->queueView->horizontalHeader();
    header->setSectionResizeMode(DownloadQueueModel::ClipColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(DownloadQueueModel::StateColumn, QHeaderView::ResizeToContents);
    header->resizeSection(DownloadQueueModel::ProgressColumn, 170);
    header->setSectionResizeMode(DownloadQueueModel::RateColumn, QHeaderView::ResizeToContents);
}

void MainWindow::on_downloadAllBtn_clicked()
{
    const RecorderView* recorder = recorders_.recorderForIndex(ui->recordersView->currentIndex());
    if (!recorder) {
        tellUser(DownloadLauncher::message(DownloadLauncher::Refusal::NothingSelected));
        return;
    }
    RecorderDownloadManager* manager = recorder->downloadManager().data();
    VLMClipsApp* app = VLMClipsApp::instance();
    const DownloadLauncher::Batch batch = DownloadLauncher::launchAll(*discovery_, recorder->info(), *manager,
                                                                      savedClips_, app ? app->ClipPath : QString());
    if (batch.refusal != DownloadLauncher::Refusal::None) {
        tellUser(DownloadLauncher::message(batch.refusal));
        return;
    }
    QStringList refusals;
    for (const DownloadLauncher::Started& started : batch.started) {
        if (started.clip)
            followDownload(started.clip, *started.recorderClip, manager);
        else
            refusals << QStringLiteral("%1: %2").arg(started.recorderClip->text().section(QLatin1Char('\n'), 0, 0),
                                                     DownloadLauncher::message(started.refusal));
    }
    if (!refusals.isEmpty())
        tellUser(refusals.join(QLatin1Char('\n')));
}

void MainWindow::on_cancelDownloadBtn_clicked()
{
    cancelDownload(ui->queueView->currentIndex().row());
}

void MainWindow::cancelDownload(int row)
{
    const QSharedPointer<SavedClip> clip = queue_.clipAt(row);
    if (!queue_.cancel(row))
        return;
    ui->downloadProgBar->hide();
    ui->downloadProgLbl->setText(
        DownloadProgress::stoppedText(queue_.data(queue_.index(row, DownloadQueueModel::ClipColumn)).toString(),
                                      clip->downloadedFrames(), qint64(clip->totalFrames), tr("cancelled")));
}

void MainWindow::on_queueView_customContextMenuRequested(const QPoint& pos)
{
    const int row = ui->queueView->indexAt(pos).row();
    const QSharedPointer<SavedClip> clip = queue_.clipAt(row);
    if (!clip)
        return;
    queueMenu_.clear();
    const DownloadQueueModel::State state = queue_.state(row);
    if (state == DownloadQueueModel::State::Queued || state == DownloadQueueModel::State::Downloading)
        connect(queueMenu_.addAction(tr("Cancel")), &QAction::triggered, this, [this, row] { cancelDownload(row); });
    addVerifiedCopyActions(queueMenu_, clip);
    if (!queueMenu_.isEmpty())
        queueMenu_.exec(ui->queueView->viewport()->mapToGlobal(pos));
}

void MainWindow::addVerifiedCopyActions(QMenu& menu, const QSharedPointer<SavedClip>& clip)
{
    bool running = false;
    for (int i = 0; i < recorders_.recorderCount(); ++i)
        running = running || recorders_.recorderAt(i)->downloadManager()->isDownloading(clip.data());
    if (!running && (!clip->isComplete() || !clip->isCalibrationPresent()))
        connect(menu.addAction(tr("Resume download")), &QAction::triggered, this,
                [this, clip] { resumeSavedClip(clip); });
    if (!running && !clip->isWritingHashList())
        connect(menu.addAction(tr("Verify")), &QAction::triggered, this, [this, clip] { verifySavedClip(clip); });
}

void MainWindow::resumeSavedClip(const QSharedPointer<SavedClip>& clip)
{
    for (int i = 0; i < recorders_.recorderCount(); ++i) {
        const RecorderView* recorder = recorders_.recorderAt(i);
        RecorderDownloadManager* manager = recorder->downloadManager().data();
        if (const QSharedPointer<DownloadableClip> recorderClip = DownloadLauncher::recorderClipFor(*manager, *clip)) {
            startResume(recorder->info(), manager, recorderClip, clip);
            return;
        }
    }
    tellUser(DownloadLauncher::message(DownloadLauncher::Refusal::RecorderMissing));
}

void MainWindow::startResume(const kvx::RecorderInfoPacket& recorder, RecorderDownloadManager* manager,
                             const QSharedPointer<DownloadableClip>& recorderClip,
                             const QSharedPointer<SavedClip>& clip)
{
    const DownloadLauncher::Started started = DownloadLauncher::resume(recorder, *manager, recorderClip, clip);
    if (started.clip)
        followDownload(started.clip, *recorderClip, manager);
    else
        tellUser(DownloadLauncher::message(started.refusal));
}

void MainWindow::verifySavedClip(const QSharedPointer<SavedClip>& clip)
{
    ui->downloadProgLbl->setText(tr("Verifying '%1' ...").arg(clip->folderName()));
    auto* watcher = new QFutureWatcher<FolderCheck>(this);
    connect(watcher, &QFutureWatcher<FolderCheck>::finished, this, [this, watcher, clip] {
        const FolderCheck check = watcher->result();
        watcher->deleteLater();
        clip->takeCheck(check);
        ui->downloadProgLbl->clear();
        if (VLMClipsApp* app = VLMClipsApp::instance())
            app->showMessage(check.report(), check.intact() ? VLMClipsApp::MsgInfo : VLMClipsApp::MsgWarning);
    });
    watcher->setFuture(QtConcurrent::run([clip] { return clip->verifyFolder(); }));
}

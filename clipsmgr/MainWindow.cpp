#include "clipsmgr/MainWindow.h"

#include "clipsmgr/ClipExport.h"
#include "clipsmgr/PipelineThumbnailRenderer.h"
#include "clipsmgr/VLMClipsApp.h"
#include "download/RecorderCommands.h"
#include "download/RecorderDownloadManager.h"
#include "playback/ImageDisplayWindow.h"
#include "recorders/RecorderDiscovery.h"
#include "recorders/RecorderView.h"
#include "ui_MainWindow.h"

#include <QCloseEvent>
#include <QDebug>
#include <QFileDialog>
#include <QMessageBox>

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::MainWindow>()), discovery_(new RecorderDiscovery(&recorders_, this)),
      playback_(new ImageDisplayWindow(&playbackHost_, this))
{
    ui->setupUi(this);
    savedClips_.setThumbnailRenderer(std::make_shared<PipelineThumbnailRenderer>());
    ui->recordersView->setModel(&recorders_);
    ui->savedClipsView->setModel(&savedClips_);
    setUpQueueView();
    connect(&recorders_, &QAbstractItemModel::rowsInserted, this, &MainWindow::selectFirstRecorderIfNoneSelected);
    connect(&recorders_, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this](const QModelIndex&, int first, int) { forgetRemovedRecorder(first); });

    VLMClipsApp* app = VLMClipsApp::instance();
    if (app) {
        playback_->setGeometry(app->scaled(50), app->scaled(50), app->scaled(800), app->scaled(500));
        playback_->setExporter(&exportClip);
        ui->downloadFolder->setText(app->ClipPath);
        savedClips_.rebuildFromFolder(app->ClipPath);
    }
    discovery_->on_broadcastTimeout();
    if (app)
        app->scaleWidget(this, false);
    ui->downloadProgBar->hide();
    ui->downloadProgLbl->clear();
}

MainWindow::~MainWindow()
{
    // Before the clip list goes: the clip shown keeps its paint values and trims.
    delete playback_;
    if (VLMClipsApp* app = VLMClipsApp::instance())
        app->saveSettings();
}

void MainWindow::ShowMainWindow()
{
    setWindowOpacity(1.0);
}

void MainWindow::on_recordersView_clicked(const QModelIndex& index)
{
    const RecorderView* recorder = recorders_.recorderForIndex(index);
    if (!recorder)
        return;
    ui->recorderClipsView->setModel(recorder->downloadManager()->clipList());
    ui->recorderClipsView->update();
    currentRecorder_ = recorder->info();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    playback_->close();
    QMainWindow::closeEvent(event);
}

void MainWindow::on_savedClipsView_doubleClicked(const QModelIndex& index)
{
    if (const QSharedPointer<SavedClip> clip = savedClips_.clipAt(index.row()))
        openInPlayback(clip);
}

void MainWindow::openInPlayback(const QSharedPointer<SavedClip>& clip)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    playback_->setClip(clip);
    QApplication::restoreOverrideCursor();
    if (!playback_->isVisible())
        on_showClipBtn_clicked();
}

void MainWindow::on_showClipBtn_clicked()
{
    if (playback_->isMinimized())
        playback_->showNormal();
    else if (playback_->isHidden())
        playback_->show();
    else
        playback_->hide();
}

void MainWindow::on_downloadFolderBtn_clicked()
{
    VLMClipsApp* app = VLMClipsApp::instance();
    if (!app)
        return;
    const QString folder = QFileDialog::getExistingDirectory(this, tr("Downloaded Clips Folder"), app->ClipPath);
    if (folder.isEmpty())
        return;
    app->ClipPath = folder;
    ui->downloadFolder->setText(folder);
    savedClips_.rebuildFromFolder(folder);
}

void MainWindow::on_recordersView_customContextMenuRequested(const QPoint& pos)
{
    const QModelIndex index = ui->recordersView->indexAt(pos);
    const RecorderView* recorder = recorders_.recorderForIndex(index);
    if (!recorder)
        return;
    const int row = recorder->row();
    const kvx::RecorderInfoPacket info = recorder->info();

    recordersMenu_.clear();
    connect(recordersMenu_.addAction(tr("Remove")), &QAction::triggered, this,
            [this, row] { recorders_.removeRecorder(row); });
    connect(recordersMenu_.addAction(tr("Update Paint Options")), &QAction::triggered, this,
            [this, info] { discovery_->sendCommand(info, RecorderCommands::updatePaintOptions()); });
    connect(recordersMenu_.addAction(tr("Fetch Matrices")), &QAction::triggered, this,
            [this, info] { discovery_->sendCommand(info, RecorderCommands::fetchMatrices()); });
    recordersMenu_.exec(ui->recordersView->viewport()->mapToGlobal(pos));
}

void MainWindow::on_savedClipsView_customContextMenuRequested(const QPoint& pos)
{
    const QSharedPointer<SavedClip> clip = savedClips_.clipAt(ui->savedClipsView->indexAt(pos).row());
    if (!clip)
        return;
    savedClipsMenu_.clear();
    connect(savedClipsMenu_.addAction(tr("Open")), &QAction::triggered, this, [this, clip] { openInPlayback(clip); });
    connect(savedClipsMenu_.addAction(tr("Delete")), &QAction::triggered, this,
            [this, clip] { deleteSavedClip(clip); });
    connect(savedClipsMenu_.addAction(tr("Update thumbnail")), &QAction::triggered, this, [clip] {
        if (!clip->updateThumbnail())
            qWarning() << "Cannot render the thumbnail of" << clip->folderPath();
    });
    addVerifiedCopyActions(savedClipsMenu_, clip);
    savedClipsMenu_.exec(ui->savedClipsView->viewport()->mapToGlobal(pos));
}

void MainWindow::deleteSavedClip(const QSharedPointer<SavedClip>& clip)
{
    VLMClipsApp* app = VLMClipsApp::instance();
    if (!app
        || app->showMessage(tr("Delete the current clip. Continue?"), VLMClipsApp::MsgQuestion | VLMClipsApp::MsgYesNo)
            != QMessageBox::Yes)
        return;
    // Nothing may be issued into a folder that is going away.
    for (int i = 0; i < recorders_.recorderCount(); ++i)
        recorders_.recorderAt(i)->downloadManager()->removeClipFromRequests(clip);
    queue_.forget(clip.data());
    if (playback_->clip() == clip)
        playback_->setClip({});
    const int row = savedClips_.rowOf(clip.data());
    if (row >= 0 && !savedClips_.deleteClip(row))
        app->showMessage(tr("Unable to delete the clip folder %1.").arg(clip->folderPath()), VLMClipsApp::MsgWarning);
}

// A newcomer sees the first recorder's clips at once instead of an empty clip list.
void MainWindow::selectFirstRecorderIfNoneSelected()
{
    if (ui->recordersView->currentIndex().isValid() || recorders_.recorderCount() == 0)
        return;
    const QModelIndex first = recorders_.index(0, 0);
    ui->recordersView->setCurrentIndex(first);
    on_recordersView_clicked(first);
}

void MainWindow::forgetRemovedRecorder(int row)
{
    const RecorderView* removed = recorders_.recorderAt(row);
    if (removed && removed->info().recorderId == currentRecorder_.recorderId)
        currentRecorder_ = kvx::RecorderInfoPacket();
}

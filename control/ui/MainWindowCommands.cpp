// The main window's commands: recording, parameters, clips and playback on the recorders.
#include "control/ui/MainWindow.h"

#include "common/catalogue/ClipInfoProcessor.h"
#include "common/naming/RecorderNaming.h"
#include "control/ui/FwUpdDlg.h"
#include "control/ui/InfoDlg.h"
#include "control/ui/QBtnToolbar.h"
#include "control/ui/QClipsBar.h"
#include "control/ui/QConfigToolbar.h"
#include "control/ui/QPlaybackBar.h"

#include <QMessageBox>

void MainWindow::OnRecordClip()
{
    manager_.startStopRecording();
    setRecordState(!recording_);
}

void MainWindow::OnCameraRecorderParameter(int kind, double value)
{
    const RecorderActions::ParameterOutcome outcome = actions_.cameraRecorderParameter(kind, value);
    if (outcome.lowerShutterTo)
        configToolbar_->lowerShutter(*outcome.lowerShutterTo);
    if (outcome.calibrationLoading) {
        showWarning(tr("Loading calibration\nPlease wait!"));
        calibrationTimer_.start();
    }
}

void MainWindow::OnCameraSelectRoi(int x, int y)
{
    actions_.selectRoi(x, y);
}

void MainWindow::OnPaintParameter(int group, int channel, int value)
{
    actions_.paintParameter(group, channel, value);
}

void MainWindow::OnSelectClip(int index)
{
    actions_.selectClip(index);
    showSelectedClip();
}

void MainWindow::OnDeleteClip(int)
{
    if (showMessage(tr("The latest clip will be deleted. Continue?"), MsgWarning | MsgQuestion) == QMessageBox::Yes)
        actions_.deleteLatestClip();
}

void MainWindow::OnDeleteAllClips()
{
    if (showMessage(tr("Formatting the SSD will delete all clips. Continue?"), MsgWarning | MsgQuestion)
        == QMessageBox::Yes)
        actions_.deleteAllClips();
}

void MainWindow::OnPlaybackSliderChanged(int value)
{
    const ClipInfoProcessor* clips = manager_.clipList();
    const int selected = clipsBar_->selectedClip();
    if (!clips || selected < 0 || selected >= clips->clips().size())
        return;
    actions_.seek(value, clips->clips()[selected].info.totalFrames);
}

void MainWindow::OnPlaybackEvent(int event)
{
    const PlaybackControl::Action action = actions_.playbackEvent(event);
    if (action.speedShown)
        playbackBar_->showSpeed(manager_.playback().speed());
    playbackBar_->showPlayState(manager_.playback().state());
}

void MainWindow::OnPlaybackSpeed(int value)
{
    actions_.playbackSpeed(value);
    playbackBar_->showPlayState(manager_.playback().state());
}

void MainWindow::OnRecorderBasicInfo()
{
    const BaseRecInterface* link = manager_.link();
    // Only a whole block may be edited: saving one that never came would write zeros over the
    // recorder's serial number and addresses.
    if (!link || !link->records().basicInfo) {
        showMessage(tr("The Velmor has not sent its information yet."), MsgInfo);
        return;
    }
    InfoDlg dialog(*link->records().basicInfo, options_.developerMode, options_.scale, this);
    dialog.exec();
    actions_.sendBasicInfo(dialog.block());
}

void MainWindow::OnFirmwareUpdate()
{
    if (firmwareDialog_)
        firmwareDialog_->open();
}

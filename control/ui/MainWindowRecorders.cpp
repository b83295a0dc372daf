// The main window's recorder list and recorder view: discovery, opening and closing, the
// current recorder and what its status shows.
#include "control/ui/MainWindow.h"

#include "common/catalogue/ClipInfoProcessor.h"
#include "common/naming/RecorderNaming.h"
#include "control/app/DisplayTexts.h"
#include "control/discovery/BluetoothEnumerator.h"
#include "control/discovery/NetworkAdapters.h"
#include "control/discovery/UdpEnumerator.h"
#include "control/manager/RecordUpdate.h"
#include "control/ui/ConfigDlg.h"
#include "control/ui/QBtnToolbar.h"
#include "control/ui/QClipsBar.h"
#include "control/ui/QConfigSelToolbar.h"
#include "control/ui/QConfigToolbar.h"
#include "control/ui/QPlaybackBar.h"
#include "control/ui/QPlaybackSlider.h"
#include "control/ui/QSelToolbar.h"
#include "control/ui/RecLabel.h"

#include <QLabel>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

Q_LOGGING_CATEGORY(lcWindow, "vlm.control.window")

namespace {
constexpr int RediscoveryDelayMs = 100; // lets a recorder take its new address first
}

void MainWindow::clearLabels()
{
    // Later, not now: the label whose signal brought us here may still be running it.
    for (RecLabel* label : std::as_const(labels_)) {
        label->hide();
        label->deleteLater();
    }
    labels_.clear();
    tooManyReported_ = false;
}

void MainWindow::OnEnumerateDevices()
{
    manager_.stopDiscovery();
    clearLabels();
    manager_.setLinkKind(settings_.link);
    BluetoothEnumerator* bluetooth = manager_.bluetoothDiscovery();
    connect(bluetooth, &BluetoothEnumerator::serviceCountChanged, this, &MainWindow::OnBluetoothFound,
            Qt::UniqueConnection);
    bluetooth->run(true);
    if (settings_.link != BaseRecInterface::Ethernet)
        return;
    UdpEnumerator* udp = manager_.udpDiscovery();
    connect(udp, &UdpEnumerator::recorderCountChanged, this, &MainWindow::OnEthernetFound, Qt::UniqueConnection);
    const auto adapter = settings_.adapterName == QLatin1String(ControlSettings::AllAdapters)
        ? std::nullopt
        : adapterNamed(settings_.adapterName);
    if (adapter) {
        udp->startOnAdapter(adapter->address, adapter->netmask);
    } else {
        if (settings_.adapterName != QLatin1String(ControlSettings::AllAdapters))
            qCDebug(lcWindow, "No adapter %s: searching on all", qPrintable(settings_.adapterName));
        udp->startOnAllAdapters();
    }
    udp->scan();
}

bool MainWindow::roomForLabel()
{
    if (labels_.size() < MaxLabels)
        return true;
    if (!tooManyReported_) {
        tooManyReported_ = true;
        showMessage(tr("More than %1 Velmors answered. Only the first %1 are listed."), MsgWarning,
                    QString::number(MaxLabels));
    }
    return false;
}

void MainWindow::addLabel(RecLabel* label)
{
    connect(label, &RecLabel::clicked, this, &MainWindow::OnOpenDevices);
    labelColumn_->insertWidget(labelColumn_->count() - 1, label); // before the stretch
    labels_.append(label);
}

void MainWindow::OnEthernetFound()
{
    UdpEnumerator* udp = manager_.udpDiscovery();
    for (int i = int(labels_.size()); i < udp->count() && roomForLabel(); ++i) {
        auto* label = new RecLabel(*udp->recorderAt(i), i, scaled(14), labelColumn_->parentWidget());
        connect(label, &RecLabel::changeIpAddress, this, &MainWindow::OnChangeIPAddress);
        addLabel(label);
    }
}

void MainWindow::OnBluetoothFound()
{
    if (manager_.linkKind() != BaseRecInterface::Bluetooth)
        return;
    BluetoothEnumerator* bluetooth = manager_.bluetoothDiscovery();
    for (int i = int(labels_.size()); i < bluetooth->count() && roomForLabel(); ++i) {
        const BluetoothService* service = bluetooth->serviceAt(i);
        const QString text = QStringLiteral("<b>%1</b><br>%2")
                                 .arg(service->deviceName().toHtmlEscaped(),
                                      tr("Bluetooth: %1").arg(service->info().serviceName().toHtmlEscaped()));
        addLabel(new RecLabel(text, i, scaled(14), labelColumn_->parentWidget()));
    }
}

void MainWindow::OnOpenDevices()
{
    auto* clicked = qobject_cast<RecLabel*>(sender());
    if (!clicked || !labels_.contains(clicked))
        return;
    QList<int> discovered{clicked->discoveredIndex()};
    for (RecLabel* label : std::as_const(labels_))
        if (label != clicked && label->isChecked())
            discovered.append(label->discoveredIndex());

    setRecordState(false);
    showWarning(tr("Initializing the Velmor(s)\nPlease wait!"));
    resetConfiguration();
    clipsBar_->setClips(0, -1);
    if (!manager_.openRecorders(discovered, settings_.operatorMode != ControlSettings::FullControl)) {
        removeWarning();
        showMessage(tr("The Velmor(s) could not be opened."), MsgError);
        return;
    }
    const int mode = settings_.operatorMode;
    selToolbar_->enableForMode(mode);
    selectView(mode == ControlSettings::PlaybackOnly ? PlaybackView : RecordView);
    selToolbar_->checkTab(view_);
    buttons_->setRecordEnabled(mode != ControlSettings::PlaybackOnly);
    showRecorderView();
    showCurrentRecorder();
}

void MainWindow::OnCloseDevices()
{
    manager_.closeRecorders(true);
    for (RecLabel* label : std::as_const(labels_))
        label->setChecked(false);
    setRecordState(false);
    showRecorderList();
    removeWarning();
}

void MainWindow::OnChangeIPAddress(uint address)
{
    auto* label = qobject_cast<RecLabel*>(sender());
    if (!label)
        return;
    if (showMessage(tr("The Velmor IP address will be changed. Continue?"), MsgWarning | MsgQuestion)
        != QMessageBox::Yes)
        return;
    if (!manager_.changeIpAddress(label->discoveredIndex(), QHostAddress(quint32(address)))) {
        showMessage(tr("The new IP address could not be sent."), MsgError);
        return;
    }
    QTimer::singleShot(RediscoveryDelayMs, this, &MainWindow::OnEnumerateDevices);
}

void MainWindow::OnGeneralConfiguration()
{
    ConfigDlg dialog(settings_.link, settings_.operatorMode, settings_.adapterName, networkAdapters(), options_.scale,
                     this);
    dialog.exec();
    settings_.link = dialog.link();
    settings_.operatorMode = dialog.operatorMode();
    settings_.adapterName = dialog.adapterName();
    settings_.playbackSpeed = manager_.playback().speed();
    settings_.save();
    OnEnumerateDevices();
}

void MainWindow::resetConfiguration()
{
    configToolbar_->reset();
    configSelToolbar_->checkPage(QConfigToolbar::CameraPage);
}

void MainWindow::selectPreviousRecorder()
{
    manager_.selectPrevious();
    showCurrentRecorder();
}

void MainWindow::selectNextRecorder()
{
    manager_.selectNext();
    showCurrentRecorder();
}

void MainWindow::showCurrentRecorder()
{
    const BaseRecInterface* link = manager_.link();
    const bool several = manager_.count() >= 2;
    previous_->setVisible(several);
    next_->setVisible(several);
    resetConfiguration();
    showRecorderName();
    showClipList();
    statusLabel_->setText(link ? link->statusText() : tr("Disconnected"));
    if (link && link->records().status)
        showStatus(RecordUpdate::StatusUpdated | RecordUpdate::DiskChanged | RecordUpdate::PositionChanged);
}

void MainWindow::showRecorderName()
{
    const BaseRecInterface* link = manager_.link();
    if (link && link->records().info)
        nameLabel_->setText(DisplayTexts::recorderName(*link->records().info, link->linkIndex(), manager_.count()));
}

void MainWindow::OnChangedConnectionStatus(int index, const QString& text)
{
    if (index == manager_.currentIndex())
        statusLabel_->setText(text);
}

void MainWindow::OnChangedRecorderStatus(int index, int changeMask)
{
    if (index != manager_.currentIndex())
        return;
    if (changeMask & RecordUpdate::StatusUpdated)
        showStatus(changeMask);
    else if (changeMask & RecordUpdate::ClipListChanged)
        showClipList();
    else if (changeMask & RecordUpdate::InfoReceived)
        showRecorderName();
}

void MainWindow::showStatus(int changeMask)
{
    const BaseRecInterface* link = manager_.link();
    if (!link || !link->records().status)
        return;
    const RecorderRecords& records = link->records();
    const StatusPacket& status = *records.status;
    if (changeMask & RecordUpdate::DiskChanged)
        clipsBar_->showFreeDisk(DisplayTexts::freeDisk(status.diskFree, status.diskCapacity));
    if (changeMask & RecordUpdate::PositionChanged)
        playbackSlider_->RefreshSliderPosition(int(std::min<quint64>(status.playbackPosition, INT_MAX)));
    if ((changeMask & RecordUpdate::BasicInfoReceived) && records.genlockWord)
        configToolbar_->setGenlockConfiguration(*records.genlockWord);
    if (!configToolbar_->isFilled() && records.outputState && link->isConnected()) {
        configToolbar_->fill(records);
        removeWarning();
    } else {
        configToolbar_->takeStatus(status);
        if (configToolbar_->page() == QConfigToolbar::GenlockPage)
            configToolbar_->refreshGenlockStatus(status);
    }
    const bool recording = status.has(StatusPacket::Recording);
    if (recording != recording_)
        setRecordState(recording);
    playbackBar_->showLoopState(status.has(StatusPacket::LoopPlayback));
}

void MainWindow::showClipList()
{
    const ClipInfoProcessor* clips = manager_.clipList();
    const std::optional<int> selected = actions_.clipListArrived();
    const int count = clips ? int(clips->clips().size()) : 0;
    clipsBar_->setClips(count, selected.value_or(-1));
    showSelectedClip();
}

void MainWindow::showSelectedClip()
{
    const ClipInfoProcessor* clips = manager_.clipList();
    const int selected = clipsBar_->selectedClip();
    if (!clips || selected < 0 || selected >= clips->clips().size()) {
        clipsBar_->showClipInfo(DisplayTexts::noClips());
        playbackSlider_->setFrames(0);
        return;
    }
    const BaseRecInterface* link = manager_.link();
    const quint32 cameraSerial = link && link->records().info ? link->records().info->cameraSerial : 0;
    const kvx::ClipInfoPacket::clipInfo& clip = clips->clips()[selected].info;
    clipsBar_->showClipInfo(DisplayTexts::clipInfo(clip, cameraSerial));
    playbackSlider_->setFrames(clip.totalFrames);
}

void MainWindow::onOpenTimedOut(const QList<int>& silent)
{
    QStringList names;
    for (int index : silent) {
        const BaseRecInterface* link = manager_.link(index);
        if (link && link->records().info)
            names.append(deviceName(link->records().info->serialNumber()));
    }
    if (!configToolbar_->isFilled())
        removeWarning();
    showMessage(tr("No answer from %1.\nCheck that the Velmor is switched on and connected."), MsgWarning,
                names.join(QStringLiteral(", ")));
}

#include "control/ui/MainWindow.h"

#include "control/app/DisplayTexts.h"
#include "control/app/UiScale.h"
#include "control/ui/FwUpdDlg.h"
#include "control/ui/ImageButton.h"
#include "control/ui/QBtnToolbar.h"
#include "control/ui/QClipsBar.h"
#include "control/ui/QConfigSelToolbar.h"
#include "control/ui/QConfigToolbar.h"
#include "control/ui/QPlaybackBar.h"
#include "control/ui/QPlaybackSlider.h"
#include "control/ui/QSelToolbar.h"
#include "control/ui/QWarningLabel.h"
#include "control/ui/RecLabel.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

// The panel as laid out at 96 dpi.
constexpr int PanelWidth = 600;
constexpr int ButtonSize = 48;
constexpr int LabelMargin = 14;
constexpr int ToolButtonSize = 36; // the toolbars' and bars' picture buttons
constexpr int MarkerSize = 12;     // the playback slider's start and stop markers

} // namespace

MainWindow::MainWindow(const MainWindowOptions& options, QWidget* parent)
    : QWidget(parent), options_(options), settings_(options.settings), actions_(manager_)
{
    setWindowTitle(tr("VLM Velmor Control"));
    setWindowIcon(QIcon(QStringLiteral(":/res/vlmvel.png")));
    setFixedSize(scaled(PanelWidth), scaled(UiScale::PanelHeight));
    manager_.playback().setSpeed(settings_.playbackSpeed);

    pages_ = new QStackedWidget(this);
    buttons_ = new QBtnToolbar(scaled(ButtonSize), options_.developerMode, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(scaled(8), scaled(8), scaled(8), scaled(8));
    layout->addWidget(pages_, 1);
    layout->addWidget(buttons_);
    buildListView();
    buildRecorderView();
    playbackBar_->showSpeed(manager_.playback().speed());
    if (options_.developerMode)
        firmwareDialog_ = new FwUpdDlg(
            manager_, [this](const QString& text, bool success) { showMessage(text, success ? MsgInfo : MsgError); },
            this);

    connect(buttons_, &QBtnToolbar::enumPressed, this, &MainWindow::OnEnumerateDevices);
    connect(buttons_, &QBtnToolbar::backPressed, this, &MainWindow::OnCloseDevices);
    connect(buttons_, &QBtnToolbar::recordPressed, this, &MainWindow::OnRecordClip);
    connect(buttons_, &QBtnToolbar::configPressed, this, &MainWindow::OnGeneralConfiguration);
    connect(buttons_, &QBtnToolbar::infoPressed, this, &MainWindow::OnRecorderBasicInfo);
    connect(buttons_, &QBtnToolbar::fwUpgPressed, this, &MainWindow::OnFirmwareUpdate);
    connect(previous_, &QToolButton::clicked, this, &MainWindow::selectPreviousRecorder);
    connect(next_, &QToolButton::clicked, this, &MainWindow::selectNextRecorder);
    connect(selToolbar_, &QSelToolbar::tabSelect, this, &MainWindow::selectView);
    connect(configSelToolbar_, &QConfigSelToolbar::pageSelect, configToolbar_, &QConfigToolbar::showPage);
    connect(configToolbar_, &QConfigToolbar::camrecParameter, this, &MainWindow::OnCameraRecorderParameter);
    connect(configToolbar_, &QConfigToolbar::sdiSwap, this, [this] { actions_.swapSdiOutputs(); });
    connect(configToolbar_, &QConfigToolbar::cameraRoi, this, &MainWindow::OnCameraSelectRoi);
    connect(configToolbar_, &QConfigToolbar::paintParameter, this, &MainWindow::OnPaintParameter);
    connect(clipsBar_, &QClipsBar::selectClip, this, &MainWindow::OnSelectClip);
    connect(clipsBar_, &QClipsBar::deleteClip, this, &MainWindow::OnDeleteClip);
    connect(clipsBar_, &QClipsBar::deleteAllClips, this, &MainWindow::OnDeleteAllClips);
    connect(playbackSlider_, &QPlaybackSlider::sliderValueChanged, this, &MainWindow::OnPlaybackSliderChanged);
    connect(playbackBar_, &QPlaybackBar::playbackEvent, this, &MainWindow::OnPlaybackEvent);
    connect(playbackBar_, &QPlaybackBar::playbackSpeed, this, &MainWindow::OnPlaybackSpeed);
    connect(&manager_, &QMultiRecorderMgr::changeConnectionStatus, this, &MainWindow::OnChangedConnectionStatus);
    connect(&manager_, &QMultiRecorderMgr::changeRecorderStatus, this, &MainWindow::OnChangedRecorderStatus);
    connect(&manager_, &QMultiRecorderMgr::openTimedOut, this, &MainWindow::onOpenTimedOut);

    blinkTimer_.setInterval(BlinkMs);
    connect(&blinkTimer_, &QTimer::timeout, this, [this] { buttons_->setRecordChecked(!buttons_->isRecordChecked()); });
    calibrationTimer_.setSingleShot(true);
    calibrationTimer_.setInterval(RecorderActions::CalibrationWarningMs);
    connect(&calibrationTimer_, &QTimer::timeout, this, &MainWindow::removeWarning);
    showRecorderList();
}

MainWindow::~MainWindow()
{
    settings_.playbackSpeed = manager_.playback().speed();
    settings_.save();
    manager_.closeRecorders(true);
}

int MainWindow::scaled(int size) const
{
    return UiScale::scaled(size, options_.scale);
}

void MainWindow::buildListView()
{
    listPage_ = new QWidget(pages_);
    auto* layout = new QVBoxLayout(listPage_);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* title = new QLabel(tr("VLM Velmors"), listPage_);
    title->setObjectName(QStringLiteral("titleLabel"));
    title->setStyleSheet(QStringLiteral("font-size: 14pt; font-weight: bold; color: #e8ecf1;"));
    layout->addWidget(title);
    auto* scroll = new QScrollArea(listPage_);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* column = new QWidget(scroll);
    labelColumn_ = new QVBoxLayout(column);
    const int margin = scaled(LabelMargin);
    labelColumn_->setContentsMargins(margin, margin, margin, margin);
    labelColumn_->setSpacing(margin);
    labelColumn_->addStretch();
    scroll->setWidget(column);
    layout->addWidget(scroll, 1);
    pages_->addWidget(listPage_);
}

QWidget* MainWindow::buildTitleRow()
{
    auto* row = new QWidget(recorderPage_);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* texts = new QVBoxLayout;
    statusLabel_ = new QLabel(tr("Disconnected"), row);
    statusLabel_->setObjectName(QStringLiteral("statusLabel"));
    nameLabel_ = new QLabel(row);
    nameLabel_->setObjectName(QStringLiteral("recorderName"));
    nameLabel_->setStyleSheet(QStringLiteral("font-size: 13pt; font-weight: bold; color: #e8ecf1;"));
    texts->addWidget(nameLabel_);
    texts->addWidget(statusLabel_);
    layout->addLayout(texts, 1);
    previous_ = new ImageButton(QStringLiteral("prev_rec"), scaled(ButtonSize * 3 / 4), row);
    previous_->setToolTip(tr("Previous Velmor"));
    next_ = new ImageButton(QStringLiteral("next_rec"), scaled(ButtonSize * 3 / 4), row);
    next_->setToolTip(tr("Next Velmor"));
    layout->addWidget(previous_);
    layout->addWidget(next_);
    return row;
}

void MainWindow::buildRecorderView()
{
    recorderPage_ = new QWidget(pages_);
    auto* layout = new QVBoxLayout(recorderPage_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(buildTitleRow());
    selToolbar_ = new QSelToolbar(scaled(ButtonSize), recorderPage_);
    layout->addWidget(selToolbar_);

    viewPages_ = new QStackedWidget(recorderPage_);
    auto* recordPage = new QWidget(viewPages_);
    auto* recordLayout = new QVBoxLayout(recordPage);
    recordLayout->setContentsMargins(0, 0, 0, 0);
    configSelToolbar_ = new QConfigSelToolbar(scaled(ToolButtonSize), recordPage);
    configToolbar_ = new QConfigToolbar(options_.scale, recordPage);
    recordLayout->addWidget(configSelToolbar_);
    recordLayout->addWidget(configToolbar_, 1);
    auto* playbackPage = new QWidget(viewPages_);
    auto* playbackLayout = new QVBoxLayout(playbackPage);
    playbackLayout->setContentsMargins(0, 0, 0, 0);
    clipsBar_ = new QClipsBar(scaled(ToolButtonSize), playbackPage);
    playbackSlider_ = new QPlaybackSlider(scaled(MarkerSize), playbackPage);
    playbackBar_ = new QPlaybackBar(scaled(ToolButtonSize), playbackPage);
    playbackLayout->addWidget(clipsBar_, 1);
    playbackLayout->addWidget(playbackSlider_);
    playbackLayout->addWidget(playbackBar_);
    viewPages_->addWidget(recordPage);
    viewPages_->addWidget(playbackPage);
    layout->addWidget(viewPages_, 1);
    pages_->addWidget(recorderPage_);
}

void MainWindow::ShowMainWindow()
{
    setWindowOpacity(1.0);
}

int MainWindow::showMessage(const QString& text, int flags, const QString& detail)
{
    const QString message = detail.isEmpty() ? text : text.arg(detail);
    if (messageHandler_)
        return messageHandler_(message, flags);
    QMessageBox box(this);
    box.setWindowTitle(tr("VLM Velmor Control"));
    box.setText(message);
    if (flags & MsgWarning)
        box.setIconPixmap(QPixmap(QStringLiteral(":/res/ico-wrn.png")));
    else if (flags & MsgError)
        box.setIconPixmap(QPixmap(QStringLiteral(":/res/ico-err.png")));
    else if (flags & MsgInfo)
        box.setIconPixmap(QPixmap(QStringLiteral(":/res/ico-inf.png")));
    if (flags & MsgQuestion) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
    } else if (flags & MsgYesNoCancel) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    for (QAbstractButton* button : box.buttons()) {
        button->setStyleSheet(QStringLiteral("padding: 2px;"));
        button->setMinimumSize(scaled(80), scaled(32));
    }
    return box.exec();
}

void MainWindow::showWarning(const QString& text)
{
    removeWarning();
    warning_ = new QWarningLabel(text, this);
}

void MainWindow::removeWarning()
{
    if (warning_) {
        warning_->hide();
        warning_->deleteLater();
    }
    warning_ = nullptr;
}

QString MainWindow::warningText() const
{
    return warning_ ? warning_->text() : QString();
}

bool MainWindow::isRecorderViewShown() const
{
    return pages_->currentWidget() == recorderPage_;
}

QString MainWindow::statusText() const
{
    return statusLabel_->text();
}

QString MainWindow::recorderNameText() const
{
    return nameLabel_->text();
}

bool MainWindow::previousNextVisible() const
{
    return !previous_->isHidden() && !next_->isHidden();
}

void MainWindow::showRecorderList()
{
    pages_->setCurrentWidget(listPage_);
    buttons_->showListButtons();
}

void MainWindow::showRecorderView()
{
    pages_->setCurrentWidget(recorderPage_);
    buttons_->showRecorderButtons();
}

void MainWindow::selectView(int view)
{
    view_ = view;
    viewPages_->setCurrentIndex(view == PlaybackView ? 1 : 0);
}

void MainWindow::setRecordState(bool on)
{
    recording_ = on;
    if (on) {
        blinkTimer_.start();
        showWarning(tr("Recording video...\nClick the REC button to stop."));
    } else {
        blinkTimer_.stop();
        buttons_->setRecordChecked(false);
        removeWarning();
    }
}

#include "playback/ImageDisplayWindow.h"

#include "playback/AspectFit.h"
#include "playback/ColorControls.h"
#include "playback/FramePlan.h"
#include "playback/PlaybackCursor.h"
#include "playback/PlaybackTexts.h"
#include "storage/SavedClip.h"
#include "ui_ImageDisplayWindow.h"

#include <QDebug>
#include <QEvent>

ImageDisplayWindow::ImageDisplayWindow(PlaybackHost* host, QWidget* parent)
    : QWidget(parent,
              Qt::Window | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::ImageDisplayWindow>())
{
    ui->setupUi(this);
    colorControls_ = new ColorControls(host, this);
    ui->viewArea->installEventFilter(this);
    connect(ui->frameSlider, &QSlider::valueChanged, ui->imageDisplay, &ImageDisplayWidget::SetCurrentFrame);
    connect(ui->imageDisplay, &ImageDisplayWidget::newPlaybackFrame, ui->frameSlider, &QSlider::setValue);
    connect(ui->imageDisplay, &ImageDisplayWidget::newPlaybackFrame, this, &ImageDisplayWindow::showFrame);
    setClip({});
}

ImageDisplayWindow::~ImageDisplayWindow()
{
    setClip({});
}

ImageDisplayWidget* ImageDisplayWindow::display() const
{
    return ui->imageDisplay;
}

kvx::LoadFrameSlider* ImageDisplayWindow::slider() const
{
    return ui->frameSlider;
}

void ImageDisplayWindow::setExporter(Exporter exporter)
{
    exporter_ = std::move(exporter);
    ui->exportButton->setEnabled(bool(exporter_));
}

void ImageDisplayWindow::setClip(QSharedPointer<SavedClip> clip)
{
    if (clip && (clip->width == 0 || clip->height == 0 || clip->lineBytes == 0 || clip->lineCount == 0)) {
        qWarning().noquote() << "Clip" << clip->folderPath() << "has no picture size and cannot be shown";
        clip.reset();
    }
    if (clip)
        setWindowTitle(playback::windowTitle(clip->clipNumber, clip->width, clip->height, clip->fps));
    else
        setWindowTitle(tr("Clip Playback"));
    ui->imageDisplay->attachClip(clip);
    if (clip)
        ui->frameSlider->associateClip(clip);
    else
        ui->frameSlider->clear();
    colorControls_->setClip(clip);
    clip_ = clip;
    showPlayDirection();
    showFrame(ui->imageDisplay->currentFrame());
    layOutView();
}

void ImageDisplayWindow::showFrame(int frame)
{
    const bool present = !clip_ || playback::covers(clip_->segments(), frame, frame);
    ui->frameLabel->setText(playback::frameLabel(frame, clip_ ? clip_->fps : 0.0, present));
}

void ImageDisplayWindow::showPlayDirection()
{
    const int direction = ui->imageDisplay->direction();
    ui->fwdPlayButton->setChecked(direction == playback::PlaybackCursor::Forward);
    ui->revPlayButton->setChecked(direction == playback::PlaybackCursor::Reverse);
}

void ImageDisplayWindow::on_fwdPlayButton_clicked()
{
    ui->imageDisplay->pressPlay(playback::PlaybackCursor::Forward);
    showPlayDirection();
}

void ImageDisplayWindow::on_revPlayButton_clicked()
{
    ui->imageDisplay->pressPlay(playback::PlaybackCursor::Reverse);
    showPlayDirection();
}

void ImageDisplayWindow::on_pauseButton_clicked()
{
    ui->imageDisplay->stop();
    showPlayDirection();
}

void ImageDisplayWindow::on_stepLeftButton_clicked()
{
    ui->imageDisplay->step(-1);
}

void ImageDisplayWindow::on_stepRightButton_clicked()
{
    ui->imageDisplay->step(+1);
}

void ImageDisplayWindow::on_gotoFirstButton_clicked()
{
    if (clip_)
        ui->imageDisplay->SetCurrentFrame(clip_->lowerTrim());
}

void ImageDisplayWindow::on_gotoLastButton_clicked()
{
    if (clip_)
        ui->imageDisplay->SetCurrentFrame(clip_->upperTrim());
}

void ImageDisplayWindow::on_lowerTrimButton_clicked()
{
    if (clip_)
        clip_->setLowerTrim(std::min(ui->frameSlider->getCorrespondingFrame(), clip_->upperTrim()));
}

void ImageDisplayWindow::on_upperTrimButton_clicked()
{
    if (clip_)
        clip_->setUpperTrim(std::max(ui->frameSlider->getCorrespondingFrame(), clip_->lowerTrim()));
}

void ImageDisplayWindow::on_resetTrimButton_clicked()
{
    if (!clip_)
        return;
    clip_->setLowerTrim(0);
    clip_->setUpperTrim(std::max(0, ui->imageDisplay->frameCount() - 1));
}

void ImageDisplayWindow::on_colorButton_clicked()
{
    colorControls_->setVisible(colorControls_->isHidden());
}

void ImageDisplayWindow::on_exportButton_clicked()
{
    if (!clip_ || !exporter_)
        return;
    clip_->saveRenderState();
    exporter_(clip_, this);
}

bool ImageDisplayWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->viewArea && event->type() == QEvent::Resize)
        layOutView();
    return QWidget::eventFilter(watched, event);
}

void ImageDisplayWindow::layOutView()
{
    const QSize clipSize = clip_ ? QSize(clip_->width, clip_->height) : QSize();
    ui->imageDisplay->setGeometry(playback::aspectFit(ui->viewArea->size(), clipSize));
}

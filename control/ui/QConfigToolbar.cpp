#include "control/ui/QConfigToolbar.h"

#include "control/app/UiScale.h"
#include "control/manager/RecorderActions.h"
#include "control/ui/TapLabel.h"
#include "control/ui/TouchPad.h"

#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QStackedWidget>
#include <QVBoxLayout>

QConfigToolbar::QConfigToolbar(double scale, QWidget* parent) : QWidget(parent), scale_(scale)
{
    setObjectName(QStringLiteral("configToolbar"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    pages_ = new QStackedWidget(this);
    pages_->addWidget(buildCameraPage());
    pages_->addWidget(buildPaintPage());
    pages_->addWidget(buildGenlockPage());
    pages_->addWidget(buildLensPage());
    layout->addWidget(pages_);
    reset();
}

int QConfigToolbar::scaled(int size) const
{
    return UiScale::scaled(size, scale_);
}

QPushButton* QConfigToolbar::makeButton(const QString& text, QWidget* parent, bool checkable)
{
    auto* button = new QPushButton(text, parent);
    button->setCheckable(checkable);
    button->setFixedHeight(scaled(34));
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QSlider* QConfigToolbar::makeSlider(QWidget* parent, std::function<void(int, SliderChange)> changed)
{
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setMinimumHeight(scaled(30));
    slider->setPageStep(10);
    connect(slider, &QSlider::sliderMoved, this, [changed](int position) { changed(position, SliderChange::Moved); });
    connect(slider, &QSlider::sliderReleased, this,
            [slider, changed] { changed(slider->value(), SliderChange::Released); });
    // A tap on the groove or a key: the position is already the new one when this comes.
    connect(slider, &QSlider::actionTriggered, this, [slider, changed](int action) {
        if (action != QAbstractSlider::SliderMove)
            changed(slider->sliderPosition(), SliderChange::Stepped);
    });
    return slider;
}

void QConfigToolbar::reset()
{
    filled_ = false;
    showPage(CameraPage);
}

void QConfigToolbar::fill(const RecorderRecords& records)
{
    notice_->clear();
    camera_.fill(records);
    if (records.outputState)
        paint_.fill(*records.outputState);
    lens_.fill(records);
    filled_ = true;
    showCamera();
    showPaint();
    showLens();
    if (records.status)
        refreshGenlockStatus(*records.status);
}

void QConfigToolbar::takeStatus(const StatusPacket& status)
{
    if (!filled_ || fpsSlider_->isSliderDown() || shutterSlider_->isSliderDown())
        return;
    if (camera_.takeStatus(status))
        showCamera();
}

void QConfigToolbar::lowerShutter(int microseconds)
{
    camera_.lowerShutter(microseconds);
    showCamera();
}

void QConfigToolbar::showPage(int page)
{
    if (page < CameraPage || page > LensPage)
        return;
    page_ = page;
    pages_->setCurrentIndex(page);
}

void QConfigToolbar::emitCamera(const CameraParameter& parameter)
{
    emit camrecParameter(parameter.kind, parameter.value);
}

void QConfigToolbar::emitPaint(const QList<PaintParameter>& parameters)
{
    for (const PaintParameter& p : parameters)
        emit paintParameter(p.group, p.channel, p.value);
}

void QConfigToolbar::typeFps()
{
    if (!filled_ || camera_.fpsMaximum() < 1)
        return;
    TouchPad pad(tr("Fps"), camera_.fps(), std::min(CameraSettings::TypedMinimumFps, camera_.fpsMaximum()),
                 camera_.fpsMaximum(), scale_, this);
    if (pad.exec() != QDialog::Accepted)
        return;
    const CameraParameter sent = camera_.typedFps(pad.value());
    showLimitNotice(tr("Fps"), pad.value(), int(sent.value));
    emitCamera(sent);
    showCamera();
}

void QConfigToolbar::typeShutter()
{
    const auto maximum = camera_.shutterMaximum();
    if (!filled_ || !maximum)
        return;
    TouchPad pad(tr("Shutter"), camera_.shutter(), std::min(CameraSettings::TypedMinimumShutter, *maximum), *maximum,
                 scale_, this);
    if (pad.exec() != QDialog::Accepted)
        return;
    if (const auto parameter = camera_.typedShutter(pad.value())) {
        showLimitNotice(tr("Shutter"), pad.value(), int(parameter->value));
        emitCamera(*parameter);
    }
    showCamera();
}

void QConfigToolbar::showLimitNotice(const QString& caption, int typed, int sent)
{
    if (typed == sent)
        notice_->clear();
    else
        notice_->setText(tr("%1 %2 is outside what the camera takes: %3 is sent.").arg(caption).arg(typed).arg(sent));
}

QString QConfigToolbar::noticeText() const
{
    return notice_->text();
}

#include "control/ui/QPlaybackBar.h"

#include "control/ui/ImageButton.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>

#include <cmath>

namespace {

struct Button {
    const char* picture;
    QPlaybackBar::Event event;
    const char* tip;
};

const Button Buttons[] = {
    {"pb_first", QPlaybackBar::First, QT_TRANSLATE_NOOP("QPlaybackBar", "First frame")},
    {"pb_prev", QPlaybackBar::Previous, QT_TRANSLATE_NOOP("QPlaybackBar", "Previous frame")},
    {"pb_rew", QPlaybackBar::Rewind, QT_TRANSLATE_NOOP("QPlaybackBar", "Rewind")},
    {"pb_pause", QPlaybackBar::Pause, QT_TRANSLATE_NOOP("QPlaybackBar", "Pause")},
    {"pb_ff", QPlaybackBar::FastForward, QT_TRANSLATE_NOOP("QPlaybackBar", "Fast forward")},
    {"pb_next", QPlaybackBar::Next, QT_TRANSLATE_NOOP("QPlaybackBar", "Next frame")},
    {"pb_last", QPlaybackBar::Last, QT_TRANSLATE_NOOP("QPlaybackBar", "Latest frame")},
    {"pb_loop", QPlaybackBar::Loop, QT_TRANSLATE_NOOP("QPlaybackBar", "Direct/Loop")},
    {"pb_spd_half", QPlaybackBar::HalveSpeed, QT_TRANSLATE_NOOP("QPlaybackBar", "Half speed")},
    {"pb_spd_dbl", QPlaybackBar::DoubleSpeed, QT_TRANSLATE_NOOP("QPlaybackBar", "Double speed")},
};

} // namespace

QPlaybackBar::QPlaybackBar(int buttonSize, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("playbackBar"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* transport = new QHBoxLayout;
    transport->setSpacing(2);
    auto* speedRow = new QHBoxLayout;
    for (const Button& b : Buttons) {
        auto* button = new ImageButton(QLatin1String(b.picture), buttonSize, this);
        button->setToolTip(tr(b.tip));
        button->setProperty("event", int(b.event));
        connect(button, &QToolButton::clicked, this, &QPlaybackBar::OnPlaybackClicked);
        if (b.event == Rewind)
            rewind_ = button;
        else if (b.event == FastForward)
            fastForward_ = button;
        else if (b.event == Loop)
            loopButton_ = button;
        (b.event >= HalveSpeed ? speedRow : transport)->addWidget(button);
    }
    for (ImageButton* b : {rewind_, fastForward_, loopButton_})
        b->setCheckable(true);
    speed_ = new QSlider(Qt::Horizontal, this);
    speed_->setRange(0, MaxSpeedValue);
    speed_->setSingleStep(1);
    speed_->setPageStep(10);
    speed_->setMinimumHeight(buttonSize / 2);
    connect(speed_, &QSlider::actionTriggered, this, &QPlaybackBar::OnSpeedActionTriggered);
    connect(speed_, &QSlider::sliderReleased, this, [this] {
        showSpeedValue(speed_->value());
        emit playbackSpeed(speed_->value());
    });
    speedLabel_ = new QLabel(this);
    speedLabel_->setObjectName(QStringLiteral("speedLabel"));
    speedLabel_->setMinimumWidth(buttonSize);
    speedLabel_->setAlignment(Qt::AlignCenter);
    speedLabel_->setStyleSheet(QStringLiteral("font-size: 13pt; font-weight: bold; color: white;"));
    speedRow->insertWidget(1, speed_, 1);
    speedRow->insertWidget(1, speedLabel_);
    layout->addLayout(transport);
    layout->addLayout(speedRow);
    showSpeed(0);
}

void QPlaybackBar::OnPlaybackClicked()
{
    const int event = sender() ? sender()->property("event").toInt() : -1;
    if (event < 0)
        return;
    if (event == Loop)
        loopButton_->setChecked(loop_); // changes only when the recorder reports it
    emit playbackEvent(event);
}

void QPlaybackBar::OnSpeedActionTriggered(int action)
{
    // A drag is emitted when let go; taps and keys at once, with the position already moved.
    if (action == QAbstractSlider::SliderMove || action == QAbstractSlider::SliderNoAction)
        return;
    showSpeedValue(speed_->sliderPosition());
    emit playbackSpeed(speed_->sliderPosition());
}

void QPlaybackBar::showSpeed(double speed)
{
    const QSignalBlocker quiet(speed_);
    const int value = std::isfinite(speed) ? int(std::clamp(speed * 100.0, 0.0, double(MaxSpeedValue))) : 0;
    speed_->setValue(value);
    showSpeedValue(value);
}

void QPlaybackBar::showSpeedValue(int value)
{
    speedLabel_->setText(QString::number(value / 100.0, 'f', 2));
}

void QPlaybackBar::showPlayState(int state)
{
    rewind_->setChecked(state == 1);
    fastForward_->setChecked(state == 2);
}

void QPlaybackBar::showLoopState(bool loop)
{
    loop_ = loop;
    loopButton_->setChecked(loop);
}

QString QPlaybackBar::speedText() const
{
    return speedLabel_->text();
}

int QPlaybackBar::speedValue() const
{
    return speed_->value();
}

int QPlaybackBar::shownPlayState() const
{
    return fastForward_->isChecked() ? 2 : rewind_->isChecked() ? 1 : 0;
}

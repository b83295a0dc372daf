// The configuration toolbar's camera and output page and its genlock page.
#include "control/app/DisplayTexts.h"
#include "control/ui/FormatSelector.h"
#include "control/ui/QConfigToolbar.h"
#include "control/ui/TapLabel.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

namespace {

// The SDI output selection values, in button order.
constexpr std::array<int, 4> OutputSelections{0, 3, 2, 1};

using DisplayTexts::captionOver;

} // namespace

QWidget* QConfigToolbar::buildCameraPage()
{
    auto* page = new QWidget(this);
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(0, scaled(4), 0, 0);
    grid->setVerticalSpacing(scaled(6));
    const int captionWidth = scaled(130);

    fpsLabel_ = new TapLabel(page);
    fpsLabel_->setFixedWidth(captionWidth);
    connect(fpsLabel_, &TapLabel::clicked, this, &QConfigToolbar::typeFps);
    fpsSlider_ = makeSlider(page, [this](int fps, SliderChange change) {
        if (!filled_)
            return;
        camera_.moveFps(fps);
        if (change != SliderChange::Moved)
            emitCamera(camera_.releaseFps(fps));
        showCamera();
    });
    fpsSlider_->setObjectName(QStringLiteral("fpsSlider"));
    grid->addWidget(fpsLabel_, 0, 0);
    grid->addWidget(fpsSlider_, 0, 1, 1, 4);

    shutterLabel_ = new TapLabel(page);
    shutterLabel_->setFixedWidth(captionWidth);
    connect(shutterLabel_, &TapLabel::clicked, this, &QConfigToolbar::typeShutter);
    shutterSlider_ = makeSlider(page, [this](int shutter, SliderChange change) {
        if (!filled_ || change == SliderChange::Released)
            return; // every move was sent already
        emitCamera(camera_.moveShutter(shutter));
        showCamera();
    });
    shutterSlider_->setObjectName(QStringLiteral("shutterSlider"));
    grid->addWidget(shutterLabel_, 1, 0);
    grid->addWidget(shutterSlider_, 1, 1, 1, 4);

    auto* sdiCaption = new QLabel(captionOver(tr("SDI Format"), QString()), page);
    sdiFormat_ = new FormatSelector(scaled(32), page);
    sdiFormat_->setObjectName(QStringLiteral("sdiFormat"));
    connect(sdiFormat_, &FormatSelector::formatSelected, this, [this](const VideoFormat& format) {
        if (filled_)
            emitCamera(camera_.setSdiFormat(format));
    });
    grid->addWidget(sdiCaption, 2, 0);
    grid->addWidget(sdiFormat_, 2, 1, 1, 4);

    live_ = makeButton(tr("120 Fps Live"), page, true);
    connect(live_, &QPushButton::clicked, this, [this](bool on) {
        if (filled_)
            emitCamera(camera_.setLiveOutput(on));
    });
    grid->addWidget(live_, 3, 0);
    auto* swapGroup = new QButtonGroup(page);
    for (int i = 0; i < 2; ++i) {
        outputLabels_[i] = new QLabel(page);
        swapButtons_[i] = makeButton(i == 0 ? tr("Normal") : tr("Swapped"), page, true);
        swapGroup->addButton(swapButtons_[i]);
        connect(swapButtons_[i], &QPushButton::clicked, this, &QConfigToolbar::OnSdiSwapSelected);
        grid->addWidget(outputLabels_[i], 3, 1 + i * 2);
        grid->addWidget(swapButtons_[i], 3, 2 + i * 2);
    }

    grid->addWidget(new QLabel(captionOver(tr("Output"), QString()), page), 4, 0);
    outputSelection_ = new QButtonGroup(page);
    for (int i = 0; i < int(OutputSelections.size()); ++i) {
        QPushButton* b = makeButton(QString::number(OutputSelections[i]), page, true);
        outputSelection_->addButton(b, i);
        grid->addWidget(b, 4, 1 + i);
    }
    connect(outputSelection_, &QButtonGroup::idClicked, this, &QConfigToolbar::OnSdiOutputSelected);
    notice_ = new QLabel(page);
    notice_->setObjectName(QStringLiteral("limitNotice"));
    notice_->setWordWrap(true);
    notice_->setStyleSheet(QStringLiteral("color: #f3a335;"));
    grid->addWidget(notice_, 5, 0, 1, 5);
    grid->setRowStretch(6, 1);
    return page;
}

QWidget* QConfigToolbar::buildGenlockPage()
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, scaled(4), 0, 0);
    layout->setSpacing(scaled(8));
    genlockFormat_ = new FormatSelector(scaled(34), page);
    genlockFormat_->setObjectName(QStringLiteral("genlockFormat"));
    auto emitGenlock = [this] {
        if (filled_)
            emitCamera(camera_.setGenlock({genlockFormat_->format(), genlockOption_->isChecked()}));
    };
    connect(genlockFormat_, &FormatSelector::formatSelected, this, emitGenlock);
    layout->addWidget(genlockFormat_);
    genlockOption_ = makeButton(tr("Option"), page, true);
    connect(genlockOption_, &QPushButton::clicked, this, emitGenlock);
    layout->addWidget(genlockOption_);
    genlockStatus_ = new QLabel(page);
    genlockStatus_->setObjectName(QStringLiteral("genlockStatus"));
    genlockStatus_->setTextFormat(Qt::RichText);
    layout->addWidget(genlockStatus_);
    layout->addStretch();
    return page;
}

void QConfigToolbar::showCamera()
{
    {
        const QSignalBlocker quietFps(fpsSlider_);
        const QSignalBlocker quietShutter(shutterSlider_);
        fpsSlider_->setRange(camera_.fpsSliderMinimum(), camera_.fpsMaximum());
        fpsSlider_->setValue(camera_.fps());
        fpsSlider_->setEnabled(camera_.fpsMaximum() > camera_.fpsSliderMinimum());
        const auto maximum = camera_.shutterMaximum();
        shutterSlider_->setRange(CameraSettings::SliderMinimumShutter, maximum.value_or(1));
        shutterSlider_->setValue(camera_.shutter());
        shutterSlider_->setEnabled(maximum.has_value());
        shutterSlider_->setPageStep(std::max(1, maximum.value_or(1) / 20));
    }
    fpsLabel_->setText(captionOver(tr("Fps"), QString::number(camera_.fps())));
    shutterLabel_->setText(captionOver(tr("Shutter"), camera_.shutterText()));
    sdiFormat_->setFormat(camera_.sdiFormat());
    live_->setChecked(camera_.liveOutput());
    for (int i = 0; i < int(OutputSelections.size()); ++i)
        outputSelection_->button(i)->setChecked(OutputSelections[size_t(i)] == camera_.outputSelection());
    genlockFormat_->setFormat(camera_.genlock().format);
    genlockOption_->setChecked(camera_.genlock().option);
    showSwap();
}

void QConfigToolbar::showSwap()
{
    const bool swapped = camera_.sdiSwapped();
    swapButtons_[0]->setChecked(!swapped);
    swapButtons_[1]->setChecked(swapped);
    for (int i = 0; i < 2; ++i) {
        const bool live = (i == 0) != swapped;
        outputLabels_[i]->setText(QStringLiteral("<p align=center><font color=#4B96C8>%1</font><br/>"
                                                 "<font color=white><b>SDI-%2</b></font><br/>%3</p>")
                                      .arg(tr("Channel"))
                                      .arg(i + 1)
                                      .arg(live ? tr("LIVE") : tr("PLAYBACK")));
    }
}

void QConfigToolbar::OnSdiSwapSelected()
{
    const bool first = sender() == swapButtons_[0];
    const bool swapped = first ? !swapButtons_[0]->isChecked() : swapButtons_[1]->isChecked();
    if (filled_ && camera_.setSdiSwapped(swapped))
        emit sdiSwap();
    showSwap();
}

void QConfigToolbar::OnSdiOutputSelected(int button)
{
    if (!filled_ || button < 0 || button >= int(OutputSelections.size()))
        return;
    const PaintParameter p = camera_.setOutputSelection(OutputSelections[size_t(button)]);
    emit paintParameter(p.group, p.channel, p.value);
}

void QConfigToolbar::setGenlockConfiguration(quint64 word)
{
    camera_.takeGenlockWord(word);
    genlockFormat_->setFormat(camera_.genlock().format);
    genlockOption_->setChecked(camera_.genlock().option);
}

void QConfigToolbar::refreshGenlockStatus(const StatusPacket& status)
{
    genlockStatus_->setText(genlockStatusText(status));
}

// The configuration toolbar's lens page: focus, iris and zoom, and the sensor alignment.
#include "control/app/DisplayTexts.h"
#include "control/ui/ImageButton.h"
#include "control/ui/QConfigToolbar.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

namespace {

const char* const AxisNames[LensSettings::AxisCount] = {QT_TRANSLATE_NOOP("QConfigToolbar", "Focus"),
                                                        QT_TRANSLATE_NOOP("QConfigToolbar", "Iris"),
                                                        QT_TRANSLATE_NOOP("QConfigToolbar", "Zoom")};

// Which step an alignment button makes, by its picture's name.
QString lensCaption(int axis, int value)
{
    return DisplayTexts::captionOver(QCoreApplication::translate("QConfigToolbar", AxisNames[axis]),
                                     QString::number(value));
}

const char* const AlignmentButtons[4] = {"lens_up", "lens_prev", "lens_next", "lens_down"};

} // namespace

QWidget* QConfigToolbar::buildLensPage()
{
    auto* page = new QWidget(this);
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(0, scaled(4), 0, 0);
    grid->setVerticalSpacing(scaled(6));
    for (int axis = 0; axis < LensSettings::AxisCount; ++axis) {
        lensLabels_[axis] = new QLabel(page);
        lensLabels_[axis]->setFixedWidth(scaled(130));
        lensSliders_[axis] = makeSlider(page, [this, axis](int position, SliderChange change) {
            if (!filled_)
                return;
            if (change == SliderChange::Moved) {
                lensLabels_[axis]->setText(lensCaption(axis, position));
                return;
            }
            const PaintParameter p = lens_.setLens(axis, position);
            emit paintParameter(p.group, p.channel, p.value);
            showLens();
        });
        lensSliders_[axis]->setObjectName(QStringLiteral("lensSlider%1").arg(axis));
        QPushButton* minus = makeButton(QStringLiteral("-"), page);
        QPushButton* plus = makeButton(QStringLiteral("+"), page);
        minus->setObjectName(QStringLiteral("lensMinus%1").arg(axis));
        plus->setObjectName(QStringLiteral("lensPlus%1").arg(axis));
        for (QPushButton* b : {minus, plus}) {
            b->setFixedWidth(scaled(44));
            b->setProperty("axis", axis);
        }
        connect(minus, &QPushButton::clicked, this, &QConfigToolbar::OnLensBtnMi);
        connect(plus, &QPushButton::clicked, this, &QConfigToolbar::OnLensBtnPl);
        grid->addWidget(lensLabels_[axis], axis, 0);
        grid->addWidget(minus, axis, 1);
        grid->addWidget(lensSliders_[axis], axis, 2);
        grid->addWidget(plus, axis, 3);
    }

    // Fine focus: the -/+ buttons and a tap on a slider's groove move a share of the full step.
    lensStepLabel_ = new QLabel(page);
    lensStepChoice_ = new QComboBox(page);
    lensStepChoice_->setObjectName(QStringLiteral("lensStep"));
    lensStepChoice_->setFixedHeight(scaled(34));
    lensStepChoice_->setFocusPolicy(Qt::NoFocus);
    for (int choice = 0; choice < LensSettings::StepChoices; ++choice)
        lensStepChoice_->addItem(QString::number(1.0 / (choice + 1), 'f', 2));
    connect(lensStepChoice_, &QComboBox::activated, this, [this](int choice) {
        lens_.setStepChoice(choice);
        showLens();
    });
    grid->addWidget(lensStepLabel_, LensSettings::AxisCount, 0);
    grid->addWidget(lensStepChoice_, LensSettings::AxisCount, 1, 1, 3);

    auto* alignment = new QGridLayout;
    alignment->setSpacing(scaled(4));
    alignmentLabel_ = new QLabel(page);
    alignment->addWidget(alignmentLabel_, 0, 0, 3, 1);
    const int positions[4][2] = {{0, 2}, {1, 1}, {1, 3}, {2, 2}};
    for (int i = 0; i < 4; ++i) {
        auto* b = new ImageButton(QLatin1String(AlignmentButtons[i]), scaled(32), page);
        connect(b, &QToolButton::clicked, this, &QConfigToolbar::OnSensorAlignment);
        alignment->addWidget(b, positions[i][0], positions[i][1]);
    }
    QPushButton* centre = makeButton(tr("Center"), page);
    centre->setObjectName(QStringLiteral("lens_center"));
    QPushButton* reset = makeButton(tr("Reset"), page);
    reset->setObjectName(QStringLiteral("lens_reset"));
    for (QPushButton* b : {centre, reset})
        connect(b, &QPushButton::clicked, this, &QConfigToolbar::OnSensorAlignment);
    alignment->addWidget(centre, 0, 4);
    alignment->addWidget(reset, 2, 4);
    alignment->setColumnStretch(0, 1);
    grid->addLayout(alignment, LensSettings::AxisCount + 1, 0, 1, 4);
    grid->setRowStretch(LensSettings::AxisCount + 2, 1);
    showLens();
    return page;
}

void QConfigToolbar::showLens()
{
    for (int axis = 0; axis < LensSettings::AxisCount; ++axis) {
        const QSignalBlocker quiet(lensSliders_[axis]);
        lensSliders_[axis]->setRange(lens_.range(axis).minimum, lens_.range(axis).maximum);
        lensSliders_[axis]->setValue(lens_.lens(axis));
        lensSliders_[axis]->setPageStep(lens_.lensStep());
        lensLabels_[axis]->setText(lensCaption(axis, lens_.lens(axis)));
    }
    lensStepChoice_->setCurrentIndex(lens_.stepChoice());
    lensStepLabel_->setText(DisplayTexts::captionOver(tr("Step"), QString::number(lens_.lensStep())));
    alignmentLabel_->setText(QStringLiteral("<p align=center><font color=white><b>%1</b></font><br/>"
                                            "<font color=#4B96C8>%2 / %3</font></p>")
                                 .arg(tr("Alignment"))
                                 .arg(lens_.firstAlignment())
                                 .arg(lens_.secondAlignment()));
}

void QConfigToolbar::OnLensBtnMi()
{
    const int axis = sender() ? sender()->property("axis").toInt() : 0;
    if (filled_)
        emitPaint({lens_.stepLens(axis, -1)});
    showLens();
}

void QConfigToolbar::OnLensBtnPl()
{
    const int axis = sender() ? sender()->property("axis").toInt() : 0;
    if (filled_)
        emitPaint({lens_.stepLens(axis, +1)});
    showLens();
}

void QConfigToolbar::OnSensorAlignment()
{
    if (!filled_ || !sender())
        return;
    const QString name = sender()->objectName();
    std::optional<CameraParameter> step;
    if (name == QLatin1String("lens_up"))
        step = lens_.stepFirst(+1);
    else if (name == QLatin1String("lens_down"))
        step = lens_.stepFirst(-1);
    else if (name == QLatin1String("lens_next"))
        step = lens_.stepSecond(+1);
    else if (name == QLatin1String("lens_prev"))
        step = lens_.stepSecond(-1);
    else
        for (const CameraParameter& p : name == QLatin1String("lens_center") ? lens_.centre() : lens_.reset())
            emitCamera(p);
    if (step)
        emitCamera(*step);
    showLens();
}

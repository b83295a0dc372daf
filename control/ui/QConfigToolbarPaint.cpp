// The configuration toolbar's paint page: five sub-pages of sliders, "Align", "Default" and
// "Activate".
#include "control/app/DisplayTexts.h"
#include "control/ui/QConfigToolbar.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

namespace {

const char* const SubPageNames[PaintSettings::SubPageCount] = {
    QT_TRANSLATE_NOOP("QConfigToolbar", "Gain"), QT_TRANSLATE_NOOP("QConfigToolbar", "Pedestal"),
    QT_TRANSLATE_NOOP("QConfigToolbar", "Flare"), QT_TRANSLATE_NOOP("QConfigToolbar", "Detail"),
    QT_TRANSLATE_NOOP("QConfigToolbar", "Misc")};

const char* const ColourNames[3] = {QT_TRANSLATE_NOOP("QConfigToolbar", "Red"),
                                    QT_TRANSLATE_NOOP("QConfigToolbar", "Green"),
                                    QT_TRANSLATE_NOOP("QConfigToolbar", "Blue")};
const char* const ColourCodes[3] = {"#CC0000", "#00CC00", "#0080CC"};

const char* const DetailNames[3] = {QT_TRANSLATE_NOOP("QConfigToolbar", "Detail"),
                                    QT_TRANSLATE_NOOP("QConfigToolbar", "Balance"),
                                    QT_TRANSLATE_NOOP("QConfigToolbar", "Level")};
const char* const MiscNames[3] = {QT_TRANSLATE_NOOP("QConfigToolbar", "Saturation"),
                                  QT_TRANSLATE_NOOP("QConfigToolbar", "Gamma"),
                                  QT_TRANSLATE_NOOP("QConfigToolbar", "Color Temp")};

QString translated(const char* text)
{
    return QCoreApplication::translate("QConfigToolbar", text);
}

// The caption of slider i of a sub-page over its position.
QString sliderCaption(int subPage, int i, int position)
{
    const QString value = QString::number(position);
    if (subPage <= PaintSettings::Flare)
        return DisplayTexts::captionOver(translated(ColourNames[i]), value, QLatin1String(ColourCodes[i]));
    if (subPage == PaintSettings::Detail)
        return DisplayTexts::captionOver(translated(DetailNames[i]), value);
    const QString name =
        i < 3 ? translated(MiscNames[i]) : translated(QT_TRANSLATE_NOOP("QConfigToolbar", "Misc %1")).arg(i + 1);
    return DisplayTexts::captionOver(name, value);
}

} // namespace

QWidget* QConfigToolbar::buildPaintPage()
{
    auto* page = new QWidget(this);
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(0, scaled(4), 0, 0);
    grid->setVerticalSpacing(scaled(4));
    paintPages_ = new QButtonGroup(page);
    auto* subPages = new QHBoxLayout;
    for (int i = 0; i < PaintSettings::SubPageCount; ++i) {
        QPushButton* b = makeButton(translated(SubPageNames[i]), page, true);
        paintPages_->addButton(b, i);
        subPages->addWidget(b);
    }
    connect(paintPages_, &QButtonGroup::idClicked, this, &QConfigToolbar::OnPaintPageSelected);
    grid->addLayout(subPages, 0, 0, 1, 2);
    for (int i = 0; i < PaintSettings::MaxSliders; ++i) {
        paintCaptions_[i] = new QLabel(page);
        paintCaptions_[i]->setFixedWidth(scaled(130));
        paintSliders_[i] = makeSlider(page, [this, i](int position, SliderChange change) {
            // A slider sent while moving has nothing new to send when let go.
            const bool onRelease = PaintSettings::sliders(paintPage_).value(i).onRelease;
            if (!filled_ || (change == SliderChange::Released && !onRelease))
                return;
            emitPaint(paint_.move(paintPage_, i, position, change != SliderChange::Moved));
            showPaint();
        });
        paintSliders_[i]->setObjectName(QStringLiteral("paintSlider%1").arg(i));
        grid->addWidget(paintCaptions_[i], 1 + i, 0);
        grid->addWidget(paintSliders_[i], 1 + i, 1);
    }
    auto* switches = new QHBoxLayout;
    align_ = makeButton(tr("Align"), page, true);
    connect(align_, &QPushButton::clicked, this, &QConfigToolbar::OnPaintAlign);
    QPushButton* byDefault = makeButton(tr("Default"), page);
    connect(byDefault, &QPushButton::clicked, this, &QConfigToolbar::OnPaintDefault);
    activate_ = makeButton(tr("Activate"), page, true);
    connect(activate_, &QPushButton::clicked, this, &QConfigToolbar::OnPaintActivate);
    for (QPushButton* b : {align_, byDefault, activate_})
        switches->addWidget(b);
    grid->addLayout(switches, 1 + PaintSettings::MaxSliders, 0, 1, 2);
    grid->setRowStretch(2 + PaintSettings::MaxSliders, 1);
    OnPaintPageSelected(PaintSettings::Gain);
    return page;
}

void QConfigToolbar::showPaint()
{
    paintPages_->button(paintPage_)->setChecked(true);
    const QList<PaintSettings::Slider> sliders = PaintSettings::sliders(paintPage_);
    for (int i = 0; i < PaintSettings::MaxSliders; ++i) {
        const bool shown = i < sliders.size();
        paintCaptions_[i]->setVisible(shown);
        paintSliders_[i]->setVisible(shown);
        if (!shown)
            continue;
        const QSignalBlocker quiet(paintSliders_[i]);
        paintSliders_[i]->setRange(sliders[i].minimum, sliders[i].maximum);
        if (!paintSliders_[i]->isSliderDown())
            paintSliders_[i]->setValue(paint_.position(paintPage_, i));
        paintCaptions_[i]->setText(sliderCaption(paintPage_, i, paint_.position(paintPage_, i)));
    }
    align_->setVisible(PaintSettings::hasAlign(paintPage_));
    align_->setChecked(paint_.isAligned(paintPage_));
    activate_->setVisible(paintPage_ == PaintSettings::Flare);
    activate_->setChecked(paint_.flareOn());
}

void QConfigToolbar::OnPaintPageSelected(int subPage)
{
    if (subPage < 0 || subPage >= PaintSettings::SubPageCount)
        return;
    paintPage_ = subPage;
    showPaint();
}

void QConfigToolbar::OnPaintAlign(bool on)
{
    if (filled_)
        emitPaint(paint_.setAligned(paintPage_, on));
    showPaint();
}

void QConfigToolbar::OnPaintDefault()
{
    if (filled_)
        emitPaint(paint_.setDefault(paintPage_));
    showPaint();
}

void QConfigToolbar::OnPaintActivate(bool on)
{
    if (filled_)
        emitPaint({paint_.setFlareOn(on)});
    showPaint();
}

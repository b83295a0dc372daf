#include "playback/ColorControlsForm.h"

#include "playback/SliderMapping.h"

#include <QDialog>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Red, green and blue light enough to read on the dark theme.
constexpr const char* kRed = "#ff4a4a";
constexpr const char* kGreen = "#3ddc5a";
constexpr const char* kBlue = "#5a8cff";

// How a control starts before a clip is attached.
struct ControlSpec {
    const char* property;
    const char* label;
    const char* colour; // a bold label in that colour, or a plain one
    int sliderLast;
    double spinMin;
    double spinMax;
    double step;
    int decimals;
    double value;
};

const ControlSpec kGain[] = {
    {"GainR", "Red", kRed, 300, 0.0, 3.0, 0.01, 2, 1.0},
    {"GainG", "Green", kGreen, 300, 0.0, 3.0, 0.01, 2, 1.0},
    {"GainB", "Blue", kBlue, 300, 0.0, 3.0, 0.01, 2, 1.0},
};
const ControlSpec kPedestal[] = {
    {"PedestalR", "Red", kRed, 400, -200.0, 200.0, 1.0, 0, 0.0},
    {"PedestalG", "Green", kGreen, 400, -200.0, 200.0, 1.0, 0, 0.0},
    {"PedestalB", "Blue", kBlue, 400, -200.0, 200.0, 1.0, 0, 0.0},
};
const ControlSpec kFlare[] = {
    {"FlareR", "Red", kRed, 600, -300.0, 300.0, 1.0, 0, 0.0},
    {"FlareG", "Green", kGreen, 600, -300.0, 300.0, 1.0, 0, 0.0},
    {"FlareB", "Blue", kBlue, 600, -300.0, 300.0, 1.0, 0, 0.0},
};
const ControlSpec kMisc[] = {
    {"TNKThresh", "TNK", nullptr, 50, 0.0, 50.0, 1.0, 0, 9.0},
    {"DNR", "DNR", nullptr, 50, 0.0, 5.0, 0.1, 1, 0.4},
    {"Gamma", "Gamma", nullptr, 100, 0.0, 5.0, 0.05, 2, 2.2},
    {"Saturation", "Saturation", nullptr, 100, 0.0, 5.0, 0.01, 2, 1.2},
    {"Brightness", "Brightness", nullptr, 100, 0.0, 1.0, 0.01, 2, 0.0},
};
const ControlSpec kTemperature = {"ColorTempMatrix", "", nullptr, 100, 0.0, 1.0, 0.01, 2, 0.0};

const char* const kChannels[] = {"Red", "Green", "Blue"};
const char* const kChannelColours[] = {kRed, kGreen, kBlue};

QLabel* rowLabel(const QString& text, const char* colour)
{
    auto* label = new QLabel(text);
    if (colour)
        label->setStyleSheet(QStringLiteral("QLabel { font-weight: bold; color: %1; }").arg(QLatin1String(colour)));
    return label;
}

PaintControl makeControl(const ControlSpec& spec)
{
    PaintControl control;
    control.property = QLatin1String(spec.property);
    control.slider = new QSlider(Qt::Horizontal);
    control.slider->setObjectName(control.property + QStringLiteral("Slider"));
    control.slider->setRange(0, spec.sliderLast);
    control.slider->setValue(
        playback::SliderScale{0, spec.sliderLast, spec.spinMin, spec.spinMax}.position(spec.value));
    control.slider->setMinimumWidth(220);
    control.spin = new QDoubleSpinBox;
    control.spin->setObjectName(control.property + QStringLiteral("Spin"));
    control.spin->setDecimals(spec.decimals);
    control.spin->setRange(spec.spinMin, spec.spinMax);
    control.spin->setSingleStep(spec.step);
    control.spin->setValue(spec.value);
    control.spin->setMinimumWidth(90);
    return control;
}

QPushButton* button(const QString& text, const QString& name)
{
    auto* b = new QPushButton(text);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

// A tab of labelled controls with a "Default" button below them.
template <size_t N>
QWidget* controlTab(const ControlSpec (&specs)[N], QList<PaintControl>& controls, QPushButton** defaultButton,
                    const QString& defaultName)
{
    auto* tab = new QWidget;
    auto* grid = new QGridLayout(tab);
    int row = 0;
    for (const ControlSpec& spec : specs) {
        PaintControl control = makeControl(spec);
        grid->addWidget(rowLabel(QLatin1String(spec.label), spec.colour), row, 0);
        grid->addWidget(control.slider, row, 1);
        grid->addWidget(control.spin, row, 2);
        controls.append(control);
        ++row;
    }
    *defaultButton = button(QObject::tr("Default"), defaultName);
    grid->addWidget(*defaultButton, row, 2);
    grid->setRowStretch(row + 1, 1);
    grid->setColumnStretch(1, 1);
    return tab;
}

QWidget* matrixTab(ColorControlsForm& form)
{
    auto* tab = new QWidget;
    auto* grid = new QGridLayout(tab);
    for (int row = 0; row < 3; ++row) {
        grid->addWidget(rowLabel(QLatin1String(kChannels[row]), kChannelColours[row]), row + 1, 0);
        for (int column = 0; column < 3; ++column) {
            auto* box = new QDoubleSpinBox;
            box->setObjectName(QStringLiteral("matrix%1%2").arg(row).arg(column));
            box->setRange(-10.0, 10.0);
            box->setSingleStep(0.01);
            box->setDecimals(2);
            box->setValue(row == column ? 1.0 : 0.0);
            grid->addWidget(box, row + 1, column + 1);
            form.matrix[size_t(row)][size_t(column)] = box;
        }
    }
    form.matrixReset = button(QObject::tr("Reset"), QStringLiteral("matrixResetButton"));
    grid->addWidget(form.matrixReset, 4, 3);

    auto* heading = new QLabel(QObject::tr("Color Temperature") + QLatin1Char(':'));
    heading->setStyleSheet(QStringLiteral("QLabel { font-weight: bold; }"));
    form.temperature = new QLabel(QStringLiteral("0K"));
    form.temperature->setObjectName(QStringLiteral("temperatureValueLabel"));
    grid->addWidget(heading, 5, 0, 1, 2);
    grid->addWidget(form.temperature, 5, 2, 1, 2);
    PaintControl temperature = makeControl(kTemperature);
    temperature.spin->setButtonSymbols(QAbstractSpinBox::NoButtons);
    grid->addWidget(temperature.slider, 6, 0, 1, 3);
    grid->addWidget(temperature.spin, 6, 3);
    form.controls.append(temperature);

    auto* files = new QHBoxLayout;
    files->addStretch(1);
    files->addWidget(button(QObject::tr("Save to XML..."), QStringLiteral("saveMatXMLButton")));
    files->addWidget(button(QObject::tr("Load from XML..."), QStringLiteral("loadMatXMLButton")));
    grid->addLayout(files, 7, 0, 1, 4);
    grid->setRowStretch(8, 1);
    for (int column = 1; column <= 3; ++column)
        grid->setColumnStretch(column, 1);
    return tab;
}

} // namespace

void ColorControlsForm::setupUi(QDialog* dialog)
{
    dialog->setWindowTitle(QObject::tr("Color Controls"));
    auto* layout = new QVBoxLayout(dialog);
    tabs = new QTabWidget;
    tabs->setObjectName(QStringLiteral("tabWidget"));
    tabs->addTab(controlTab(kGain, controls, &gainDefault, QStringLiteral("gainDefaultButton")), QObject::tr(" Gain "));
    tabs->addTab(controlTab(kPedestal, controls, &pedestalDefault, QStringLiteral("pedestalDefaultButton")),
                 QObject::tr(" Pedestal "));
    tabs->addTab(controlTab(kFlare, controls, &flareDefault, QStringLiteral("flareDefaultButton")),
                 QObject::tr(" Flare "));
    tabs->addTab(controlTab(kMisc, controls, &miscDefault, QStringLiteral("miscDefaultButton")), QObject::tr(" Misc "));
    tabs->addTab(matrixTab(*this), QObject::tr(" Color Matrix "));
    layout->addWidget(tabs);

    auto* files = new QHBoxLayout;
    files->addStretch(1);
    files->addWidget(button(QObject::tr("Save to XML..."), QStringLiteral("savePaintXMLButton")));
    files->addWidget(button(QObject::tr("Load from XML..."), QStringLiteral("loadPaintXMLButton")));
    layout->addLayout(files);
}

const PaintControl& ColorControlsForm::control(const QString& property) const
{
    return *std::find_if(controls.cbegin(), controls.cend(),
                         [&](const PaintControl& c) { return c.property == property; });
}

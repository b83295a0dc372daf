#include "playback/ColorControls.h"

#include "playback/PlaybackHost.h"
#include "playback/ScaledSliderBinding.h"
#include "playback/SliderMapping.h"
#include "storage/SavedClip.h"

#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTabWidget>

#include <cmath>

namespace {

int rememberedTabIndex = 0;

// The lowest gamma the dialog writes (one step of its spin box): the pipeline divides by it.
constexpr double kLowestGamma = 0.05;
// The DNR slider shows tenths of the spin box value.
constexpr double kDnrSliderScale = 10.0;

const QStringList kColourProperties = {
    QStringLiteral("GainR"),     QStringLiteral("GainG"),     QStringLiteral("GainB"),
    QStringLiteral("PedestalR"), QStringLiteral("PedestalG"), QStringLiteral("PedestalB"),
    QStringLiteral("FlareR"),    QStringLiteral("FlareG"),    QStringLiteral("FlareB"),
};

// Whether the file is a paint document whose settings can be read, tried on a scratch state so
// that a damaged file leaves the clip's state as it was.
bool readablePaintFile(const QString& path)
{
    RenderState probe;
    probe.setChanged(false);
    QFile file(path);
    return probe.loadStateXml(&file) && probe.isChanged();
}

} // namespace

ColorControls::ColorControls(PlaybackHost* host, QWidget* parent)
    : QDialog(parent), ownHost_(host ? nullptr : std::make_unique<PlaybackHost>()), host_(host ? host : ownHost_.get())
{
    form_.setupUi(this);
    form_.control(QStringLiteral("DNR")).slider->setPageStep(5);
    const std::array<int, 4> m = host_->scaledMetrics();
    setStyleSheet(QStringLiteral("QSlider::handle:horizontal { width: %1px; height: %2px; margin: -%3px 0px; }"
                                 "QSlider::groove:horizontal { height: %4px; }")
                      .arg(m[0])
                      .arg(m[1])
                      .arg(m[2])
                      .arg(m[3]));
    form_.tabs->setCurrentIndex(rememberedTabIndex);
    connect(form_.tabs, &QTabWidget::currentChanged, this, [](int index) { rememberedTabIndex = index; });
    connectControls();
    QMetaObject::connectSlotsByName(this);
    adjustSize();
    host_->scaleWidget(this, false);
}

ColorControls::~ColorControls()
{
    unbindControls();
}

int ColorControls::rememberedTab()
{
    return rememberedTabIndex;
}

void ColorControls::connectControls()
{
    const auto spin = [this](const char* property) { return form_.control(QLatin1String(property)).spin; };
    connect(form_.gainDefault, &QPushButton::clicked, this, [this] {
        setSpins({{"GainR", 1.0}, {"GainG", 1.0}, {"GainB", 1.0}});
    });
    connect(form_.pedestalDefault, &QPushButton::clicked, this, [this] {
        setSpins({{"PedestalR", 0.0}, {"PedestalG", 0.0}, {"PedestalB", 0.0}});
    });
    connect(form_.flareDefault, &QPushButton::clicked, this, [this] {
        setSpins({{"FlareR", 0.0}, {"FlareG", 0.0}, {"FlareB", 0.0}});
    });
    connect(form_.miscDefault, &QPushButton::clicked, this, [this] {
        setSpins({{"Gamma", 2.2}, {"Saturation", 1.2}, {"TNKThresh", 8.0}, {"DNR", 3.0}, {"Brightness", 0.0}});
    });

    connect(spin("DNR"), &QDoubleSpinBox::valueChanged, this, &ColorControls::OnDNRChanged);
    connect(form_.control(QStringLiteral("DNR")).slider, &QSlider::valueChanged, this,
            [spin](int position) { spin("DNR")->setValue(position / kDnrSliderScale); });

    for (const auto& row : form_.matrix)
        for (QDoubleSpinBox* box : row)
            connect(box, &QDoubleSpinBox::valueChanged, this, &ColorControls::OnChangeColorMatrix);
    connect(form_.matrixReset, &QPushButton::clicked, this, &ColorControls::resetMatrix);
}

void ColorControls::setSpins(const QList<std::pair<QString, double>>& values)
{
    for (const auto& [property, value] : values)
        form_.control(property).spin->setValue(value);
}

void ColorControls::setClip(QSharedPointer<SavedClip> clip)
{
    unbindControls();
    clip_ = std::move(clip);
    if (clip_)
        bindControls();
}

void ColorControls::bindControls()
{
    RenderState& state = clip_->renderState();
    for (const PaintControl& control : std::as_const(form_.controls)) {
        kvx::ModelDelegate* property = state.delegate(control.property);
        if (!property)
            continue; // DNR: two properties, kept by OnDNRChanged
        property->bindDoubleSpinBox(control.spin);
        boundSpins_.append({property, control.spin});
        const bool gamma = control.property == QLatin1String("Gamma");
        boundSliders_.push_back(std::make_unique<playback::ScaledSliderBinding>(
            control.slider, property, gamma ? kLowestGamma : -std::numeric_limits<double>::infinity()));
        if (gamma)
            control.spin->setMinimum(kLowestGamma);
    }
    for (const QString& name : kColourProperties)
        stateConnections_ << connect(state.delegate(name), &kvx::ModelDelegate::editData, this,
                                     [this] { clip_->applyColorUpdate(); });
    stateConnections_ << connect(state.delegate(QStringLiteral("ColorTempMatrix")), &kvx::ModelDelegate::editData, this,
                                 &ColorControls::refreshTemperature);
    stateConnections_ << connect(state.delegate(QStringLiteral("DNRUVThresh")), &kvx::ModelDelegate::editData, this,
                                 [this](const QVariant& value) { showDnr(value.toDouble()); });

    showDnr(state.doubleValue(QStringLiteral("DNRUVThresh")));
    showMatrix(clip_->baseColorMatrix());
    showTemperature(
        clip_->colorMatrices().interpolate(state.doubleValue(QStringLiteral("ColorTempMatrix"))).temperature);
}

void ColorControls::unbindControls()
{
    for (const auto& [property, widget] : std::as_const(boundSpins_))
        if (property)
            property->unbind(widget);
    boundSpins_.clear();
    boundSliders_.clear();
    for (const QMetaObject::Connection& c : std::as_const(stateConnections_))
        disconnect(c);
    stateConnections_.clear();
}

void ColorControls::OnDNRChanged(double value)
{
    showDnr(value);
    if (!clip_)
        return;
    clip_->renderState().setValue(QStringLiteral("DNRUVThresh"), value);
    clip_->renderState().setValue(QStringLiteral("DNRYThresh"), value * 0.5);
}

void ColorControls::showDnr(double value)
{
    const PaintControl& dnr = form_.control(QStringLiteral("DNR"));
    const QSignalBlocker blockSpin(dnr.spin);
    const QSignalBlocker blockSlider(dnr.slider);
    dnr.spin->setValue(value);
    dnr.slider->setValue(int(std::lround(value * kDnrSliderScale)));
}

void ColorControls::OnChangeColorMatrix(double)
{
    if (!clip_)
        return;
    render::Matrix3x3Double base;
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            base(row, column) = form_.matrix[size_t(row)][size_t(column)]->value();
    clip_->setBaseColorMatrix(base);
    clip_->applyColorUpdate();
}

void ColorControls::resetMatrix()
{
    render::Matrix3x3Double identity; // a new matrix is the identity
    showMatrix(identity);
    if (!clip_)
        return;
    clip_->setBaseColorMatrix(identity);
    clip_->applyColorUpdate();
}

void ColorControls::showMatrix(const render::Matrix3x3Double& matrix)
{
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            QDoubleSpinBox* box = form_.matrix[size_t(row)][size_t(column)];
            const QSignalBlocker block(box);
            box->setValue(matrix(row, column));
        }
    }
}

void ColorControls::showTemperature(double kelvin)
{
    form_.temperature->setText(QStringLiteral("%1 K").arg(kelvin, 0, 'f', 1));
}

void ColorControls::refreshTemperature()
{
    if (!clip_)
        return;
    const double kelvin = clip_->interpolateMatrix();
    showMatrix(clip_->baseColorMatrix());
    showTemperature(kelvin);
    clip_->applyColorUpdate();
}

QString ColorControls::chooseXmlFile(const QString& caption, bool saving)
{
    QFileDialog dialog(this, caption, host_->paintFolder(), tr("XML (*.xml)"));
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setDefaultSuffix(QStringLiteral("xml"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString path = dialog.selectedFiles().constFirst();
    host_->setPaintFolder(QFileInfo(path).absolutePath());
    return path;
}

void ColorControls::on_savePaintXMLButton_clicked()
{
    const QString path = chooseXmlFile(tr("Save Paint Settings"), true);
    if (!path.isEmpty() && clip_ && !clip_->saveRenderState(path))
        host_->tellUser(tr("Unable to save the paint settings to %1.").arg(path));
}

void ColorControls::on_loadPaintXMLButton_clicked()
{
    const QString path = chooseXmlFile(tr("Load Paint Settings"), false);
    if (path.isEmpty() || !clip_)
        return;
    if (!readablePaintFile(path) || !clip_->loadRenderState(path))
        host_->tellUser(tr("%1 holds no readable paint settings. The settings stay as they were.").arg(path));
}

void ColorControls::on_saveMatXMLButton_clicked()
{
    const QString path = chooseXmlFile(tr("Save Color Matrices"), true);
    if (!path.isEmpty() && clip_ && !clip_->saveColorMatrices(path))
        host_->tellUser(tr("Unable to save the color matrices to %1.").arg(path));
}

void ColorControls::on_loadMatXMLButton_clicked()
{
    const QString path = chooseXmlFile(tr("Load Color Matrices"), false);
    if (path.isEmpty() || !clip_)
        return;
    if (!clip_->loadMatrixSet(path)) {
        host_->tellUser(tr("%1 holds no readable color matrices. The matrices stay as they were.").arg(path));
        return;
    }
    refreshTemperature();
}

#include "render/state/RenderState.h"

#include "render/state/ParameterTable.h"

#include <array>

namespace {

const QString CalibrationModeName = QStringLiteral("CalibrationMode");
const QString DarkSubName = QStringLiteral("DarkSubState");
const QString PscName = QStringLiteral("PSCScaleState");
const QString MatrixName = QStringLiteral("ColorCorrectionMatrix");
const QString OffsetsName = QStringLiteral("ColorOffsets");
const QString FullPolynomialView = QStringLiteral("Using Full Polynomial");
const QString PscView = QStringLiteral("Using PSC");
const QString BackgroundView = QStringLiteral("Using Background");

const std::array<QString, 3> Channels = {QStringLiteral("red"), QStringLiteral("green"), QStringLiteral("blue")};

// Entries that are reached only by typed access or through their element views.
bool hasOwnDelegate(const QString& name)
{
    return name != MatrixName && name != OffsetsName && name != QLatin1String("LinearizationCoefficients");
}

QString matrixElementView(int row, int column)
{
    return QStringLiteral("colorCorrectionMatrix_%1_%2").arg(Channels[size_t(row)]).arg(column);
}

QString offsetView(int row)
{
    return QStringLiteral("colorOffsets_") + Channels[size_t(row)];
}

double asDouble(const QVariant& v)
{
    return kvx::ModelViewClass::convertedLike(QVariant(0.0), v).toDouble();
}

} // namespace

RenderState::RenderState(QObject* parent) : kvx::ModelViewClass(parent)
{
    QMap<QString, QVariant> defaults;
    for (const render::ParameterDefault& p : render::parameterTable())
        defaults.insert(p.name, p.value);
    insertInitialValues(defaults);

    registerTableDelegates();
    registerCalibrationViews();
    registerMatrixViews();
    setChanged(true); // a new state has never been saved
}

RenderState::~RenderState() = default;

void RenderState::registerTableDelegates()
{
    // Both enumerations are written and read as plain decimal integers.
    const auto intText = [](const QVariant& v) { return QString::number(v.toInt()); };
    const auto intFromText = [](const QString& text) {
        bool ok = false;
        const int n = text.trimmed().toInt(&ok, 10);
        return QVariant(ok ? n : 0);
    };

    for (const render::ParameterDefault& p : render::parameterTable()) {
        if (!hasOwnDelegate(p.name))
            continue;
        const QString name = p.name;
        kvx::QVarDelegate* d = registerDelegate(
            name, [this, name] { return value(name); }, [this, name](const QVariant& v) { setValue(name, v); });
        if (name == CalibrationModeName || name == QLatin1String("DemoState"))
            d->setTextFunctions(intText, intFromText);
        if (p.range)
            d->setRange(p.range->first, p.range->second);
        d->setPersistent(true);
    }
}

void RenderState::registerCalibrationViews()
{
    using kvx::CalibrationMode;
    registerDelegate(
        FullPolynomialView, [this] { return QVariant(calibrationMode() == CalibrationMode::FullPolynomial); },
        [this](const QVariant& v) {
            const bool on = v.toBool();
            if (!on && boolValue(PscName) && boolValue(DarkSubName))
                setCalibrationMode(CalibrationMode::BackgroundAndSensitivity);
            else
                setCalibrationMode(on ? CalibrationMode::FullPolynomial : CalibrationMode::None);
        });

    // Turning one of the two switches on or off decides between the combined mode and none.
    const auto switchView = [this](const QString& own, const QString& other) {
        return [this, own, other](const QVariant& v) {
            const bool on = v.toBool();
            setValue(own, on ? 1 : 0);
            setCalibrationMode(on && boolValue(other) ? CalibrationMode::BackgroundAndSensitivity
                                                      : CalibrationMode::None);
        };
    };
    registerDelegate(
        PscView, [this] { return QVariant(boolValue(PscName)); }, switchView(PscName, DarkSubName));
    registerDelegate(
        BackgroundView, [this] { return QVariant(boolValue(DarkSubName)); }, switchView(DarkSubName, PscName));
}

void RenderState::registerMatrixViews()
{
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            kvx::QVarDelegate* d = registerDelegate(
                matrixElementView(row, column),
                [this, row, column] { return QVariant(matrix3x3Value(MatrixName)(row, column)); },
                [this, row, column](const QVariant& v) {
                    Matrix3x3Double m = matrix3x3Value(MatrixName);
                    m(row, column) = asDouble(v);
                    setValue(MatrixName, QVariant::fromValue(m));
                });
            d->setPersistent(true);
        }
        kvx::QVarDelegate* d = registerDelegate(
            offsetView(row), [this, row] { return QVariant(matrix3x1Value(OffsetsName)(row, 0)); },
            [this, row](const QVariant& v) {
                Matrix3x1Double o = matrix3x1Value(OffsetsName);
                o(row, 0) = asDouble(v);
                setValue(OffsetsName, QVariant::fromValue(o));
            });
        d->setPersistent(true);
    }
}

bool RenderState::setValue(const QString& name, const QVariant& value)
{
    if (!storeValue(name, value))
        return false;
    emit dirty_signal();
    refreshViewsOf(name);
    return true;
}

void RenderState::refreshViewsOf(const QString& name)
{
    if (kvx::QVarDelegate* d = delegate(name))
        d->refresh();
    QList<QString> views;
    if (name == CalibrationModeName || name == DarkSubName || name == PscName) {
        views = {FullPolynomialView, PscView, BackgroundView};
    } else if (name == MatrixName) {
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 3; ++column)
                views.append(matrixElementView(row, column));
    } else if (name == OffsetsName) {
        for (int row = 0; row < 3; ++row)
            views.append(offsetView(row));
    }
    for (const QString& view : std::as_const(views))
        if (kvx::QVarDelegate* d = delegate(view))
            d->refresh();
}

void RenderState::setCalibrationMode(kvx::CalibrationMode mode)
{
    setValue(CalibrationModeName, QVariant::fromValue(mode));
    if (mode == kvx::CalibrationMode::BackgroundAndSensitivity) {
        setValue(DarkSubName, 1);
        setValue(PscName, 1);
    } else if (mode == kvx::CalibrationMode::FullPolynomial) {
        setValue(DarkSubName, 0);
        setValue(PscName, 0);
    }
}

kvx::CalibrationMode RenderState::calibrationMode() const
{
    return value(CalibrationModeName).value<kvx::CalibrationMode>();
}

RenderState::Demosaicing RenderState::demosaicing() const
{
    return value(QStringLiteral("DemoState")).value<Demosaicing>();
}

RenderState::Matrix3x3Double RenderState::matrix3x3Value(const QString& name) const
{
    return value(name).value<Matrix3x3Double>();
}

RenderState::Matrix3x1Double RenderState::matrix3x1Value(const QString& name) const
{
    return value(name).value<Matrix3x1Double>();
}

kvx::MMPixelLinearizationCoeff RenderState::linearizationValue(const QString& name) const
{
    return value(name).value<kvx::MMPixelLinearizationCoeff>();
}

QString RenderState::elementName(const QString& propertyName)
{
    QString element = propertyName;
    // XML reserves names that start with "xml" in any case.
    if (element.size() >= 3 && element.left(3).toUpper() == QLatin1String("XML"))
        element[0] = QLatin1Char('_');
    element.replace(QLatin1Char(' '), QLatin1Char('_'));
    element.replace(QLatin1Char(':'), QLatin1Char('-'));
    return element;
}

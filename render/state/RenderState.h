#pragma once

#include "render/state/ModelViewClass.h"
#include "render/state/RenderStateTypes.h"

class QFile;
class QIODevice;

// The processing ("paint") parameters of one clip and its trim points, addressed by property
// name. Besides one delegate per stored value it offers views: "Using Full Polynomial",
// "Using PSC" and "Using Background" over the calibration switches, and one double per element
// of "ColorCorrectionMatrix" ("colorCorrectionMatrix_<channel>_<column>") and of
// "ColorOffsets" ("colorOffsets_<channel>").
class RenderState : public kvx::ModelViewClass {
    Q_OBJECT
public:
    using Matrix3x3Double = render::Matrix3x3Double;
    using Matrix3x1Double = render::Matrix3x1Double;
    using Demosaicing = render::Demosaicing;

    explicit RenderState(QObject* parent = nullptr);
    ~RenderState() override;

    // Stores the value under an existing name (converted to the type held there), marks the
    // state changed, emits dirty_signal and refreshes every delegate that shows it. Unknown
    // names store nothing and signal nothing.
    bool setValue(const QString& name, const QVariant& value);

    // Sets the mode and the switches that go with it: mode 1 turns dark subtraction and
    // pixel-sensitivity scaling on, mode 2 turns both off, any other mode leaves them.
    void setCalibrationMode(kvx::CalibrationMode mode);

    kvx::CalibrationMode calibrationMode() const;
    Demosaicing demosaicing() const;
    Matrix3x3Double matrix3x3Value(const QString& name) const;
    Matrix3x1Double matrix3x1Value(const QString& name) const;
    kvx::MMPixelLinearizationCoeff linearizationValue(const QString& name) const;

    // The XML element a property is saved as.
    static QString elementName(const QString& propertyName);

public slots:
    // Writes every persistent property, sorted by element name, to the open device (a file, or
    // a QSaveFile so that a failed write never replaces a good document).
    bool saveStateXml(QIODevice* file);
    // Reopens the file read-only and applies every persistent property it names. Values read
    // before a syntax error stay applied. False when the file cannot be read or is malformed.
    bool loadStateXml(QFile* file);

signals:
    void dirty_signal();

private:
    void registerTableDelegates();
    void registerCalibrationViews();
    void registerMatrixViews();
    void refreshViewsOf(const QString& name);
};

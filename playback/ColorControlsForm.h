#pragma once

#include <QList>
#include <QString>

#include <array>

class QDialog;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSlider;
class QTabWidget;

// One control of the paint dialog: a slider beside a spin box. Both are named after the
// property they stand for ("GainRSlider", "GainRSpin"); "DNR" is not a property of its own.
struct PaintControl {
    QString property;
    QSlider* slider = nullptr;
    QDoubleSpinBox* spin = nullptr;
};

// The widgets of the paint dialog, laid out in it: five tabs (" Gain ", " Pedestal ",
// " Flare ", " Misc ", " Color Matrix ") over the paint file buttons.
struct ColorControlsForm {
    QTabWidget* tabs = nullptr;
    QList<PaintControl> controls; // every slider and spin box pair, DNR and the temperature too
    QPushButton* gainDefault = nullptr;
    QPushButton* pedestalDefault = nullptr;
    QPushButton* flareDefault = nullptr;
    QPushButton* miscDefault = nullptr;
    std::array<std::array<QDoubleSpinBox*, 3>, 3> matrix{}; // [output channel][input channel]
    QPushButton* matrixReset = nullptr;
    QLabel* temperature = nullptr;

    // Builds the widgets into dialog; buttons whose slots connect by name are named after them.
    void setupUi(QDialog* dialog);
    const PaintControl& control(const QString& property) const;
};

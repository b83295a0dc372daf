#pragma once

#include "control/config/CameraSettings.h"
#include "control/config/LensSettings.h"
#include "control/config/PaintSettings.h"
#include "control/link/RecorderRecords.h"

#include <QWidget>

#include <array>
#include <functional>

class FormatSelector;
class QButtonGroup;
class QComboBox;
class QGridLayout;
class QLabel;
class QPushButton;
class QSlider;
class QStackedWidget;
class TapLabel;

// The record view's configuration panel: camera and output, paint, genlock and lens pages.
// It keeps its own copy of the values (filled once from the recorder's records after each
// reset) and reports every change the user makes through its signals; the main window turns
// them into commands.
class QConfigToolbar : public QWidget {
    Q_OBJECT
public:
    enum Page { CameraPage = 0, PaintPage = 1, GenlockPage = 2, LensPage = 3 };
    // How a slider changed: dragged, let go, or stepped by a tap on its groove or a key.
    enum class SliderChange { Moved, Released, Stepped };

    explicit QConfigToolbar(double scale, QWidget* parent = nullptr);

    // Forgets the recorder: the next complete status fills the toolbar again.
    void reset();
    bool isFilled() const { return filled_; }
    void fill(const RecorderRecords& records);
    // A status after the fill: the values the recorder reports replace the shown ones when
    // they differ from what the user set (see CameraSettings::takeStatus).
    void takeStatus(const StatusPacket& status);
    void setGenlockConfiguration(quint64 word);
    void refreshGenlockStatus(const StatusPacket& status);
    // After a frame-rate change that leaves no room for the shutter time.
    void lowerShutter(int microseconds);
    void showPage(int page);
    int page() const { return page_; }

    const CameraSettings& camera() const { return camera_; }
    QString noticeText() const;

signals:
    void camrecParameter(int kind, double value);
    void sdiSwap();
    void paintParameter(int group, int channel, int value);
    void cameraRoi(int x, int y);
    void sensorShift();

public slots:
    void OnPaintPageSelected(int subPage);
    void OnPaintAlign(bool on);
    void OnPaintDefault();
    void OnPaintActivate(bool on);
    void OnSdiSwapSelected();
    void OnSdiOutputSelected(int button);
    void OnLensBtnMi();
    void OnLensBtnPl();
    void OnSensorAlignment();

private:
    int scaled(int size) const;
    QPushButton* makeButton(const QString& text, QWidget* parent, bool checkable = false);
    QSlider* makeSlider(QWidget* parent, std::function<void(int, SliderChange)> changed);

    QWidget* buildCameraPage();
    QWidget* buildGenlockPage();
    QWidget* buildPaintPage();
    QWidget* buildLensPage();
    void showCamera();
    void showSwap();
    void showPaint();
    void showLens();
    void emitCamera(const CameraParameter& parameter);
    void emitPaint(const QList<PaintParameter>& parameters);
    void typeFps();
    void typeShutter();
    // Says so when a typed value had to be brought into range; clears the notice otherwise.
    void showLimitNotice(const QString& caption, int typed, int sent);

    double scale_;
    CameraSettings camera_;
    PaintSettings paint_;
    LensSettings lens_;
    bool filled_ = false;
    int page_ = CameraPage;
    int paintPage_ = PaintSettings::Gain;

    QStackedWidget* pages_;
    // Camera page.
    TapLabel* fpsLabel_ = nullptr;
    QSlider* fpsSlider_ = nullptr;
    TapLabel* shutterLabel_ = nullptr;
    QSlider* shutterSlider_ = nullptr;
    FormatSelector* sdiFormat_ = nullptr;
    QPushButton* live_ = nullptr;
    std::array<QPushButton*, 2> swapButtons_{};
    std::array<QLabel*, 2> outputLabels_{};
    QButtonGroup* outputSelection_ = nullptr;
    QLabel* notice_ = nullptr;
    // Genlock page.
    FormatSelector* genlockFormat_ = nullptr;
    QPushButton* genlockOption_ = nullptr;
    QLabel* genlockStatus_ = nullptr;
    // Paint page.
    QButtonGroup* paintPages_ = nullptr;
    std::array<QLabel*, PaintSettings::MaxSliders> paintCaptions_{};
    std::array<QSlider*, PaintSettings::MaxSliders> paintSliders_{};
    QPushButton* align_ = nullptr;
    QPushButton* activate_ = nullptr;
    // Lens page.
    std::array<QLabel*, LensSettings::AxisCount> lensLabels_{};
    std::array<QSlider*, LensSettings::AxisCount> lensSliders_{};
    QLabel* lensStepLabel_ = nullptr;
    QComboBox* lensStepChoice_ = nullptr;
    QLabel* alignmentLabel_ = nullptr;
};

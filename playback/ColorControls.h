#pragma once

#include "playback/ColorControlsForm.h"
#include "render/state/RenderStateTypes.h"

#include <QDialog>
#include <QPointer>
#include <QSharedPointer>

#include <memory>
#include <vector>

class PlaybackHost;
class SavedClip;
namespace kvx {
class ModelDelegate;
}
namespace playback {
class ScaledSliderBinding;
}

// The "Color Controls" dialog of the playback window: gains, pedestals, flare, noise
// reduction, gamma, saturation, brightness, the base colour matrix and the colour temperature
// of the attached clip, bound both ways to its render state, and the paint and matrix files.
// Without a clip the controls change nothing.
class ColorControls : public QDialog {
    Q_OBJECT
public:
    // The host gives the scaling, the file dialogs' folder and the messages; null: none.
    explicit ColorControls(PlaybackHost* host, QWidget* parent = nullptr);
    ~ColorControls() override;

    // Unbinds every control from the clip attached so far and binds them to this clip's state.
    void setClip(QSharedPointer<SavedClip> clip);
    QSharedPointer<SavedClip> clip() const { return clip_; }

    // The tab the next dialog opens on: the one looked at last in any dialog.
    static int rememberedTab();

public slots:
    void on_savePaintXMLButton_clicked();
    void on_loadPaintXMLButton_clicked();
    void on_saveMatXMLButton_clicked();
    void on_loadMatXMLButton_clicked();
    void OnChangeColorMatrix(double);
    void OnDNRChanged(double value);

private:
    void connectControls();
    void bindControls();
    void unbindControls();
    void resetMatrix();
    void showMatrix(const render::Matrix3x3Double& matrix);
    void showTemperature(double kelvin);
    void showDnr(double value);
    // Blends the base matrix from the colour-matrix set at the clip's position and shows it.
    void refreshTemperature();
    void setSpins(const QList<std::pair<QString, double>>& values);
    // The file the user picks for saving or loading; empty when cancelled.
    QString chooseXmlFile(const QString& caption, bool saving);

    std::unique_ptr<PlaybackHost> ownHost_;
    PlaybackHost* host_;
    ColorControlsForm form_;
    QSharedPointer<SavedClip> clip_;
    QList<std::pair<QPointer<kvx::ModelDelegate>, QWidget*>> boundSpins_;
    std::vector<std::unique_ptr<playback::ScaledSliderBinding>> boundSliders_;
    QList<QMetaObject::Connection> stateConnections_;
};

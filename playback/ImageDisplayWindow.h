#pragma once

#include <QSharedPointer>
#include <QWidget>

#include <functional>
#include <memory>

namespace Ui {
class ImageDisplayWindow;
}
namespace kvx {
class LoadFrameSlider;
}
class ColorControls;
class ImageDisplayWidget;
class PlaybackHost;
class SavedClip;

// The "Clip Playback" window of a downloaded clip: the processed frames fitted into the window
// with the clip's proportions, the frame slider with the frame label, and buttons to play both
// ways, step, jump to the trim points, trim, open the paint controls and export.
class ImageDisplayWindow : public QWidget {
    Q_OBJECT
public:
    // Exports a clip, its render state already saved; the window is the parent for dialogs.
    using Exporter = std::function<void(const QSharedPointer<SavedClip>& clip, QWidget* parent)>;

    // The host gives the scaling, the paint files' folder and the messages; null: none.
    explicit ImageDisplayWindow(PlaybackHost* host = nullptr, QWidget* parent = nullptr);
    // The clip shown keeps its render state (paint values and trims) in its folder.
    ~ImageDisplayWindow() override;

    // Shows this clip. A null clip, or one without a picture size, leaves the window without
    // a clip: the test picture, and controls that need a clip do nothing.
    void setClip(QSharedPointer<SavedClip> clip);
    QSharedPointer<SavedClip> clip() const { return clip_; }
    // Enables the export button; without an exporter it stays disabled.
    void setExporter(Exporter exporter);

    ImageDisplayWidget* display() const;
    kvx::LoadFrameSlider* slider() const;
    ColorControls* colorControls() const { return colorControls_; }

public slots:
    void on_fwdPlayButton_clicked();
    void on_revPlayButton_clicked();
    void on_pauseButton_clicked();
    void on_stepLeftButton_clicked();
    void on_stepRightButton_clicked();
    void on_gotoFirstButton_clicked();
    void on_gotoLastButton_clicked();
    void on_lowerTrimButton_clicked();
    void on_upperTrimButton_clicked();
    void on_resetTrimButton_clicked();
    void on_colorButton_clicked();
    void on_exportButton_clicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showPlayDirection();
    void showFrame(int frame);
    // Fits the picture into the view area with the clip's proportions.
    void layOutView();

    std::unique_ptr<Ui::ImageDisplayWindow> ui;
    ColorControls* colorControls_;
    QSharedPointer<SavedClip> clip_;
    Exporter exporter_;
};

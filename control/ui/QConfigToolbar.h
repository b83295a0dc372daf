#pragma once

#include "control/link/RecorderRecords.h"

#include <QWidget>

class QLabel;

// The record view's configuration panel. Holds the signals the main window turns into
// commands and the operations it calls; until the configuration pages are built it shows the
// recorder's frame rate, shutter and formats as it was filled with them.
class QConfigToolbar : public QWidget {
    Q_OBJECT
public:
    enum Page { CameraPage = 0, PaintPage = 1, GenlockPage = 2, LensPage = 3 };

    explicit QConfigToolbar(QWidget* parent = nullptr);

    // Forgets the recorder: the next complete status fills the toolbar again.
    void reset();
    bool isFilled() const { return filled_; }
    void fill(const RecorderRecords& records);
    void setGenlockConfiguration(quint64 word);
    void refreshGenlockStatus(const StatusPacket& status);
    // After a frame-rate change that leaves no room for the shutter time.
    void lowerShutter(int microseconds);
    void showPage(int page);
    int page() const { return page_; }

signals:
    void camrecParameter(int kind, double value);
    void sdiSwap();
    void paintParameter(int group, int channel, int value);
    void cameraRoi(int x, int y);
    void sensorShift();

private:
    void showValues();

    QLabel* values_;
    bool filled_ = false;
    int page_ = CameraPage;
    double frameRate_ = 0;
    int shutter_ = 0;
    quint8 sdiFormat_ = 0;
    quint64 genlockWord_ = 0;
};

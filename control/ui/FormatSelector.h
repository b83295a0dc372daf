#pragma once

#include "control/config/VideoFormat.h"

#include <QWidget>

class QButtonGroup;
class QPushButton;

// Buttons choosing a video format: the five resolutions, the five frequencies and
// "Fractional". Used for the SDI output and for the genlock configuration.
class FormatSelector : public QWidget {
    Q_OBJECT
public:
    FormatSelector(int buttonHeight, QWidget* parent = nullptr);

    // Shows the format without signalling it.
    void setFormat(const VideoFormat& format);
    VideoFormat format() const { return format_; }

signals:
    // The user pressed one of the buttons: the whole format now chosen.
    void formatSelected(const VideoFormat& format);

private:
    QButtonGroup* resolutions_;
    QButtonGroup* frequencies_;
    QPushButton* fractional_;
    VideoFormat format_;
};

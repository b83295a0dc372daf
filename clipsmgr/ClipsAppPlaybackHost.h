#pragma once

#include "playback/PlaybackHost.h"

// The playback window's host in the clips manager: the application's screen scaling, its
// "PaintOptionsPath" setting and its message boxes.
class ClipsAppPlaybackHost : public PlaybackHost {
public:
    void scaleWidget(QWidget* widget, bool fixedSize) override;
    std::array<int, 4> scaledMetrics() const override;
    QString paintFolder() const override;
    void setPaintFolder(const QString& folder) override;
    void tellUser(const QString& text) override;
};

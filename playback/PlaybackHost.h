#pragma once

#include <QString>

#include <array>

class QWidget;

// What the playback window and its paint dialog ask of the program around them: screen
// scaling, the folder the paint and matrix file dialogs start in, and telling the user about
// a failure. The base class stands for no program: nothing is scaled, the dialogs start in the
// home folder and messages only go to the log.
class PlaybackHost {
public:
    virtual ~PlaybackHost() = default;

    // Grows a widget laid out for 96 dpi to the screen.
    virtual void scaleWidget(QWidget* widget, bool fixedSize);
    // The paint dialog's slider sizes: 20, 32, 12 and 16 pixels at 96 dpi.
    virtual std::array<int, 4> scaledMetrics() const;
    virtual QString paintFolder() const;
    virtual void setPaintFolder(const QString& folder);
    virtual void tellUser(const QString& text);

private:
    QString paintFolder_;
};

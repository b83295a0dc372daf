#pragma once

#include <QWidget>

class ImageButton;

// The two tabs of the recorder view: recording (its configuration) and playback on the
// recorder.
class QSelToolbar : public QWidget {
    Q_OBJECT
public:
    enum Tab { RecordTab = 0, PlaybackTab = 1 };

    QSelToolbar(int buttonSize, QWidget* parent = nullptr);

    // Which tabs the operator mode allows: recording in full control and filming only,
    // playback in full control and playback only.
    void enableForMode(int operatorMode);
    void checkTab(int tab);

signals:
    void tabSelect(int tab);

private:
    void select(int tab);

    ImageButton* record_;
    ImageButton* playback_;
};

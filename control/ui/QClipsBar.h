#pragma once

#include <QWidget>

class QLabel;

// The playback view's clips of the current recorder and its free disk. Holds the signals the
// main window turns into commands and the operations it calls; the clip pages come with the
// playback bars.
class QClipsBar : public QWidget {
    Q_OBJECT
public:
    explicit QClipsBar(QWidget* parent = nullptr);

    void setClips(int count, int selected);
    int clipCount() const { return count_; }
    int selectedClip() const { return selected_; }
    // "VLM Velmor Free Disk" over the share in text.
    void showFreeDisk(const QString& share);

signals:
    void selectClip(int index);
    void deleteClip(int index);
    void deleteAllClips();

private:
    void showClips();

    QLabel* clips_;
    QLabel* freeDisk_;
    int count_ = 0;
    int selected_ = -1;
};

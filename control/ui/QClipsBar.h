#pragma once

#include "control/playback/ClipPaging.h"

#include <QWidget>

#include <array>

class ImageButton;
class QButtonGroup;
class QLabel;
class QPushButton;

// The playback view's clips of the current recorder: pages of 12 clip buttons, the selected
// clip's details, the free disk and the delete buttons. It only signals; the main window sends
// the commands.
class QClipsBar : public QWidget {
    Q_OBJECT
public:
    QClipsBar(int buttonSize, QWidget* parent = nullptr);

    // A clip list of count clips, selected the one at selected (-1 none).
    void setClips(int count, int selected);
    int clipCount() const { return paging_.count(); }
    int selectedClip() const { return paging_.selected(); }
    const ClipPaging& paging() const { return paging_; }
    // The selected clip's details, or that there are none (rich text from DisplayTexts).
    void showClipInfo(const QString& text);
    QString clipInfoText() const;
    // "VLM Velmor Free Disk" over the share in text.
    void showFreeDisk(const QString& share);

signals:
    void selectClip(int index);
    void deleteClip(int index);
    void deleteAllClips();

public slots:
    void OnClipSelected(int button);
    void OnLeftSelected();
    void OnRightSelected();

private:
    void showPage();

    ClipPaging paging_;
    QButtonGroup* clipButtons_;
    ImageButton* left_;
    ImageButton* right_;
    QPushButton* deleteLatest_;
    QPushButton* deleteAll_;
    QLabel* info_;
    QLabel* freeDisk_;
};

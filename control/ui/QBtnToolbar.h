#pragma once

#include <QWidget>

class ImageButton;

// The row of buttons at the bottom of the window: in the recorder list "enumerate" and the
// general options, in the recorder view "back", record, (developer mode) firmware update and
// recorder information.
class QBtnToolbar : public QWidget {
    Q_OBJECT
public:
    QBtnToolbar(int buttonSize, bool developerMode, QWidget* parent = nullptr);

    void showListButtons();
    void showRecorderButtons();
    void setRecordChecked(bool checked);
    bool isRecordChecked() const;
    void setRecordEnabled(bool enabled);

signals:
    void enumPressed();
    void configPressed();
    void backPressed();
    void recordPressed();
    void fwUpgPressed();
    void infoPressed();

private:
    ImageButton* enum_;
    ImageButton* config_;
    ImageButton* back_;
    ImageButton* record_;
    ImageButton* firmware_;
    ImageButton* info_;
    bool developerMode_;
};

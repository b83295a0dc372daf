#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QMultiRecorderMgr;
class QProgressBar;
class QPushButton;

// Picks an MCS file, starts and aborts the firmware update of the current recorder and shows
// its progress. While the recorder writes its flash nothing can be aborted or chosen: the
// recorder goes on writing whatever the program does.
class FwUpdDlg : public QDialog {
    Q_OBJECT
public:
    // How the end of an update is told: the text, and whether it succeeded.
    using Notify = std::function<void(const QString& text, bool success)>;

    FwUpdDlg(QMultiRecorderMgr& manager, Notify notify, QWidget* parent = nullptr);

    // What "Select File..." does once a file is chosen.
    void chooseFile(const QString& path);
    QString statusText() const;
    int progressValue() const;

public slots:
    void on_selectFileButton_clicked();
    void on_updateButton_clicked();
    void on_abortButton_clicked();

private:
    void showStatus(const QString& portion, float progress, int nFlag);
    void setRunning(bool running);

    QMultiRecorderMgr& manager_;
    Notify notify_;
    QLabel* status_;
    QLabel* caution_;
    QProgressBar* progress_;
    QLineEdit* filePath_;
    QPushButton* select_;
    QPushButton* update_;
    QPushButton* abort_;
    QPushButton* exit_;
};

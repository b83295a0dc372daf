#pragma once

#include <QDialog>
#include <QSet>
#include <QSize>

class QComboBox;
class QLabel;
class QLineEdit;

// The "Export clip" dialog: output folder, file-name prefix, file type, codec and frame rate of
// an export, the FFmpeg command they make, and a check of them before it is accepted. Codec
// rows the installed FFmpeg cannot encode for this clip are shown disabled with the reason.
class ImgExportDlg : public QDialog {
    Q_OBJECT
public:
    ImgExportDlg(const QSize& pictureSize, int fileType, int fps, int codecIndex, const QString& outputFolder,
                 const QString& prefix, const QString& clipFolder, QWidget* parent = nullptr);

    // The encoders of the installed FFmpeg: rows of other codecs are disabled. Not given: no
    // row is disabled for a missing encoder.
    void setEncoders(const QSet<QString>& encoders);
    // The number of frames the export writes, for the free-space check.
    void setFrameCount(qint64 frames) { frames_ = frames; }

    // Results, read after acceptance.
    QString outputFolder() const { return outputFolder_; }
    QString prefix() const { return prefix_; }
    int fileType() const { return fileType_; }
    int fps() const { return fps_; }
    int codecIndex() const { return codecIndex_; }
    QString ffmpegArguments() const { return arguments_; }
    QString outputFile() const { return outputFile_; }

public slots:
    void OnFileTypeChanged(int index);
    void OnCodecChanged(int index);
    void OnOK();

private:
    void buildForm(const QString& clipFolder);
    void browse();
    // The arguments of the current choices, or empty with the reason in problem.
    QString currentArguments(QString* problem) const;
    void showCommand();
    void markUnusableRows();
    void selectUsableCodec();

    QSize picture_;
    QSet<QString> encoders_;
    bool encodersKnown_ = false;
    qint64 frames_ = 0;

    int fileType_;
    int fps_;
    int codecIndex_;
    QString arguments_;
    QString outputFolder_;
    QString prefix_;
    QString outputFile_;

    QLineEdit* folderEdit_ = nullptr;
    QComboBox* typeCombo_ = nullptr;
    QLabel* codecLabel_ = nullptr;
    QComboBox* codecCombo_ = nullptr;
    QLineEdit* prefixEdit_ = nullptr;
    QLineEdit* fpsEdit_ = nullptr;
    QLabel* commandLabel_ = nullptr;
    QLabel* problemLabel_ = nullptr;
};

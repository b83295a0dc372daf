#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QProcess>
#include <QSharedPointer>
#include <QTemporaryFile>
#include <QTimer>

class QLabel;
class QPushButton;
class QTextBrowser;
class SavedClip;

// The programs an export runs: the renderer (this program in command-line mode) and FFmpeg
// (empty: none was found).
struct EncoderPrograms {
    QString renderer;
    QString ffmpeg;
};

// "Conversion to movie": runs one export, the renderer's raw frames piped into FFmpeg, shows
// FFmpeg's console text and the progress, and says at the end whether the export succeeded:
// only when both programs exited with 0 and every frame was encoded. Deletes itself when
// closed; closing or "Abort" ends both programs.
class RecorderEncoderDialog : public QDialog {
    Q_OBJECT
public:
    RecorderEncoderDialog(QSharedPointer<SavedClip> clip, const QString& ffmpegArguments, const QString& outputFile,
                          const EncoderPrograms& programs, QWidget* parent = nullptr);
    ~RecorderEncoderDialog() override;

    // Starts both programs and shows the dialog. False, with the reason in startError(), when
    // either could not start; the dialog is then not shown and the caller discards it.
    bool start();
    QString startError() const { return startError_; }
    // The renderer's error file of this run.
    QString rendererErrorFile() const { return rendererErrors_.fileName(); }

public slots:
    void monitor();
    // Ends both programs; what was written so far stays and is named as incomplete.
    void abort();

signals:
    // Both programs have ended; success as shown to the user.
    void encodingEnded(bool success);

private:
    void buildForm(const QString& command);
    void finish(bool aborted);
    void appendConsole(const QString& text);
    void stopProcesses();

    QSharedPointer<SavedClip> clip_;
    QString outputFile_;
    EncoderPrograms programs_;
    QStringList rendererArguments_;
    QStringList ffmpegArguments_;
    qint64 framesExpected_ = 0;
    QProcess renderer_;
    QProcess ffmpeg_;
    QTemporaryFile rendererErrors_;
    QTimer monitorTimer_;
    QElapsedTimer elapsed_;
    QString console_;
    QString startError_;
    bool ended_ = false;

    QLabel* commandLabel_ = nullptr;
    QLabel* progressLabel_ = nullptr;
    QTextBrowser* output_ = nullptr;
    QPushButton* abortButton_ = nullptr;
    QPushButton* okButton_ = nullptr;
};

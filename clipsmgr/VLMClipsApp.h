#pragma once

#include <QApplication>
#include <QFile>
#include <QSharedPointer>
#include <QString>

#include <array>

class QWidget;
class SavedClip;

// The clips manager's application object: persistent settings, the screen scale factor and the
// message-box service every window uses. Reach it with VLMClipsApp::instance().
class VLMClipsApp : public QApplication {
    Q_OBJECT
public:
    enum MessageFlags { MsgInfo = 1, MsgWarning = 2, MsgQuestion = 4, MsgYesNo = 16, MsgYesNoCancel = 32 };

    static constexpr const char* SettingsOrganisation = "KVX";
    static constexpr const char* SettingsApplication = "VLMVelClipsMgr";
    static constexpr const char* StyleSheetPath = ":/res/qrecstyle.qss";

    VLMClipsApp(int& argc, char** argv);

    // The running application; null when the process runs another kind of application.
    static VLMClipsApp* instance();

    double scaleFactor = 1.0;
    QString ClipPath;
    QString PaintOptionsPath;
    QString ClipExportPath;
    QString ClipExportPrefix;
    qint32 ClipFileType = 1;
    qint32 ClipOutputFps = 24;
    qint32 ClipCodecIdx = 0;

    // Style sheet, scale factor from the primary screen, then the settings.
    void applyLookAndScale();
    // Missing keys take their defaults; the clip and export folders are created if missing.
    void loadSettings();
    void saveSettings() const;

    // Modal box titled with the program's name; returns the standard button that closed it.
    int showMessage(const QString& text, int flags) const;

    int scaled(int v) const;
    std::array<int, 4> scaledMetrics() const;
    void scaleWidget(QWidget* widget, bool fixedSize) const;

    // Command-line export mode ("Clip Save and Export"), in VLMClipsAppCommandLine.cpp.
    // False: the program ends with exit code 1 at once. True: start-up goes on, either in GUI
    // mode or with the export armed (commandLineMode) to run once the event loop starts.
    bool parseCommandLine();

    bool developerMode = false;
    QString developerPassword;
    QFile outputFile;
    bool commandLineMode = false;
    qint32 outputWidth = 0;
    qint32 outputHeight = 0;
    QSharedPointer<SavedClip> sourceClip;
    qint32 lowerTrim = 0;
    qint32 upperTrim = 0;

signals:
    void finishedBackgroundProcessing();

public slots:
    void runBackgroundProcessing();
    void straight_exit();

private:
    void applyStyleSheet();
};

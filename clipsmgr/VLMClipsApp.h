#pragma once

#include <QApplication>
#include <QString>

#include <array>

class QWidget;

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

private:
    void applyStyleSheet();
};

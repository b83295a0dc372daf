#include "clipsmgr/VLMClipsApp.h"

#include "clipsmgr/MessageLook.h"
#include "clipsmgr/ScreenScale.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>

// The resources are compiled into a static library; this keeps the linker from dropping them.
// (Q_INIT_RESOURCE must be used outside any namespace.)
static void initResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace {

QString moviesFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
}

// The folder, cleaned and created with its parents if it does not exist yet.
QString existingFolder(const QString& path)
{
    const QString clean = QDir::cleanPath(path);
    if (!QDir().mkpath(clean))
        qWarning() << "Cannot create folder" << clean;
    return clean;
}

} // namespace

VLMClipsApp::VLMClipsApp(int& argc, char** argv) : QApplication(argc, argv)
{
    initResources();
}

VLMClipsApp* VLMClipsApp::instance()
{
    return qobject_cast<VLMClipsApp*>(QCoreApplication::instance());
}

void VLMClipsApp::applyLookAndScale()
{
    applyStyleSheet();
    const QScreen* screen = primaryScreen();
    scaleFactor = scaleFactorForDpi(screen ? screen->logicalDotsPerInch() : 96.0);
    qDebug() << "Factor:" << scaleFactor;
    loadSettings();
}

void VLMClipsApp::applyStyleSheet()
{
    QFile file(StyleSheetPath);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    const qsizetype end = bytes.indexOf('\0');
    setStyleSheet(QString::fromLatin1(end < 0 ? bytes : bytes.left(end)));
}

void VLMClipsApp::loadSettings()
{
    QSettings settings(SettingsOrganisation, SettingsApplication);
    ClipPath = existingFolder(settings.value("ClipPath", moviesFolder() + "/VLMV-Clips").toString());
    ClipExportPath = existingFolder(settings.value("ClipExportPath", moviesFolder() + "/VLMV-Exports").toString());
    PaintOptionsPath = settings.value("PaintOptionsPath", ClipPath).toString();
    ClipExportPrefix = settings.value("ClipExportPrefix", "Img").toString();
    ClipFileType = settings.value("ClipFileType", 1).toInt();
    ClipOutputFps = settings.value("ClipOutputFps", 24).toInt();
    ClipCodecIdx = settings.value("ClipCodecIdx", 0).toInt();
}

void VLMClipsApp::saveSettings() const
{
    QSettings settings(SettingsOrganisation, SettingsApplication);
    settings.setValue("ClipPath", ClipPath);
    settings.setValue("PaintOptionsPath", PaintOptionsPath);
    settings.setValue("ClipExportPath", ClipExportPath);
    settings.setValue("ClipExportPrefix", ClipExportPrefix);
    settings.setValue("ClipFileType", ClipFileType);
    settings.setValue("ClipOutputFps", ClipOutputFps);
    settings.setValue("ClipCodecIdx", ClipCodecIdx);
}

int VLMClipsApp::showMessage(const QString& text, int flags) const
{
    const MessageLook look = messageLookForFlags(flags);
    QMessageBox box;
    box.setStyleSheet("QPushButton { padding: 2px; min-width: 60px; min-height: 25px; }");
    box.setWindowTitle(tr("VLM Velmor Clips Manager"));
    box.setText(text);
    if (!look.iconPath.isEmpty())
        box.setIconPixmap(QPixmap(look.iconPath));
    box.setStandardButtons(look.buttons);
    box.setDefaultButton(look.defaultButton);
    return box.exec();
}

int VLMClipsApp::scaled(int v) const
{
    return scaledByFactor(v, scaleFactor);
}

std::array<int, 4> VLMClipsApp::scaledMetrics() const
{
    return scaledMetricsByFactor(scaleFactor);
}

void VLMClipsApp::scaleWidget(QWidget* widget, bool fixedSize) const
{
    scaleWidgetByFactor(widget, scaleFactor, fixedSize);
}

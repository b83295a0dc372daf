#include "control/ui/QRecApplication.h"

#include "control/app/ControlCommandLine.h"
#include "control/app/Translations.h"
#include "control/app/UiScale.h"

#include <QCommandLineParser>
#include <QFile>
#include <QScreen>

QRecApplication::QRecApplication(int& argc, char** argv) : QApplication(argc, argv)
{}

void QRecApplication::initialise()
{
    setOrganizationName(QString::fromLatin1(ControlSettings::Organisation));
    setApplicationName(QStringLiteral("VLM Velmor Control"));
    setApplicationVersion(QStringLiteral("1.00.05"));
    applyStyleSheet();
    if (const QScreen* screen = primaryScreen())
        uiScale = UiScale::factor(screen->logicalDotsPerInch(), screen->availableGeometry().height());
    parseCommandLine();
    settings = ControlSettings::load();
    translationInstalled = Translations::install(translator_, settings.language);
}

void QRecApplication::applyStyleSheet()
{
    QFile file(QString::fromLatin1(StyleSheetPath));
    if (!file.open(QIODevice::ReadOnly))
        return; // the built-in look
    QByteArray text = file.readAll();
    const qsizetype end = text.indexOf('\0');
    if (end >= 0)
        text.truncate(end);
    setStyleSheet(QString::fromUtf8(text));
}

void QRecApplication::parseCommandLine()
{
    QCommandLineParser parser;
    const QCommandLineOption developer = ControlCommandLine::addOptions(parser);
    parser.process(arguments());
    developerMode = ControlCommandLine::developerMode(parser, developer);
}

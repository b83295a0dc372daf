#include "control/app/Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QTranslator>

namespace Translations {

QString baseName(int language)
{
    switch (language) {
    case 1:
        return QStringLiteral("Lumarex_de");
    case 2:
        return QStringLiteral("Lumarex_it");
    case 3:
        return QStringLiteral("Lumarex_jp");
    default:
        return {};
    }
}

QStringList folders()
{
    const QDir program(QCoreApplication::applicationDirPath());
    return {program.filePath(QStringLiteral("Languages")),
            QDir::cleanPath(program.filePath(QStringLiteral("../share/vlm-velmor/Languages"))),
            QStringLiteral(VLM_TRANSLATIONS_INSTALL_DIR)};
}

bool install(QTranslator& translator, int language)
{
    const QString name = baseName(language);
    if (name.isEmpty())
        return false;
    for (const QString& folder : folders()) {
        if (translator.load(name, folder))
            return QCoreApplication::installTranslator(&translator);
    }
    return false;
}

} // namespace Translations

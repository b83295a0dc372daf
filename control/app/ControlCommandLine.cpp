#include "control/app/ControlCommandLine.h"

#include <QCommandLineParser>

namespace ControlCommandLine {

QCommandLineOption addOptions(QCommandLineParser& parser)
{
    parser.setApplicationDescription(QStringLiteral("VLM Velmor Controller"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption developer({QStringLiteral("d"), QStringLiteral("developer")},
                                       QStringLiteral("Developer mode"), QStringLiteral("command"));
    parser.addOption(developer);
    return developer;
}

bool developerMode(const QCommandLineParser& parser, const QCommandLineOption& developer)
{
    return parser.value(developer) == QLatin1String("enable");
}

} // namespace ControlCommandLine

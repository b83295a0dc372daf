#include "export/ExportCommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>

namespace kvx {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("main", text);
}

// Trims are decimal frame indices; text that is no number counts as 0.
int trimValue(const QString& text)
{
    return text.toInt(nullptr, 10);
}

} // namespace

void addExportOptions(QCommandLineParser& parser)
{
    parser.setApplicationDescription(QStringLiteral("VLMVelmor Clip Save and Export."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({
        {{"s", "source-directory"}, tr("Video clip source <directory>."), tr("directory")},
        {{"o", "output-file"}, tr("Raw video data output <file>."), tr("file")},
        {{"res", "resolution"}, tr("Output resolution"), tr("command")},
        {{"d", "developer"}, tr("Developer mode"), tr("command")},
        {{"pass", "password"}, tr("Dev Password"), tr("command")},
        {{"lo", "lower-trim"}, tr("Lower Trim frame"), tr("command")},
        {{"up", "upper-trim"}, tr("Upper Trim frame"), tr("command")},
    });
}

ExportCommandLine readExportCommandLine(const QCommandLineParser& parser)
{
    ExportCommandLine line;
    line.sourceDirectory = parser.value(QStringLiteral("s"));
    line.outputFile = parser.value(QStringLiteral("o"));
    line.developerPassword = parser.value(QStringLiteral("pass"));
    line.developerMode = parser.value(QStringLiteral("d")) == QLatin1String("enable");

    const bool hasSource = parser.isSet(QStringLiteral("s"));
    const bool hasOutput = parser.isSet(QStringLiteral("o"));
    line.mode = ExportCommandLine::Mode::Error;
    if (hasSource && line.sourceDirectory.isEmpty()) {
        line.message = QStringLiteral("Must provide video clip directory with -s option");
        return line;
    }
    if (hasOutput && line.outputFile.isEmpty()) {
        line.message = QStringLiteral("Must provide output raw video file name with -o option");
        return line;
    }
    if (!hasSource || !hasOutput) {
        line.mode = ExportCommandLine::Mode::Gui;
        return line;
    }

    if (parser.isSet(QStringLiteral("res"))) {
        const QStringList pair =
            parser.value(QStringLiteral("res")).split(QRegularExpression(QStringLiteral("[x]")), Qt::SkipEmptyParts);
        if (pair.size() != 2) {
            line.message = QStringLiteral("Must provide output resolution as x separated pair, i.e. --res 3840x2160");
            return line;
        }
        // Unsigned text read as a signed size: anything below 1 (or unreadable) is refused.
        const auto width = qint32(pair[0].toUInt(nullptr, 10));
        const auto height = qint32(pair[1].toUInt(nullptr, 10));
        if (width < 1 || height < 1) {
            line.message = QStringLiteral("Failed to process --res");
            return line;
        }
        line.outputWidth = width;
        line.outputHeight = height;
    }

    line.lowerTrim = trimValue(parser.value(QStringLiteral("lo")));
    line.upperTrim = trimValue(parser.value(QStringLiteral("up")));
    line.mode = ExportCommandLine::Mode::Export;
    return line;
}

} // namespace kvx

#include "export/FfmpegTool.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

namespace ffmpegtool {

QString findProgram(const QString& programFolder)
{
    const QString folder = programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : programFolder;
    const QString beside = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"), {folder});
    return beside.isEmpty() ? QStandardPaths::findExecutable(QStringLiteral("ffmpeg")) : beside;
}

QSet<QString> parseEncoders(const QString& listing)
{
    // " V....D libx264   libx264 H.264 / AVC ... (codec h264)"; the flags come before "------".
    static const QRegularExpression line(QStringLiteral(R"(^\s*V\S{5}\s+(\S+)\s.*?(?:\(codec (\S+)\))?\s*$)"));
    QSet<QString> names;
    const qsizetype start = listing.indexOf(QStringLiteral("------"));
    for (const QString& text : listing.mid(start < 0 ? 0 : start).split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch match = line.match(text);
        if (!match.hasMatch())
            continue;
        names.insert(match.captured(1));
        if (match.hasCaptured(2))
            names.insert(match.captured(2));
    }
    return names;
}

QSet<QString> encoders(const QString& program)
{
    static QHash<QString, QSet<QString>> known;
    const QString key = QFileInfo(program).absoluteFilePath();
    if (const auto found = known.constFind(key); found != known.cend())
        return *found;
    QProcess process;
    process.start(program, {QStringLiteral("-hide_banner"), QStringLiteral("-encoders")});
    if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        process.kill();
        return {};
    }
    const QSet<QString> names = parseEncoders(QString::fromLocal8Bit(process.readAllStandardOutput()));
    known.insert(key, names);
    return names;
}

} // namespace ffmpegtool

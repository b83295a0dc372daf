#include "export/EncoderRun.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cmath>

namespace encoderrun {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("RecorderEncoderDialog", text);
}

bool isSequence(const QString& outputFile)
{
    return outputFile.contains(QLatin1String("%06d"));
}

// FFmpeg's reading of an image pattern: "%%" is "%", "%06d" becomes number.
QString expandPattern(const QString& pattern, const QString& number)
{
    QString out;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (pattern.mid(i, 2) == QLatin1String("%%")) {
            out += QLatin1Char('%');
            ++i;
        } else if (pattern.mid(i, 4) == QLatin1String("%06d")) {
            out += number;
            i += 3;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

} // namespace

QStringList rendererArguments(const QString& clipFolder, qint64 lowerTrim, qint64 upperTrim)
{
    return {QStringLiteral("-s"),   QDir::toNativeSeparators(clipFolder) + QDir::separator(),
            QStringLiteral("-o"),   QStringLiteral("-"),
            QStringLiteral("--lo"), QString::number(lowerTrim),
            QStringLiteral("--up"), QString::number(upperTrim)};
}

QStringList ffmpegArguments(const QString& arguments, const QString& outputFile)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    QStringList list = arguments.trimmed().split(blanks, Qt::SkipEmptyParts);
    list << QDir::toNativeSeparators(outputFile);
    return list;
}

qint64 framesDone(const QString& console)
{
    static const QRegularExpression frame(QStringLiteral("frame=\\s*(\\d+)"));
    qint64 last = -1;
    for (auto it = frame.globalMatch(console); it.hasNext();)
        last = it.next().captured(1).toLongLong();
    return last;
}

QString progressText(qint64 done, qint64 total, double elapsedSeconds)
{
    const qint64 frames = std::max<qint64>(done, 0);
    QString text = tr("Frame %1 of %2").arg(frames).arg(total);
    if (frames == 0 || elapsedSeconds <= 0.0)
        return text;
    const double rate = frames / elapsedSeconds;
    const qint64 left = qint64(std::ceil(std::max<qint64>(total - frames, 0) / rate));
    return text + tr(", %1 frames/s, about %2 s left").arg(rate, 0, 'f', 1).arg(left);
}

QString lastLines(const QString& text, int count)
{
    static const QRegularExpression breaks(QStringLiteral("[\\r\\n]+"));
    QStringList lines = text.split(breaks, Qt::SkipEmptyParts);
    lines.removeIf([](const QString& line) { return line.trimmed().isEmpty(); });
    return lines.mid(std::max<qsizetype>(0, lines.size() - count)).join(QLatin1Char('\n'));
}

bool outputWriteFailed(const QString& console)
{
    static const QRegularExpression failure(
        QStringLiteral("Error writing trailer|Error closing file|No space left on device|"
                       "av_interleaved_write_frame\\(\\): |Error submitting a packet to the muxer"));
    return failure.match(console).hasMatch();
}

bool succeeded(const Outcome& outcome)
{
    return !outcome.aborted && outcome.rendererExitedCleanly && outcome.ffmpegExitedCleanly
        && !outcome.outputWriteFailed && outcome.framesDone == outcome.framesExpected;
}

QString failureText(const Outcome& outcome)
{
    QStringList parts;
    if (outcome.aborted) {
        parts << tr("The export was aborted.");
    } else {
        parts << tr("The export failed.");
        if (!outcome.rendererExitedCleanly)
            parts << tr("The renderer ended with an error.");
        if (!outcome.ffmpegExitedCleanly)
            parts << tr("FFmpeg ended with an error.");
        if (outcome.outputWriteFailed)
            parts << tr("FFmpeg could not write the output.");
        if (outcome.framesDone != outcome.framesExpected)
            parts << tr("%1 of %2 frames were encoded.")
                         .arg(std::max<qint64>(outcome.framesDone, 0))
                         .arg(outcome.framesExpected);
    }
    if (outcome.outputLeft)
        parts << tr("%1 is incomplete.").arg(shownOutput(outcome.outputFile));
    QString text = parts.join(QLatin1Char(' '));
    if (const QString tail = lastLines(outcome.ffmpegConsole, 4); !outcome.aborted && !tail.isEmpty())
        text += QStringLiteral("\n\n") + tr("FFmpeg said:") + QLatin1Char('\n') + tail;
    if (const QString tail = lastLines(outcome.rendererErrors, 4); !outcome.aborted && !tail.isEmpty())
        text += QStringLiteral("\n\n") + tr("The renderer said:") + QLatin1Char('\n') + tail;
    return text;
}

bool outputExists(const QString& outputFile)
{
    if (!isSequence(outputFile))
        return QFileInfo::exists(outputFile);
    return QFileInfo::exists(expandPattern(outputFile, QStringLiteral("000000")));
}

QString shownOutput(const QString& outputFile)
{
    return QDir::toNativeSeparators(isSequence(outputFile) ? expandPattern(outputFile, QStringLiteral("%06d"))
                                                           : outputFile);
}

} // namespace encoderrun

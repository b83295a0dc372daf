#include "storage/ClipFolder.h"

#include <QDir>
#include <QFileInfo>

namespace clipfolder {

bool isClipFolder(const QString& path)
{
    const QDir dir(path);
    return QFileInfo::exists(dir.filePath(CalibrationFile)) && QFileInfo::exists(dir.filePath(ClipXml))
        && QFileInfo::exists(dir.filePath(RenderInfoXml));
}

QString folderNameFor(const QDateTime& start)
{
    const QDate d = start.date();
    const QTime t = start.time();
    auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    return QStringLiteral("%1-%2-%3_%4.%5.%6")
        .arg(d.year())
        .arg(two(d.month()), two(d.day()), two(t.hour()), two(t.minute()), two(t.second()));
}

QString createFolder(const QString& base, const QString& name)
{
    QDir parent(base);
    if (!parent.mkpath(QStringLiteral(".")))
        return {};
    for (int attempt = 1; attempt < 1000; ++attempt) {
        const QString candidate = attempt == 1 ? name : QStringLiteral("%1-%2").arg(name).arg(attempt);
        // mkdir fails for an existing folder, so two clips never share one.
        if (parent.mkdir(candidate))
            return QDir::cleanPath(parent.filePath(candidate));
        if (!parent.exists(candidate))
            return {};
    }
    return {};
}

} // namespace clipfolder

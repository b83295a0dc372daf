#include "hashlist/HashListCheck.h"

#include "hashlist/MediaHashList.h"
#include "hashlist/Xxh64.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QObject>

QString FolderCheck::report() const
{
    if (!hasHashList())
        return QObject::tr("The folder has no hash list; it cannot be verified.");
    if (!listError.isEmpty())
        return QObject::tr("The hash list %1 is damaged: %2.").arg(hashList, listError);
    if (intact())
        return QObject::tr("All %n listed file(s) match the hash list %1.", nullptr, filesChecked).arg(hashList);
    QStringList lines{QObject::tr("The folder does not match its hash list %1:").arg(hashList)};
    for (const QString& file : missing)
        lines << QObject::tr("%1: missing").arg(file);
    lines << changed;
    return lines.join(QLatin1Char('\n'));
}

QString FolderCheck::summary() const
{
    if (!hasHashList() || intact())
        return {};
    if (!listError.isEmpty())
        return QObject::tr("hash list damaged");
    QStringList files = missing;
    for (const QString& finding : changed)
        files << finding.section(QLatin1Char(':'), 0, 0);
    return QObject::tr("differs from its hash list: %1").arg(files.join(QStringLiteral(", ")));
}

namespace hashlistcheck {

QString findHashList(const QString& folder)
{
    const QStringList lists = QDir(folder).entryList({QStringLiteral("*.mhl")}, QDir::Files, QDir::Name);
    return lists.isEmpty() ? QString() : lists.last();
}

FolderCheck check(const QString& folder, bool contents)
{
    FolderCheck result;
    result.hashList = findHashList(folder);
    if (result.hashList.isEmpty())
        return result;
    const QDir dir(folder);
    QFile file(dir.filePath(result.hashList));
    if (!file.open(QIODevice::ReadOnly)) {
        result.listError = file.errorString();
        return result;
    }
    const std::optional<MediaHashList> list = MediaHashList::read(&file, &result.listError);
    if (!list)
        return result;
    for (const MediaHashList::Entry& entry : list->entries) {
        const QFileInfo info(dir.filePath(entry.file));
        if (!info.isFile()) {
            result.missing << entry.file;
            continue;
        }
        if (info.size() != entry.size) {
            result.changed
                << QObject::tr("%1: %2 bytes instead of %3").arg(entry.file).arg(info.size()).arg(entry.size);
            continue;
        }
        if (contents && entry.xxhash64) {
            const std::optional<quint64> hash = Xxh64::ofFile(info.filePath());
            if (!hash) {
                result.changed << QObject::tr("%1: cannot be read").arg(entry.file);
                continue;
            }
            if (*hash != *entry.xxhash64) {
                result.changed << QObject::tr("%1: content differs (xxHash64 %2 instead of %3)")
                                      .arg(entry.file, Xxh64::hex(*hash), Xxh64::hex(*entry.xxhash64));
                continue;
            }
        }
        ++result.filesChecked;
    }
    return result;
}

} // namespace hashlistcheck

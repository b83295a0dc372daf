#include "hashlist/MediaHashList.h"

#include "hashlist/Xxh64.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSysInfo>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace {

QString dateText(const QDateTime& date)
{
    return date.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ"));
}

QDateTime parseDate(const QString& text)
{
    QDateTime date = QDateTime::fromString(text.trimmed(), Qt::ISODate);
    return date.isValid() ? date.toUTC() : QDateTime();
}

// A path inside the folder: relative, no "..", no empty or "." pieces.
bool staysInFolder(const QString& path)
{
    if (path.isEmpty() || path.startsWith(QLatin1Char('/')) || path.contains(QLatin1Char('\\')))
        return false;
    const QStringList pieces = path.split(QLatin1Char('/'));
    return std::none_of(pieces.begin(), pieces.end(), [](const QString& p) {
        return p.isEmpty() || p == QLatin1String(".") || p == QLatin1String("..");
    });
}

bool readEntry(QXmlStreamReader& xml, MediaHashList::Entry* entry, QString* error)
{
    bool haveSize = false;
    while (xml.readNextStartElement()) {
        const QStringView name = xml.name();
        const QString text = xml.readElementText(QXmlStreamReader::SkipChildElements);
        if (name == u"file") {
            entry->file = text.trimmed().normalized(QString::NormalizationForm_C);
        } else if (name == u"size") {
            bool ok = false;
            entry->size = text.trimmed().toLongLong(&ok, 10);
            haveSize = ok && entry->size >= 0;
        } else if (name == u"lastmodificationdate") {
            entry->lastModified = parseDate(text);
        } else if (name == u"hashdate") {
            entry->hashDate = parseDate(text);
        } else if (name == u"xxhash64be") {
            entry->xxhash64 = Xxh64::parseHex(text.trimmed());
            if (!entry->xxhash64) {
                *error = QStringLiteral("the xxhash64be of \"%1\" is no 16-digit hexadecimal number").arg(entry->file);
                return false;
            }
        }
    }
    if (xml.hasError())
        return false;
    if (!staysInFolder(entry->file)) {
        *error = QStringLiteral("an entry names no file inside the folder (\"%1\")").arg(entry->file.left(80));
        return false;
    }
    if (!haveSize) {
        *error = QStringLiteral("the entry of \"%1\" has no usable size").arg(entry->file);
        return false;
    }
    return true;
}

void readCreator(QXmlStreamReader& xml, MediaHashList::Creator* creator)
{
    while (xml.readNextStartElement()) {
        const QStringView name = xml.name();
        const QString text = xml.readElementText(QXmlStreamReader::SkipChildElements);
        if (name == u"username")
            creator->userName = text;
        else if (name == u"hostname")
            creator->hostName = text;
        else if (name == u"tool")
            creator->tool = text;
        else if (name == u"startdate")
            creator->startDate = parseDate(text);
        else if (name == u"finishdate")
            creator->finishDate = parseDate(text);
    }
}

} // namespace

QString MediaHashList::fileName(const QString& folderName, const QDateTime& made)
{
    return folderName + made.toUTC().toString(QStringLiteral("_yyyy-MM-dd_HHmmss")) + QStringLiteral(".mhl");
}

MediaHashList::Creator MediaHashList::thisCreator(const QString& tool)
{
    Creator creator;
    creator.userName = qEnvironmentVariable("USER", qEnvironmentVariable("LOGNAME", QStringLiteral("unknown")));
    creator.hostName = QSysInfo::machineHostName();
    creator.tool = tool;
    return creator;
}

bool MediaHashList::write(QIODevice* out) const
{
    QXmlStreamWriter xml(out);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("hashlist"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.1"));
    if (creationDate.isValid())
        xml.writeTextElement(QStringLiteral("creationdate"), dateText(creationDate));
    xml.writeStartElement(QStringLiteral("creatorinfo"));
    xml.writeTextElement(QStringLiteral("username"), creator.userName);
    xml.writeTextElement(QStringLiteral("hostname"), creator.hostName);
    xml.writeTextElement(QStringLiteral("tool"), creator.tool);
    xml.writeTextElement(QStringLiteral("startdate"), dateText(creator.startDate));
    xml.writeTextElement(QStringLiteral("finishdate"), dateText(creator.finishDate));
    xml.writeEndElement();
    for (const Entry& entry : entries) {
        xml.writeStartElement(QStringLiteral("hash"));
        xml.writeTextElement(QStringLiteral("file"), entry.file.normalized(QString::NormalizationForm_C));
        xml.writeTextElement(QStringLiteral("size"), QString::number(entry.size));
        xml.writeTextElement(QStringLiteral("lastmodificationdate"), dateText(entry.lastModified));
        if (entry.xxhash64)
            xml.writeTextElement(QStringLiteral("xxhash64be"), Xxh64::hex(*entry.xxhash64));
        else
            xml.writeEmptyElement(QStringLiteral("null"));
        xml.writeTextElement(QStringLiteral("hashdate"), dateText(entry.hashDate));
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return !xml.hasError();
}

std::optional<MediaHashList> MediaHashList::read(QIODevice* in, QString* error)
{
    QXmlStreamReader xml(in);
    MediaHashList list;
    if (!xml.readNextStartElement() || xml.name() != u"hashlist"
        || xml.attributes().value(QStringLiteral("version")) != u"1.1") {
        *error = xml.hasError() ? xml.errorString() : QStringLiteral("it is no MHL 1.1 hash list");
        return std::nullopt;
    }
    while (xml.readNextStartElement()) {
        if (xml.name() == u"creationdate") {
            list.creationDate = parseDate(xml.readElementText(QXmlStreamReader::SkipChildElements));
        } else if (xml.name() == u"creatorinfo") {
            readCreator(xml, &list.creator);
        } else if (xml.name() == u"hash") {
            Entry entry;
            if (!readEntry(xml, &entry, error) && !xml.hasError())
                return std::nullopt;
            list.entries.append(entry);
        } else {
            xml.skipCurrentElement();
        }
    }
    if (xml.hasError()) {
        *error = QStringLiteral("line %1: %2").arg(xml.lineNumber()).arg(xml.errorString());
        return std::nullopt;
    }
    return list;
}

std::optional<MediaHashList::Entry> MediaHashList::entryFor(const QString& folder, const QString& file,
                                                            std::optional<quint64> hash)
{
    const QFileInfo info(QDir(folder).filePath(file));
    if (!info.isFile())
        return std::nullopt;
    Entry entry;
    entry.file = file;
    entry.size = info.size();
    entry.lastModified = info.lastModified().toUTC();
    entry.xxhash64 = hash ? hash : Xxh64::ofFile(info.filePath());
    entry.hashDate = QDateTime::currentDateTimeUtc();
    if (!entry.xxhash64)
        return std::nullopt;
    return entry;
}

QString MediaHashList::saveInFolder(const QString& folder) const
{
    const QString name = fileName(QDir(folder).dirName(), creationDate);
    QSaveFile file(QDir(folder).filePath(name));
    // Unbuffered, so a full disk fails the write and not a commit that goes ahead regardless.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || !write(&file)) {
        file.cancelWriting();
        return {};
    }
    return file.commit() ? name : QString();
}

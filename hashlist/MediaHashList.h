#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

class QIODevice;

// The inventory of a copied folder in the MHL 1.1 hash list format that offload and
// verification tools read: per file its path relative to the folder, size, modification date,
// xxHash64 (big-endian hex) and the date it was hashed, plus who made the list with which tool.
struct MediaHashList {
    struct Entry {
        QString file; // relative, forward slashes
        qint64 size = 0;
        QDateTime lastModified;
        std::optional<quint64> xxhash64; // none: the list gives another kind of hash, or none
        QDateTime hashDate;
    };
    struct Creator {
        QString userName;
        QString hostName;
        QString tool;
        QDateTime startDate;
        QDateTime finishDate;
    };

    QDateTime creationDate;
    Creator creator;
    QList<Entry> entries;

    // "<folder name>_<YYYY-MM-DD>_<HHMMSS>.mhl" for a list made at the given time (UTC).
    static QString fileName(const QString& folderName, const QDateTime& made);
    // The user and machine this program runs as, and the tool's name and version.
    static Creator thisCreator(const QString& tool);

    // The entry of a file of the folder as it is now; the hash is read from the file unless
    // given. Nothing when the file is missing or unreadable.
    static std::optional<Entry> entryFor(const QString& folder, const QString& file,
                                         std::optional<quint64> hash = std::nullopt);

    bool write(QIODevice* out) const;
    // Writes the list into the folder it describes, named after the folder and creationDate;
    // the name written, or empty when it could not be written whole.
    QString saveInFolder(const QString& folder) const;
    // Nothing, with the reason in error, when the document is no well-formed MHL 1.1 list or an
    // entry lacks its file, a usable size, or holds a path that leaves the folder.
    static std::optional<MediaHashList> read(QIODevice* in, QString* error);
};

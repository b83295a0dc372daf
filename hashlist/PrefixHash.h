#pragma once

#include "hashlist/Xxh64.h"

#include <QMap>
#include <QMutex>
#include <QString>

#include <optional>

// The xxHash64 of a file that is written in blocks in any order, computed as it is written.
// A block that continues the hashed prefix is hashed from memory, right after it was written;
// a block ahead of the prefix is only noted and read back from the file once the prefix reaches
// it. So every byte is hashed once and read back from the file at most once. Safe to feed from
// several write jobs at a time.
class PrefixHash {
public:
    // The file at path, of size bytes when complete.
    PrefixHash(const QString& path, qint64 size);

    // Bytes [offset, offset + size) of the file are on disk already (a download resumed into
    // it); they are read when the prefix reaches them.
    void noteWritten(qint64 offset, qint64 size);
    // data (size bytes) has just been written at offset. Repeated or overlapping bytes are
    // taken once.
    void written(qint64 offset, const uchar* data, qint64 size);

    // The digest of the whole file once every byte is written: the rest of the prefix is read
    // from the file. Nothing when the file cannot be read that far.
    std::optional<quint64> finish();

    qint64 hashedBytes() const;

private:
    // Advances the prefix over noted blocks; false when reading the file failed.
    bool catchUp(qint64 until);

    mutable QMutex mutex_;
    QString path_;
    qint64 size_;
    qint64 hashed_ = 0;
    bool readFailed_ = false;
    QMap<qint64, qint64> ahead_; // start -> end of written blocks beyond the prefix
    Xxh64 hash_;
};

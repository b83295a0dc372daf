#pragma once

#include <QFile>
#include <QMutex>
#include <QString>

#include <optional>

// The outcome of one background write.
struct WriteResult {
    bool complete = false; // every byte written
    quint64 bytesWritten = 0;
    quint32 elapsedMs = 0;
};

// One file of a clip folder that background jobs write into: the frame file or "calib.bin".
// Its mutex serialises the jobs and keeps closing and mapping out of a running write.
class StoreFile {
public:
    explicit StoreFile(const QString& path) : file_(path) {}
    ~StoreFile();

    // Opens read-write, creating the file when it is missing. With a size, the file is set to
    // that size (sparse where the file system allows), so every block has its place at once.
    bool open(std::optional<qint64> size = std::nullopt);
    void close();

    // Writes the bytes at the offset, repeating short writes until all are written or the
    // system writes nothing more (full disk, I/O error).
    WriteResult writeAt(qint64 offset, const uchar* data, qint64 size);

    // Maps the whole file; nothing for an empty file or when mapping fails.
    const uchar* map(qint64* length);

private:
    QFile file_;
    QMutex mutex_;
    uchar* mapping_ = nullptr;
};

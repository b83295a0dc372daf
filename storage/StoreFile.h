#pragma once

#include <QMutex>
#include <QString>

#include <memory>
#include <optional>

// The outcome of one background write.
struct WriteResult {
    bool complete = false; // every byte written and flushed to the device
    quint64 bytesWritten = 0;
    quint32 elapsedMs = 0;
};

// One file of a clip folder that background jobs write into: the frame file or "calib.bin".
//
// Jobs write disjoint ranges at the same time with positioned writes; no lock is held while
// they write. Where the file system takes direct I/O, the page-aligned middle of a range goes
// from its memory to the device without a copy into the page cache (the memory must have the
// range's position within a page, as ReceiveBuffer has); the unaligned head and tail, and
// everything on a file system that refuses direct I/O, go through the page cache. A range is
// flushed to the device before its write counts as complete, so that a range recorded as
// present is on the disk.
//
// The read-only mapping stays coherent with direct writes: before and after a direct write
// the kernel writes back and drops the cached pages of its range (unmapping them from the
// mapping), so the next read through the mapping fetches the new data. A read-only mapping
// cannot dirty a page under a direct write.
class StoreFile {
public:
    // File offsets, lengths and memory of direct writes are multiples of this.
    static constexpr qint64 DirectAlignment = 4096;

    explicit StoreFile(const QString& path);
    ~StoreFile();
    StoreFile(const StoreFile&) = delete;
    StoreFile& operator=(const StoreFile&) = delete;

    // Opens read-write, creating the file when it is missing. With a size, the file is set to
    // that size (sparse where the file system allows), so every block has its place at once.
    bool open(std::optional<qint64> size = std::nullopt);
    // Unmaps and closes; writes still running finish on the file they started on.
    void close();

    // Writes the bytes at the offset, repeating short writes until all are written or the
    // system writes nothing more (full disk, I/O error), then flushes them to the device.
    // Safe to call from several threads at once for disjoint ranges.
    WriteResult writeAt(qint64 offset, const uchar* data, qint64 size);

    // Maps the whole file read-only; nothing for an empty file or when mapping fails.
    const uchar* map(qint64* length);

    // Whether aligned ranges go to the device directly: false before the first write and
    // where the file system refuses direct I/O.
    bool writesDirect() const;

private:
    struct Descriptors;
    std::shared_ptr<Descriptors> descriptors(bool forWriting);
    void unmap();

    const QString path_;
    mutable QMutex mutex_; // guards the members below; never held during a write
    std::shared_ptr<Descriptors> descriptors_;
    uchar* mapping_ = nullptr;
    qint64 mappedLength_ = 0;
};

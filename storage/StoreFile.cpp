#include "storage/StoreFile.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QFile>
#include <QMutexLocker>
#include <QSet>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>

// The open file. It closes when the StoreFile and every write that started on it have let go,
// so closing never pulls the descriptor from under a running write.
struct StoreFile::Descriptors {
    int buffered = -1;
    int direct = -1;          // for direct writes; -1 where the file system refuses them
    bool directTried = false; // guarded by the StoreFile's mutex
    std::atomic<bool> directUsable{false};
    std::atomic<bool> directProven{false}; // a direct write has succeeded

    Descriptors() = default;
    Descriptors(const Descriptors&) = delete;
    Descriptors& operator=(const Descriptors&) = delete;
    ~Descriptors()
    {
        if (direct >= 0)
            ::close(direct);
        if (buffered >= 0)
            ::close(buffered);
    }
};

namespace {

constexpr qint64 Alignment = StoreFile::DirectAlignment;

qint64 alignDown(qint64 offset)
{
    return offset / Alignment * Alignment;
}

qint64 alignUp(qint64 offset)
{
    return alignDown(offset + Alignment - 1);
}

// Said once per file system: every file of every clip there is written the same way.
void reportPageCacheWrites(int descriptor, const QString& path, int error)
{
    static QMutex mutex;
    static QSet<dev_t> reported;
    struct stat info {};
    const dev_t device = fstat(descriptor, &info) == 0 ? info.st_dev : 0;
    QMutexLocker lock(&mutex);
    if (reported.contains(device))
        return;
    reported.insert(device);
    qInfo().noquote() << "Direct I/O refused for" << path
                      << "(" + QString::fromLocal8Bit(std::strerror(error))
            + "): clips on this file system are written through the page cache";
}

// Positioned writes until every byte is written; false, with the reason logged, when the
// system writes nothing more.
bool writeFully(int descriptor, const uchar* data, qint64 offset, qint64 size, qint64* written, const QString& path)
{
    while (size > 0) {
        const ssize_t n = ::pwrite(descriptor, data, size_t(size), offset);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            qDebug().noquote() << "Write to" << path << "stopped:"
                               << (n < 0 ? QString::fromLocal8Bit(std::strerror(errno))
                                         : QStringLiteral("no progress"));
            return false;
        }
        data += n;
        offset += n;
        size -= n;
        *written += n;
    }
    return true;
}

} // namespace

StoreFile::StoreFile(const QString& path) : path_(path)
{}

StoreFile::~StoreFile()
{
    close();
}

bool StoreFile::open(std::optional<qint64> size)
{
    QMutexLocker lock(&mutex_);
    if (!descriptors_) {
        const int descriptor = ::open(QFile::encodeName(path_).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (descriptor < 0) {
            qDebug().noquote() << "Cannot open" << path_ << std::strerror(errno);
            return false;
        }
        descriptors_ = std::make_shared<Descriptors>();
        descriptors_->buffered = descriptor;
    }
    if (size && ::ftruncate(descriptors_->buffered, *size) != 0) {
        qDebug().noquote() << "Cannot size" << path_ << "to" << *size << std::strerror(errno);
        return false;
    }
    return true;
}

void StoreFile::close()
{
    QMutexLocker lock(&mutex_);
    unmap();
    descriptors_.reset();
}

void StoreFile::unmap()
{
    if (mapping_)
        ::munmap(mapping_, size_t(mappedLength_));
    mapping_ = nullptr;
    mappedLength_ = 0;
}

std::shared_ptr<StoreFile::Descriptors> StoreFile::descriptors(bool forWriting)
{
    QMutexLocker lock(&mutex_);
    // The direct descriptor is opened with the first write, so that clips only played back
    // never try it.
    if (descriptors_ && forWriting && !descriptors_->directTried) {
        descriptors_->directTried = true;
        descriptors_->direct = ::open(QFile::encodeName(path_).constData(), O_WRONLY | O_DIRECT | O_CLOEXEC);
        if (descriptors_->direct >= 0)
            descriptors_->directUsable = true;
        else
            reportPageCacheWrites(descriptors_->buffered, path_, errno);
    }
    return descriptors_;
}

bool StoreFile::writesDirect() const
{
    QMutexLocker lock(&mutex_);
    return descriptors_ && descriptors_->directUsable;
}

WriteResult StoreFile::writeAt(qint64 offset, const uchar* data, qint64 size)
{
    QElapsedTimer timer;
    timer.start();
    WriteResult result;
    const std::shared_ptr<Descriptors> file = descriptors(true);
    if (!file || offset < 0 || size < 0)
        return result;

    qint64 written = 0;
    const qint64 end = offset + size;
    const qint64 directBegin = alignUp(offset);
    const qint64 directEnd = std::max(directBegin, alignDown(end));
    const uchar* middle = data + (directBegin - offset);
    bool ok = false;
    if (file->directUsable && directEnd > directBegin && quintptr(middle) % quintptr(Alignment) == 0) {
        ok = writeFully(file->buffered, data, offset, directBegin - offset, &written, path_);
        qint64 at = directBegin;
        while (ok && at < directEnd) {
            const ssize_t n = ::pwrite(file->direct, data + (at - offset), size_t(directEnd - at), at);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno == EINVAL) {
                // The page cache takes the range. A file system that opens for direct I/O
                // but refuses its writes (one needing a larger alignment, say) gets no more
                // of them; after direct writes went through, the refusal is this range's own
                // (a write cut short by a file size limit, say).
                if (!file->directProven) {
                    file->directUsable = false;
                    reportPageCacheWrites(file->buffered, path_, errno);
                }
                break;
            }
            if (n <= 0) {
                qDebug().noquote() << "Direct write to" << path_ << "stopped:"
                                   << (n < 0 ? QString::fromLocal8Bit(std::strerror(errno))
                                             : QStringLiteral("no progress"));
                ok = false;
                break;
            }
            file->directProven = true;
            at += n;
            written += n;
            if (n % Alignment != 0)
                break; // a short write left the rest unaligned
        }
        ok = ok && writeFully(file->buffered, data + (at - offset), at, end - at, &written, path_);
    } else {
        ok = writeFully(file->buffered, data, offset, size, &written, path_);
    }
    // Only data on the device count: the caller records the range as present after this.
    if (ok && ::fdatasync(file->buffered) != 0) {
        qDebug().noquote() << "Flush of" << path_ << "failed:" << std::strerror(errno);
        ok = false;
    }

    result.complete = ok && written == size;
    result.bytesWritten = quint64(written);
    result.elapsedMs = quint32(timer.elapsed());
    return result;
}

const uchar* StoreFile::map(qint64* length)
{
    QMutexLocker lock(&mutex_);
    *length = 0;
    unmap();
    struct stat info {};
    if (!descriptors_ || fstat(descriptors_->buffered, &info) != 0 || info.st_size <= 0)
        return nullptr;
    void* mapping = ::mmap(nullptr, size_t(info.st_size), PROT_READ, MAP_SHARED, descriptors_->buffered, 0);
    if (mapping == MAP_FAILED)
        return nullptr;
    mapping_ = static_cast<uchar*>(mapping);
    mappedLength_ = info.st_size;
    *length = mappedLength_;
    return mapping_;
}

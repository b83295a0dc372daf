#include "storage/ReceiveMemory.h"

#include <unistd.h>

#include <new>

qint64 ReceiveMemory::defaultBudget()
{
    constexpr qint64 OneGiB = qint64(1) << 30;
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0)
        return OneGiB;
    return std::min(OneGiB, qint64(pages) * pageSize / 8);
}

bool ReceiveMemory::reserve(qint64 bytes)
{
    if (bytes < 0)
        return false;
    qint64 used = inUse_.load();
    do {
        const bool fits = bytes <= budget_.load() - used;
        if (!fits && used != 0)
            return false;
    } while (!inUse_.compare_exchange_weak(used, used + bytes));
    return true;
}

void ReceiveMemory::release(qint64 bytes)
{
    inUse_.fetch_sub(bytes);
}

QSharedPointer<ReceiveBuffer> ReceiveBuffer::allocate(QSharedPointer<ReceiveMemory> memory,
                                                       qint64 bytes, const ClipSegment& frames,
                                                       bool calibration)
{
    if (bytes <= 0 || !memory->reserve(bytes))
        return nullptr;
    std::unique_ptr<uchar[]> data(new (std::nothrow) uchar[size_t(bytes)]);
    if (!data) {
        memory->release(bytes);
        return nullptr;
    }
    return QSharedPointer<ReceiveBuffer>(
        new ReceiveBuffer(std::move(memory), std::move(data), bytes, frames, calibration));
}

ReceiveBuffer::ReceiveBuffer(QSharedPointer<ReceiveMemory> memory, std::unique_ptr<uchar[]> data,
                             qint64 size, const ClipSegment& frames, bool calibration)
    : memory_(std::move(memory)), data_(std::move(data)), size_(size), frames_(frames),
      calibration_(calibration)
{
}

ReceiveBuffer::~ReceiveBuffer()
{
    memory_->release(size_);
}

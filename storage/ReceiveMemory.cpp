#include "storage/ReceiveMemory.h"

#include <QMutexLocker>
#include <QThreadPool>

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>

qint64 ReceiveMemory::defaultBudget()
{
    constexpr qint64 OneGiB = qint64(1) << 30;
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0)
        return OneGiB;
    return std::min(OneGiB, qint64(pages) * pageSize / 8);
}

qint64 ReceiveMemory::sparesTotal() const
{
    qint64 total = 0;
    for (const Spare& s : spares_)
        total += s.bytes;
    return total;
}

PageAlignedBytes ReceiveMemory::take(qint64 bytes, bool* fresh)
{
    if (fresh)
        *fresh = false;
    if (bytes <= 0)
        return nullptr;
    std::vector<Spare> freed; // freed after the lock: giving pages back takes a while
    QMutexLocker lock(&mutex_);
    const auto same =
        std::find_if(spares_.begin(), spares_.end(), [bytes](const Spare& s) { return s.bytes == bytes; });
    if (same != spares_.end()) {
        PageAlignedBytes data = std::move(same->data);
        spares_.erase(same);
        inUse_ += bytes;
        return data;
    }
    // Spares of other sizes make room before a block is refused.
    qint64 spare = sparesTotal();
    while (!spares_.empty() && inUse_ + spare + bytes > budget_) {
        spare -= spares_.back().bytes;
        freed.push_back(std::move(spares_.back()));
        spares_.pop_back();
    }
    const bool fits = inUse_ + spare + bytes <= budget_;
    if (!fits && inUse_ + spare != 0)
        return nullptr;
    // One page for the shift to the file's position within a page, and whole pages in all.
    const size_t capacity = size_t((bytes + 2 * PageBytes - 1) / PageBytes * PageBytes);
    PageAlignedBytes data(static_cast<uchar*>(std::aligned_alloc(size_t(PageBytes), capacity)));
    if (!data)
        return data;
    // Huge pages where the system allows them: the receive thread then takes one page fault per
    // 2 MiB of a fresh block instead of 512.
    madvise(data.get(), capacity, MADV_HUGEPAGE);
    inUse_ += bytes;
    if (fresh)
        *fresh = true;
    return data;
}

void ReceiveMemory::give(PageAlignedBytes data, qint64 bytes)
{
    std::vector<Spare> freed; // freed after the lock: giving pages back takes a while
    QMutexLocker lock(&mutex_);
    inUse_ -= bytes;
    if (inUse_ == 0)
        freed.swap(spares_);
    else if (inUse_ + sparesTotal() + bytes <= budget_)
        spares_.push_back({bytes, std::move(data)});
}

qint64 ReceiveMemory::inUse() const
{
    QMutexLocker lock(&mutex_);
    return inUse_;
}

qint64 ReceiveMemory::spareBytes() const
{
    QMutexLocker lock(&mutex_);
    return sparesTotal();
}

qint64 ReceiveMemory::budget() const
{
    QMutexLocker lock(&mutex_);
    return budget_;
}

void ReceiveMemory::setBudget(qint64 budget)
{
    QMutexLocker lock(&mutex_);
    budget_ = budget;
}

QSharedPointer<ReceiveBuffer> ReceiveBuffer::allocate(QSharedPointer<ReceiveMemory> memory, qint64 bytes,
                                                      const ClipSegment& frames, bool calibration, qint64 fileOffset)
{
    bool fresh = false;
    PageAlignedBytes data = memory->take(bytes, &fresh);
    if (!data)
        return nullptr;
    const qint64 lead = fileOffset % ReceiveMemory::PageBytes;
    QSharedPointer<ReceiveBuffer> buffer(
        new ReceiveBuffer(std::move(memory), std::move(data), lead, bytes, frames, calibration));
    if (fresh && bytes >= PrefaultBytes)
        prefault(buffer);
    return buffer;
}

void ReceiveBuffer::prefault(const QSharedPointer<ReceiveBuffer>& buffer)
{
    // The first write to a fresh page costs a fault and the page's clearing (on a virtual
    // machine several times the copy it serves). Faulted in here, on a thread of its own while
    // the block waits in the link's queue, that work leaves the receive thread, which would
    // otherwise pay it datagram by datagram. The block is held only while this runs: one given
    // back before is not faulted in at all.
    static QThreadPool* const pool = [] {
        auto* p = new QThreadPool;
        p->setMaxThreadCount(1);
        return p;
    }();
    pool->start([weak = buffer.toWeakRef()] {
        if (const QSharedPointer<ReceiveBuffer> held = weak.toStrongRef())
            madvise(held->data_.get(), size_t(held->lead_ + held->size_), MADV_POPULATE_WRITE);
    });
}

ReceiveBuffer::ReceiveBuffer(QSharedPointer<ReceiveMemory> memory, PageAlignedBytes data, qint64 lead, qint64 size,
                             const ClipSegment& frames, bool calibration)
    : memory_(std::move(memory)), data_(std::move(data)), lead_(lead), size_(size), frames_(frames),
      calibration_(calibration)
{}

ReceiveBuffer::~ReceiveBuffer()
{
    memory_->give(std::move(data_), size_);
}

#pragma once

#include "common/catalogue/ClipSegment.h"

#include <QMutex>
#include <QSharedPointer>
#include <QtGlobal>

#include <cstdlib>
#include <memory>
#include <vector>

// Memory of received blocks starts on a page boundary, so that the disk can take it by direct
// I/O; ReceiveBuffer places a block's data at the same position within a page as its place in
// the file.
struct PageAlignedFree {
    void operator()(uchar* bytes) const { std::free(bytes); }
};
using PageAlignedBytes = std::unique_ptr<uchar, PageAlignedFree>;

// The memory one clip may hold in received blocks that are not yet on disk. Blocks are handed
// out only while they fit, so a slow disk makes the download wait instead of filling memory;
// a block gives its bytes back when its last holder lets go of it (after its write job, or when
// its transfer failed).
//
// While a download has blocks in flight, a freed block is kept for the next block of the same
// size: memory the receive thread has filled before is filled several times faster than fresh
// pages, which the kernel must first fault in and clear. Spares count against the budget like
// blocks in use, make room for a block of another size when it needs it, and are all freed once
// no block is in use any more, so an idle clip holds nothing. Safe to use from any thread.
//
// Each block is handed out with one page more than it needs (not counted in the budget), room
// to shift its data to the position within a page that its file offset has.
class ReceiveMemory {
public:
    static constexpr qint64 PageBytes = 4096;

    // 1 GiB, or an eighth of the machine's memory when that is less.
    static qint64 defaultBudget();

    explicit ReceiveMemory(qint64 budget = defaultBudget()) : budget_(budget) {}

    // Page-aligned memory of bytes + PageBytes for one block of bytes; null when the block
    // does not fit or cannot be had. A single block larger than the whole budget is granted
    // while nothing else is held, so clips with huge frames still make progress, one block at
    // a time.
    // fresh, when given, says whether the memory is new rather than a spare filled before.
    PageAlignedBytes take(qint64 bytes, bool* fresh = nullptr);
    // Gives a block's memory back.
    void give(PageAlignedBytes data, qint64 bytes);

    qint64 inUse() const;
    qint64 spareBytes() const;
    qint64 budget() const;
    void setBudget(qint64 budget);

private:
    struct Spare {
        qint64 bytes;
        PageAlignedBytes data;
    };
    qint64 sparesTotal() const;

    mutable QMutex mutex_;
    qint64 budget_;
    qint64 inUse_ = 0;
    std::vector<Spare> spares_;
};

// One block of received data: a run of frames or the calibration, with the bytes the receive
// thread fills. Holds its share of the clip's receive memory for as long as it lives. Its data
// lie at the same position within a page as fileOffset, the place the block is written to, so
// that every page-aligned part of the file range is also page-aligned in memory.
class ReceiveBuffer {
public:
    // Nothing when the budget refuses the bytes or the allocation fails.
    static QSharedPointer<ReceiveBuffer> allocate(QSharedPointer<ReceiveMemory> memory, qint64 bytes,
                                                  const ClipSegment& frames, bool calibration, qint64 fileOffset);
    ~ReceiveBuffer();
    ReceiveBuffer(const ReceiveBuffer&) = delete;
    ReceiveBuffer& operator=(const ReceiveBuffer&) = delete;

    uchar* data() { return data_.get() + lead_; }
    const uchar* data() const { return data_.get() + lead_; }
    qint64 size() const { return size_; }
    // The frames the block holds, inclusive; meaningless for the calibration block.
    qint64 firstFrame() const { return frames_.first; }
    qint64 lastFrame() const { return frames_.last; }
    const ClipSegment& frames() const { return frames_; }
    bool isCalibration() const { return calibration_; }

private:
    // Fresh blocks from this size up have their pages faulted in ahead of the receive thread;
    // smaller ones are not worth a thread's hand-off.
    static constexpr qint64 PrefaultBytes = qint64(8) << 20;
    static void prefault(const QSharedPointer<ReceiveBuffer>& buffer);
    ReceiveBuffer(QSharedPointer<ReceiveMemory> memory, PageAlignedBytes data, qint64 lead, qint64 size,
                  const ClipSegment& frames, bool calibration);

    QSharedPointer<ReceiveMemory> memory_;
    PageAlignedBytes data_;
    qint64 lead_;
    qint64 size_;
    ClipSegment frames_;
    bool calibration_;
};

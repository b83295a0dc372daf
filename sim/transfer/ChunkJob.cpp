#include "sim/transfer/ChunkJob.h"

#include <algorithm>
#include <cstring>

ChunkJob::ChunkJob(const sockaddr_in& peer, const kvx::TxDataRequest& request, const SimClip& clip, Source source,
                   quint64 sourceOffset, quint64 dataBytes)
    : peer_(peer), request_(request), clip_(clip), source_(source), sourceOffset_(sourceOffset), dataBytes_(dataBytes),
      queued_(request.packetCount, false)
{}

bool ChunkJob::samePeer(const sockaddr_in& peer) const
{
    return peer.sin_addr.s_addr == peer_.sin_addr.s_addr && peer.sin_port == peer_.sin_port;
}

quint32 ChunkJob::takeNext(bool* isResend)
{
    quint32 index;
    if (!resend_.empty()) {
        index = resend_.front();
        resend_.pop_front();
        queued_[index] = false;
        *isResend = true;
    } else {
        index = nextIndex_++;
        *isResend = false;
    }
    if (!hasPacketReady())
        chunkSentDue_ = true;
    return index;
}

size_t ChunkJob::writePacket(quint32 index, uchar* out) const
{
    kvx::TxPacketHead{index, request_.chunkId}.encodeInto(out);
    uchar* payload = out + kvx::TxPacketHead::Size;
    const quint64 size = request_.payloadSize;
    const quint64 start = quint64(index) * size;
    const quint64 real = start < dataBytes_ ? std::min(size, dataBytes_ - start) : 0;
    if (source_ == Source::Calibration)
        fillCalibration(clip_, sourceOffset_ + start, qsizetype(real), payload);
    else
        fillClipBytes(clip_, sourceOffset_ + start, qsizetype(real), payload);
    if (real < size)
        std::memset(payload + real, 0, size_t(size - real));
    return datagramSize();
}

bool ChunkJob::takeMissingList(const kvx::TxMissingList& list)
{
    roundHadIndexes_ = roundHadIndexes_ || !list.indexes.isEmpty();
    for (quint32 index : list.indexes) {
        if (index >= nextIndex_ || queued_[index])
            continue;
        queued_[index] = true;
        resend_.push_back(index);
    }
    if (!list.last)
        return false;
    const bool whole = !roundHadIndexes_ && !inFirstPass();
    roundHadIndexes_ = false;
    return whole;
}

bool ChunkJob::takeChunkSentDue()
{
    const bool due = chunkSentDue_;
    chunkSentDue_ = false;
    return due;
}

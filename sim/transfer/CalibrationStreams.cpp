#include "sim/transfer/CalibrationStreams.h"

quint64 CalibrationStreams::offsetFor(quint32 receiverIPv4, quint32 clipNumber, quint64 chunkId, quint64 chunkBytes,
                                      quint64 blockBytes)
{
    constexpr quint64 ChunkIdRange = 65536;
    chunkId %= ChunkIdRange;
    Stream& s = streams_[{receiverIPv4, clipNumber}];
    if (auto seen = s.offsets.find(chunkId); seen != s.offsets.end())
        return seen->second;

    quint64 offset = 0;
    if (!s.offsets.empty() && chunkId == s.nextChunkId && s.nextOffset < blockBytes)
        offset = s.nextOffset;
    else
        s.offsets.clear();
    s.offsets[chunkId] = offset;
    s.nextChunkId = (chunkId + 1) % ChunkIdRange;
    s.nextOffset = offset + chunkBytes;
    return offset;
}

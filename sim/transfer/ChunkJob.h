#pragma once

#include "common/packets/TransferPackets.h"
#include "sim/ClipContent.h"

#include <netinet/in.h>

#include <deque>
#include <vector>

// One chunk the transfer server is sending: the data request it answers, where its bytes come
// from, how far the first pass got and which packets the receiver asked for again.
class ChunkJob {
public:
    enum class Source { Frames, Calibration };

    // sourceOffset: byte of the frame area or calibration block where packet 0 starts;
    // dataBytes: bytes of real data in the chunk (the tail packet is padded with zeros).
    ChunkJob(const sockaddr_in& peer, const kvx::TxDataRequest& request, const SimClip& clip, Source source,
             quint64 sourceOffset, quint64 dataBytes);

    const sockaddr_in& peer() const { return peer_; }
    const kvx::TxDataRequest& request() const { return request_; }
    quint64 chunkId() const { return request_.chunkId; }
    quint32 slot() const { return request_.slot; }
    bool samePeer(const sockaddr_in& peer) const;

    bool inFirstPass() const { return nextIndex_ < request_.packetCount; }
    bool resending() const { return !resend_.empty(); }
    bool hasPacketReady() const { return inFirstPass() || resending(); }

    // Index of the next packet to send (resends first) and whether it is a resend.
    quint32 takeNext(bool* isResend);
    // Writes the whole datagram of packet index (head + payload) into out; returns its size.
    size_t writePacket(quint32 index, uchar* out) const;
    size_t datagramSize() const { return kvx::TxPacketHead::Size + request_.payloadSize; }

    // Takes one datagram of a missing list. Indexes not yet sent in the first pass are left
    // to it. True when the list was empty from its first to its last datagram: the receiver
    // has the whole chunk.
    bool takeMissingList(const kvx::TxMissingList& list);

    // Set when the first pass or a round of resends has just been handed to the socket; the
    // server then announces "chunk sent".
    bool takeChunkSentDue();

    qint64 notBeforeNs = 0; // delay injection: nothing is sent before this time

private:
    sockaddr_in peer_;
    kvx::TxDataRequest request_;
    SimClip clip_;
    Source source_;
    quint64 sourceOffset_;
    quint64 dataBytes_;
    quint32 nextIndex_ = 0;
    std::deque<quint32> resend_;
    std::vector<bool> queued_;
    bool roundHadIndexes_ = false;
    bool chunkSentDue_ = false;
};

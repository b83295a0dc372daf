#include "sim/transfer/TransferServer.h"

#include "common/packets/PacketMagic.h"
#include "common/packets/TransferPackets.h"
#include "sim/SimLog.h"
#include "sim/transfer/CalibrationStreams.h"
#include "sim/transfer/ChunkJob.h"
#include "sim/transfer/TokenBucket.h"
#include "sim/transfer/UdpBatchSocket.h"

#include <QJsonObject>

#include <arpa/inet.h>
#include <sys/prctl.h>

#include <algorithm>
#include <chrono>
#include <deque>
#include <list>
#include <vector>

namespace {

qint64 nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

constexpr qint64 MsNs = 1000000;
constexpr int BatchPackets = 32;
constexpr quint32 MaxPayload = 65507 - quint32(kvx::TxPacketHead::Size);
constexpr quint32 MaxPacketsPerChunk = 1u << 20;
constexpr size_t MaxJobs = 64;
// A receiver has two slots; this leaves room for resends and for a few programs on one host.
constexpr size_t MaxJobsPerHost = 8;

QString peerText(const sockaddr_in& a)
{
    return QHostAddress(ntohl(a.sin_addr.s_addr)).toString() + u':' + QString::number(ntohs(a.sin_port));
}

} // namespace

// Everything the server's thread owns. Only the counters are read from other threads.
class TransferServer::Loop {
public:
    // The bucket holds up to 5 ms of sending, so a thread that the scheduler kept off the CPU
    // for a few milliseconds catches up instead of losing rate.
    Loop(TransferServer& server)
        : s_(server), dice_(server.faults_),
          bucket_(server.rateGbps_ * 1e9 / 8, std::max(2.0 * BatchPackets * 9000, server.rateGbps_ * 1e9 / 8 * 0.005))
    {
        for (auto& b : buffers_)
            b.resize(kvx::TxPacketHead::Size + MaxPayload);
        held_.resize(kvx::TxPacketHead::Size + MaxPayload);
    }

    UdpBatchSocket socket;
    std::atomic<quint64> packetsSent{0}, packetsResent{0}, requestsSeen{0}, statusQueries{0}, missingLists{0},
        bytesSent{0}, packetsDropped{0}, packetsDuplicated{0}, packetsHeldBack{0};

    void run();

private:
    struct Control {
        qint64 dueNs;
        QByteArray bytes;
        sockaddr_in to;
    };

    void receiveAll(qint64 now);
    void handle(QByteArrayView datagram, const sockaddr_in& from, qint64 now);
    void onDataRequest(const kvx::TxDataRequest& request, const sockaddr_in& from, qint64 now);
    void onStatusQuery(const kvx::TxDataRequest& head, const sockaddr_in& from, qint64 now);
    void onMissingList(const kvx::TxMissingList& list, const sockaddr_in& from, qint64 now);
    void sendEvent(const sockaddr_in& to, quint32 type, quint64 chunkId, quint32 slot, quint32 code, qint64 now);
    void sendControl(QByteArray bytes, const sockaddr_in& to, bool droppable, qint64 now);
    void sendDueControl(qint64 now);
    // Builds and sends one batch of data packets; false when nothing could be sent now.
    bool sendDataBatch(qint64 now);
    bool anyJobReady(qint64 now) const;
    bool silent(qint64 now);
    qint64 nextWakeNs(qint64 now) const;
    std::list<ChunkJob>::iterator findJob(const sockaddr_in& peer, quint32 slot);
    void makeRoomFor(const sockaddr_in& peer);
    void log(const char* dir, const char* kind, QJsonObject fields);
    void flush(std::vector<UdpBatchSocket::Datagram>& out);

    TransferServer& s_;
    FaultDice dice_;
    TokenBucket bucket_;
    CalibrationStreams calibration_;
    std::list<ChunkJob> jobs_;
    std::deque<Control> controls_;
    std::vector<uchar> buffers_[BatchPackets];
    std::vector<uchar> held_;
    size_t heldSize_ = 0;
    sockaddr_in heldTo_{};
    size_t roundRobin_ = 0;
    quint64 dataPackets_ = 0; // first passes and resends, for the "after N packets" faults
    bool errorFired_ = false;
    bool stopFired_ = false;
    qint64 silentUntilNs_ = 0; // -1: for good
};

void TransferServer::Loop::log(const char* dir, const char* kind, QJsonObject fields)
{
    if (s_.log_)
        s_.log_->write(s_.recorderId_, s_.bindAddress_.toString(), dir, kind, std::move(fields));
}

void TransferServer::Loop::run()
{
    // Pacing sleeps are a few tens of microseconds; the default 50 us timer slack would blur them.
    ::prctl(PR_SET_TIMERSLACK, 1000UL, 0, 0, 0);
    while (!s_.stopping_.load(std::memory_order_relaxed)) {
        const qint64 now = nowNs();
        receiveAll(now);
        if (silent(now)) {
            socket.wait(silentUntilNs_ < 0 ? 5 * MsNs : std::min(5 * MsNs, silentUntilNs_ - now), false);
            continue;
        }
        sendDueControl(now);
        if (anyJobReady(now)) {
            bucket_.refill(now);
            if (!sendDataBatch(now))
                socket.wait(bucket_.nsUntil(BatchPackets / 2 * 9000.0), false);
        } else {
            socket.wait(nextWakeNs(now), false);
        }
    }
}

bool TransferServer::Loop::silent(qint64 now)
{
    if (silentUntilNs_ == 0)
        return false;
    if (silentUntilNs_ > 0 && now >= silentUntilNs_) {
        silentUntilNs_ = 0;
        log("event", "resumed", {});
        return false;
    }
    return true;
}

qint64 TransferServer::Loop::nextWakeNs(qint64 now) const
{
    qint64 wake = 5 * MsNs;
    for (const Control& c : controls_)
        wake = std::min(wake, c.dueNs - now);
    for (const ChunkJob& j : jobs_)
        if (j.hasPacketReady())
            wake = std::min(wake, j.notBeforeNs - now);
    return std::max<qint64>(wake, 0);
}

void TransferServer::Loop::receiveAll(qint64 now)
{
    static thread_local std::vector<uchar> buffer(65536);
    sockaddr_in from{};
    for (int i = 0; i < 1024; ++i) {
        const qsizetype n = socket.receive(buffer.data(), buffer.size(), &from);
        if (n < 0)
            return;
        if (silent(now)) {
            log("in", "ignored-while-silent", {{"bytes", n}, {"from", peerText(from)}});
            continue;
        }
        handle(QByteArrayView(buffer.data(), n), from, now);
    }
}

void TransferServer::Loop::handle(QByteArrayView datagram, const sockaddr_in& from, qint64 now)
{
    const auto head =
        kvx::peekMagic(datagram) == kvx::magic::TxRequest ? kvx::TxDataRequest::decodeHead(datagram) : std::nullopt;
    if (!head) {
        log("in", "unknown", {{"bytes", datagram.size()}, {"from", peerText(from)}});
        return;
    }
    switch (head->type) {
    case kvx::TxDataRequest::SendData:
        if (const auto request = kvx::TxDataRequest::decode(datagram))
            onDataRequest(*request, from, now);
        else
            log("in", "short-request", {{"bytes", datagram.size()}, {"from", peerText(from)}});
        return;
    case kvx::TxDataRequest::StatusQuery:
        onStatusQuery(*head, from, now);
        return;
    case kvx::TxDataRequest::MissingList:
        if (const auto list = kvx::TxMissingList::decode(datagram))
            onMissingList(*list, from, now);
        else
            log("in", "short-missing-list", {{"bytes", datagram.size()}, {"from", peerText(from)}});
        return;
    default:
        log("in", "unknown-type", {{"type", qint64(head->type)}, {"from", peerText(from)}});
    }
}

// A host asking for many chunks at once (one per slot number it makes up) gives up its own
// oldest chunk first, so it cannot push other receivers' chunks out of the table.
void TransferServer::Loop::makeRoomFor(const sockaddr_in& peer)
{
    const auto sameHost = [&](const ChunkJob& j) { return j.peer().sin_addr.s_addr == peer.sin_addr.s_addr; };
    if (size_t(std::count_if(jobs_.begin(), jobs_.end(), sameHost)) >= MaxJobsPerHost)
        jobs_.erase(std::find_if(jobs_.begin(), jobs_.end(), sameHost));
    else if (jobs_.size() >= MaxJobs)
        jobs_.pop_front();
}

std::list<ChunkJob>::iterator TransferServer::Loop::findJob(const sockaddr_in& peer, quint32 slot)
{
    return std::find_if(jobs_.begin(), jobs_.end(),
                        [&](const ChunkJob& j) { return j.samePeer(peer) && j.slot() == slot; });
}

void TransferServer::Loop::onDataRequest(const kvx::TxDataRequest& r, const sockaddr_in& from, qint64 now)
{
    ++requestsSeen;
    const bool calibration = r.flags & 1;
    log("in", "TxDataRequest",
        {{"from", peerText(from)},
         {"chunk", qint64(r.chunkId)},
         {"slot", qint64(r.slot)},
         {"payload", qint64(r.payloadSize)},
         {"packets", qint64(r.packetCount)},
         {"flags", qint64(r.flags)},
         {"first", qint64(r.firstFrame)},
         {"last", qint64(r.lastFrame)},
         {"clip", qint64(r.clipNumber)}});

    auto existing = findJob(from, r.slot);
    if (existing != jobs_.end() && existing->chunkId() == r.chunkId && existing->inFirstPass())
        return; // a resent request while its chunk is already streaming
    if (existing != jobs_.end())
        jobs_.erase(existing);

    auto fail = [&](quint32 code) { sendEvent(from, kvx::TxEvent::Error, r.chunkId, r.slot, code, now); };
    if (r.payloadSize == 0 || r.payloadSize > MaxPayload || r.packetCount == 0 || r.packetCount > MaxPacketsPerChunk)
        return fail(BadPacketLayout);
    const std::optional<SimClip> clip = s_.clips_(r.clipNumber);
    if (!clip)
        return fail(UnknownClip);

    const quint64 chunkBytes = quint64(r.payloadSize) * r.packetCount;
    quint64 offset, dataBytes;
    if (calibration) {
        const quint64 block = calibrationBytes(*clip);
        offset = calibration_.offsetFor(ntohl(from.sin_addr.s_addr), r.clipNumber, r.chunkId, chunkBytes, block);
        dataBytes = offset < block ? std::min(chunkBytes, block - offset) : 0;
    } else {
        const quint64 frame = frameSize(*clip);
        if (frame == 0 || r.firstFrame > r.lastFrame || r.lastFrame >= clip->info.totalFrames)
            return fail(FramesOutsideClip);
        offset = quint64(r.firstFrame) * frame;
        dataBytes = std::min(chunkBytes, (quint64(r.lastFrame) - r.firstFrame + 1) * frame);
    }
    makeRoomFor(from);
    ChunkJob& job = jobs_.emplace_back(
        from, r, *clip, calibration ? ChunkJob::Source::Calibration : ChunkJob::Source::Frames, offset, dataBytes);
    job.notBeforeNs = now + s_.faults_.delayMs * MsNs;
    sendEvent(from, kvx::TxEvent::DataBegins, r.chunkId, r.slot, 0, now);
    if (calibration)
        log("event", "calibration-offset", {{"chunk", qint64(r.chunkId)}, {"offset", qint64(offset)}});
}

void TransferServer::Loop::onStatusQuery(const kvx::TxDataRequest& q, const sockaddr_in& from, qint64 now)
{
    ++statusQueries;
    auto job = findJob(from, q.slot);
    quint32 code = NoSuchChunk;
    if (job != jobs_.end() && job->chunkId() == q.chunkId)
        code = job->inFirstPass() ? Sending : job->resending() ? Resending : AwaitingMissingList;
    log("in", "TxStatusQuery",
        {{"from", peerText(from)}, {"chunk", qint64(q.chunkId)}, {"slot", qint64(q.slot)}, {"answer", qint64(code)}});
    sendControl(kvx::TxStatus{code, q.chunkId, q.slot}.encode(), from, true, now);
}

void TransferServer::Loop::onMissingList(const kvx::TxMissingList& list, const sockaddr_in& from, qint64 now)
{
    ++missingLists;
    log("in", "TxMissingList",
        {{"from", peerText(from)},
         {"chunk", qint64(list.request.chunkId)},
         {"slot", qint64(list.request.slot)},
         {"count", list.indexes.size()},
         {"last", list.last}});
    auto job = findJob(from, list.request.slot);
    if (job == jobs_.end() || job->chunkId() != list.request.chunkId)
        return;
    if (job->takeMissingList(list)) {
        log("event", "chunk-done", {{"chunk", qint64(job->chunkId())}, {"slot", qint64(job->slot())}});
        jobs_.erase(job);
        return;
    }
    if (job->resending())
        job->notBeforeNs = std::max(job->notBeforeNs, now + s_.faults_.delayMs * MsNs);
}

void TransferServer::Loop::sendEvent(const sockaddr_in& to, quint32 type, quint64 chunkId, quint32 slot, quint32 code,
                                     qint64 now)
{
    log("event", "TxEvent",
        {{"to", peerText(to)},
         {"type", qint64(type)},
         {"chunk", qint64(chunkId)},
         {"slot", qint64(slot)},
         {"code", qint64(code)}});
    // An error event is what a fault test waits for; only the routine events may be dropped.
    sendControl(kvx::TxEvent{type, chunkId, slot, code}.encode(), to, type != kvx::TxEvent::Error, now);
}

void TransferServer::Loop::sendControl(QByteArray bytes, const sockaddr_in& to, bool droppable, qint64 now)
{
    if (droppable && dice_.dropControl()) {
        log("event", "dropped-control", {{"to", peerText(to)}});
        return;
    }
    controls_.push_back({now + s_.faults_.delayMs * MsNs, std::move(bytes), to});
    sendDueControl(now);
}

void TransferServer::Loop::sendDueControl(qint64 now)
{
    while (!controls_.empty() && controls_.front().dueNs <= now) {
        const Control& c = controls_.front();
        const UdpBatchSocket::Datagram d{c.bytes.constData(), size_t(c.bytes.size()), c.to};
        while (socket.send(&d, 1) == 0 && !s_.stopping_)
            socket.wait(MsNs, true);
        controls_.pop_front();
    }
}

bool TransferServer::Loop::anyJobReady(qint64 now) const
{
    return std::any_of(jobs_.begin(), jobs_.end(),
                       [&](const ChunkJob& j) { return j.hasPacketReady() && j.notBeforeNs <= now; });
}

void TransferServer::Loop::flush(std::vector<UdpBatchSocket::Datagram>& out)
{
    size_t done = 0;
    while (done < out.size() && !s_.stopping_) {
        const int n = socket.send(out.data() + done, int(out.size() - done));
        if (n == 0)
            socket.wait(MsNs, true);
        else
            done += size_t(std::abs(n)); // an error drops that datagram, like a lost packet
    }
    out.clear();
}

bool TransferServer::Loop::sendDataBatch(qint64 now)
{
    std::vector<UdpBatchSocket::Datagram> out;
    out.reserve(BatchPackets * 2 + 1);
    int used = 0;
    std::vector<ChunkJob*> ready;
    for (ChunkJob& j : jobs_)
        if (j.hasPacketReady() && j.notBeforeNs <= now)
            ready.push_back(&j);

    const TransferFaults& faults = s_.faults_;
    while (used < BatchPackets && !ready.empty()) {
        ChunkJob* job = ready[roundRobin_++ % ready.size()];
        const double bytes = double(job->datagramSize());
        if (!bucket_.allows(bytes))
            break;
        if (faults.errorAfterPackets >= 0 && !errorFired_ && dataPackets_ >= quint64(faults.errorAfterPackets)) {
            errorFired_ = true;
            flush(out);
            sendEvent(job->peer(), kvx::TxEvent::Error, job->chunkId(), job->slot(), faults.errorCode, now);
            jobs_.remove_if([&](const ChunkJob& j) { return &j == job; });
            return true;
        }
        if (faults.stopAfterPackets >= 0 && !stopFired_ && dataPackets_ >= quint64(faults.stopAfterPackets)) {
            stopFired_ = true;
            flush(out);
            silentUntilNs_ = faults.resumeAfterMs > 0 ? now + faults.resumeAfterMs * MsNs : -1;
            log("event", "silent", {{"resumeAfterMs", faults.resumeAfterMs}});
            return true;
        }

        bool resend = false;
        const quint32 index = job->takeNext(&resend);
        ++dataPackets_;
        (resend ? packetsResent : packetsSent)++;
        bucket_.consume(bytes);
        if (!job->hasPacketReady())
            ready.erase(std::find(ready.begin(), ready.end(), job));

        const auto fate = faults.any() ? dice_.nextDataPacket() : FaultDice::Fate::Send;
        if (fate == FaultDice::Fate::Drop) {
            ++packetsDropped;
            continue;
        }
        if (fate == FaultDice::Fate::HoldBack && heldSize_ == 0) {
            ++packetsHeldBack;
            heldSize_ = job->writePacket(index, held_.data());
            heldTo_ = job->peer();
            continue;
        }
        if (fate == FaultDice::Fate::Duplicate)
            ++packetsDuplicated;
        uchar* buffer = buffers_[used++].data();
        const size_t size = job->writePacket(index, buffer);
        out.push_back({buffer, size, job->peer()});
        if (fate == FaultDice::Fate::Duplicate)
            out.push_back({buffer, size, job->peer()});
        if (heldSize_) {
            out.push_back({held_.data(), heldSize_, heldTo_});
            heldSize_ = 0;
        }
        bytesSent += size * (fate == FaultDice::Fate::Duplicate ? 2 : 1);
    }
    if (heldSize_ && ready.empty()) { // nothing left to overtake it
        out.push_back({held_.data(), heldSize_, heldTo_});
        heldSize_ = 0;
    }
    const bool sentAny = used > 0 || !out.empty();
    flush(out);
    for (ChunkJob& j : jobs_)
        if (j.takeChunkSentDue())
            sendEvent(j.peer(), kvx::TxEvent::ChunkSent, j.chunkId(), j.slot(), 0, now);
    return sentAny || used > 0;
}

TransferServer::TransferServer(ClipLookup clips, QHostAddress bindAddress, quint16 port, TransferFaults faults,
                               double rateGbps)
    : clips_(std::move(clips)), bindAddress_(std::move(bindAddress)), port_(port), faults_(faults), rateGbps_(rateGbps)
{}

TransferServer::~TransferServer()
{
    stop();
}

void TransferServer::setLog(SimLog* log, quint64 recorderId)
{
    log_ = log;
    recorderId_ = recorderId;
}

bool TransferServer::start(QString* error)
{
    if (isRunning())
        return true;
    bool isV4 = false;
    const quint32 v4 = bindAddress_.toIPv4Address(&isV4);
    if (!isV4) {
        if (error)
            *error = QStringLiteral("transfer server needs an IPv4 address, not %1").arg(bindAddress_.toString());
        return false;
    }
    loop_ = std::make_unique<Loop>(*this);
    if (!loop_->socket.bind(v4, port_, error)) {
        loop_.reset();
        return false;
    }
    boundPort_ = loop_->socket.localPort();
    stopping_ = false;
    thread_ = std::thread([this] { loop_->run(); });
    return true;
}

void TransferServer::stop()
{
    if (!thread_.joinable())
        return;
    stopping_ = true;
    thread_.join();
}

TransferCounters TransferServer::counters() const
{
    TransferCounters c;
    if (!loop_)
        return c;
    c.packetsSent = loop_->packetsSent;
    c.packetsResent = loop_->packetsResent;
    c.requestsSeen = loop_->requestsSeen;
    c.statusQueries = loop_->statusQueries;
    c.missingLists = loop_->missingLists;
    c.bytesSent = loop_->bytesSent;
    c.packetsDropped = loop_->packetsDropped;
    c.packetsDuplicated = loop_->packetsDuplicated;
    c.packetsHeldBack = loop_->packetsHeldBack;
    return c;
}

#include "TransferTestClient.h"

#include "common/packets/PacketMagic.h"
#include "common/packets/TransferPackets.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QElapsedTimer>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {
struct Slot {
    bool busy = false;
    kvx::TxDataRequest request;
    quint64 offset = 0; // of the chunk in the result
    quint64 bytes = 0;
    std::vector<bool> received;
    quint32 have = 0;
    bool anyData = false;
    qint64 lastProgressMs = 0;
};
} // namespace

TransferTestClient::TransferTestClient(quint16 serverPort, quint16 firstChunkId, const QHostAddress& server)
    : nextChunkId_(firstChunkId)
{
    fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const int size = 64 << 20;
    if (::setsockopt(fd_, SOL_SOCKET, SO_RCVBUFFORCE, &size, sizeof size) != 0)
        ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(server.isLoopback() ? INADDR_LOOPBACK : INADDR_ANY);
    ::bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local);
    server_.sin_family = AF_INET;
    server_.sin_addr.s_addr = htonl(server.toIPv4Address());
    server_.sin_port = htons(serverPort);
}

TransferTestClient::~TransferTestClient()
{
    ::close(fd_);
}

bool TransferTestClient::sendRaw(const QByteArray& datagram)
{
    return ::sendto(fd_, datagram.constData(), size_t(datagram.size()), 0, reinterpret_cast<const sockaddr*>(&server_),
                    sizeof server_)
        == datagram.size();
}

QByteArray TransferTestClient::receiveRaw(int timeoutMs, bool skipData)
{
    QElapsedTimer clock;
    clock.start();
    QByteArray buffer(70000, '\0');
    while (clock.elapsed() <= timeoutMs) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, std::max<int>(1, timeoutMs - int(clock.elapsed()))) <= 0)
            continue;
        const ssize_t n = ::recv(fd_, buffer.data(), size_t(buffer.size()), 0);
        if (n < 0)
            continue;
        QByteArray datagram = buffer.left(n);
        if (skipData && kvx::peekMagic(datagram) == kvx::magic::TxPacket)
            continue;
        return datagram;
    }
    return {};
}

TransferTestClient::Result TransferTestClient::fetch(const Job& job, int timeoutMs, int maxQuietMs)
{
    Result result;
    const bool frameMode = !job.calibration;
    const quint64 total = frameMode ? (quint64(job.lastFrame) - job.firstFrame + 1) * job.frameSize : job.totalBytes;
    result.data = QByteArray(qsizetype(total), '\0');
    quint64 bytesIssued = 0;
    quint32 framesIssued = 0;
    const quint64 limit = quint64(job.payloadSize) * job.chunkPackets;

    Slot inFlight[2];
    QElapsedTimer clock;
    clock.start();
    qint64 lastDatagramMs = 0;
    std::vector<uchar> buffer(70000);

    auto sendRequest = [&](Slot& s) {
        sendRaw(s.request.encode());
        ++result.requestsSent;
    };
    auto sendMissing = [&](Slot& s) {
        kvx::TxMissingList list;
        list.request = s.request;
        for (quint32 i = 0; i < s.request.packetCount; ++i) {
            if (s.received[i])
                continue;
            if (list.indexes.size() == kvx::TxMissingList::MaxIndexes) {
                sendRaw(list.encode());
                ++result.missingListsSent;
                list.indexes.clear();
            }
            list.indexes.append(i);
        }
        if (list.indexes.isEmpty())
            s.busy = false;
        list.last = true;
        sendRaw(list.encode());
        ++result.missingListsSent;
    };
    auto issue = [&](int index) {
        Slot& s = inFlight[index];
        if (s.busy || bytesIssued >= total)
            return;
        quint64 chunk = std::min(total - bytesIssued, limit);
        kvx::TxDataRequest r;
        r.chunkId = nextChunkId_++;
        r.slot = quint32(index);
        r.payloadSize = job.payloadSize;
        r.clipNumber = job.clipNumber;
        r.flags = job.calibration ? 1 : 0;
        if (frameMode) {
            const quint64 frames =
                std::min<quint64>(job.lastFrame - job.firstFrame + 1 - framesIssued, limit / job.frameSize);
            chunk = frames * job.frameSize;
            r.firstFrame = job.firstFrame + framesIssued;
            r.lastFrame = r.firstFrame + quint32(frames) - 1;
            framesIssued += quint32(frames);
        }
        r.packetCount = quint32((chunk - 1) / job.payloadSize + 1);
        r.paddedSize = r.packetCount * job.payloadSize;
        s = Slot{true, r, bytesIssued, chunk, std::vector<bool>(r.packetCount), 0, false, clock.elapsed()};
        bytesIssued += chunk;
        sendRequest(s);
    };
    auto slotFor = [&](quint64 chunkId) -> Slot* {
        for (Slot& s : inFlight)
            if (s.busy && s.request.chunkId == chunkId)
                return &s;
        return nullptr;
    };

    while (clock.elapsed() < timeoutMs) {
        issue(0);
        issue(1);
        if (!inFlight[0].busy && !inFlight[1].busy && bytesIssued >= total) {
            result.ok = true;
            return result;
        }
        pollfd p{fd_, POLLIN, 0};
        ::poll(&p, 1, 2);
        for (;;) {
            const ssize_t n = ::recv(fd_, buffer.data(), buffer.size(), MSG_DONTWAIT);
            if (n < 0)
                break;
            lastDatagramMs = clock.elapsed();
            const QByteArrayView datagram(buffer.data(), n);
            const auto magic = kvx::peekMagic(datagram);
            if (magic == kvx::magic::TxPacket) {
                const auto head = kvx::TxPacketHead::decode(buffer.data(), n);
                Slot* s = head ? slotFor(head->chunkId) : nullptr;
                ++result.packetsReceived;
                result.bytesReceived += quint64(n);
                result.lastPacketNs = clock.nsecsElapsed();
                if (result.firstPacketNs < 0)
                    result.firstPacketNs = result.lastPacketNs;
                if (!s || head->index >= s->request.packetCount)
                    continue;
                s->anyData = true;
                s->lastProgressMs = clock.elapsed();
                if (!s->received[head->index]) {
                    const quint64 at = quint64(head->index) * job.payloadSize;
                    const quint64 take = std::min<quint64>(job.payloadSize, s->bytes - at);
                    if (quint64(n) >= kvx::TxPacketHead::Size + take)
                        std::memcpy(result.data.data() + s->offset + at, buffer.data() + kvx::TxPacketHead::Size, take);
                    s->received[head->index] = true;
                    ++s->have;
                }
                if (head->index == s->request.packetCount - 1)
                    sendMissing(*s);
            } else if (magic == kvx::magic::TxRequest) {
                const auto event = kvx::TxEvent::decode(datagram);
                if (!event)
                    continue;
                Slot* s = slotFor(event->chunkId);
                if (event->type == kvx::TxEvent::DataBegins) {
                    ++result.dataBegins;
                    if (s)
                        s->anyData = true;
                } else if (event->type == kvx::TxEvent::ChunkSent) {
                    ++result.chunkSent;
                    if (s)
                        sendMissing(*s);
                } else if (event->type == kvx::TxEvent::Error) {
                    result.errorCode = event->errorCode;
                    return result;
                }
            }
        }
        for (Slot& s : inFlight) {
            if (!s.busy || clock.elapsed() - s.lastProgressMs < 30)
                continue;
            ++result.quietTimeouts;
            if (s.anyData)
                sendMissing(s);
            else
                sendRequest(s);
            s.lastProgressMs = clock.elapsed();
        }
        if (clock.elapsed() - lastDatagramMs > maxQuietMs)
            return result;
    }
    return result;
}

// How fast the simulator's transfer server sends on loopback, unpaced and paced to 10 Gbit/s.
// A receiver that only counts asks for chunk after chunk (both slots in flight) and declares
// each chunk whole when it is announced as sent. Uses 127.0.0.1 only and stops by itself.
//
//   sim_send_rate [seconds per run, default 2]
// prints "name: value unit" lines.

#include "common/packets/PacketMagic.h"
#include "common/packets/TransferPackets.h"
#include "sim/ClipContent.h"
#include "sim/transfer/TransferServer.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Measured {
    double sentGbps;
    double receivedGbps;
    double lossPercent;
};

Measured run(double rateGbps, double seconds)
{
    SimClip clip;
    clip.info.width = clip.info.lineBytes = 1920;
    clip.info.height = clip.info.lineCount = 1080;
    clip.info.totalFrames = 1000000;
    TransferServer server([&](quint32) { return std::optional<SimClip>(clip); }, QHostAddress::LocalHost, 0, {},
                          rateGbps);
    if (!server.start())
        std::exit(1);

    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    const int size = 256 << 20;
    if (::setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &size, sizeof size) != 0)
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    sockaddr_in local{}, remote{};
    local.sin_family = remote.sin_family = AF_INET;
    local.sin_addr.s_addr = remote.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    remote.sin_port = htons(server.boundPort());
    ::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local);

    const quint32 payload = 8952, packets = 5000;
    const quint32 framesPerChunk = payload * packets / (1920 * 1080);
    quint64 chunkId = 0;
    quint32 nextFrame = 0;
    kvx::TxDataRequest inFlight[2];
    auto issue = [&](quint32 slot) {
        kvx::TxDataRequest& r = inFlight[slot];
        r.chunkId = chunkId++ % 65536;
        r.slot = slot;
        r.payloadSize = payload;
        r.packetCount = (framesPerChunk * 1920 * 1080 - 1) / payload + 1;
        r.paddedSize = r.packetCount * payload;
        r.firstFrame = nextFrame;
        r.lastFrame = nextFrame + framesPerChunk - 1;
        nextFrame = (nextFrame + framesPerChunk) % 900000;
        const QByteArray bytes = r.encode();
        ::sendto(fd, bytes.constData(), size_t(bytes.size()), 0, reinterpret_cast<sockaddr*>(&remote), sizeof remote);
    };
    issue(0);
    issue(1);

    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const auto end = start + std::chrono::duration<double>(seconds);
    quint64 received = 0, packetsReceived = 0;
    std::vector<uchar> buffer(65536);
    while (Clock::now() < end) {
        pollfd p{fd, POLLIN, 0};
        ::poll(&p, 1, 10);
        for (;;) {
            const ssize_t n = ::recv(fd, buffer.data(), buffer.size(), MSG_DONTWAIT);
            if (n < 0)
                break;
            const QByteArrayView datagram(buffer.data(), n);
            if (kvx::peekMagic(datagram) == kvx::magic::TxPacket) {
                received += quint64(n);
                ++packetsReceived;
                continue;
            }
            const auto event = kvx::TxEvent::decode(datagram);
            if (!event || event->type != kvx::TxEvent::ChunkSent || event->slot > 1
                || event->chunkId != inFlight[event->slot].chunkId)
                continue;
            kvx::TxMissingList done;
            done.request = inFlight[event->slot];
            done.last = true;
            const QByteArray bytes = done.encode();
            ::sendto(fd, bytes.constData(), size_t(bytes.size()), 0, reinterpret_cast<sockaddr*>(&remote),
                     sizeof remote);
            issue(event->slot);
        }
    }
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    const TransferCounters c = server.counters();
    server.stop();
    ::close(fd);
    const double sentPackets = double(c.packetsSent + c.packetsResent);
    return {c.bytesSent * 8 / elapsed / 1e9, received * 8 / elapsed / 1e9,
            sentPackets > 0 ? 100.0 * (1.0 - packetsReceived / sentPackets) : 0};
}

// Bytes per second the content generator fills, in packet-sized spans as the server asks.
double generatorRate(double seconds)
{
    SimClip clip;
    clip.info.width = clip.info.lineBytes = 1920;
    clip.info.height = clip.info.lineCount = 1080;
    clip.info.totalFrames = 1000000;
    std::vector<uchar> packet(8952);
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    quint64 offset = 0;
    while (std::chrono::duration<double>(Clock::now() - start).count() < seconds)
        for (int i = 0; i < 1000; ++i, offset += packet.size())
            fillClipBytes(clip, offset, qsizetype(packet.size()), packet.data());
    return offset / std::chrono::duration<double>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv)
{
    const double seconds = argc > 1 ? std::atof(argv[1]) : 2.0;
    std::printf("sim_generator_rate: %.2f GB/s\n", generatorRate(seconds / 2) / 1e9);
    const Measured unpaced = run(0, seconds);
    std::printf("sim_unpaced_send_rate: %.2f Gbit/s\n", unpaced.sentGbps);
    std::printf("sim_unpaced_receive_rate: %.2f Gbit/s\n", unpaced.receivedGbps);
    std::printf("sim_unpaced_receiver_loss: %.2f %%\n", unpaced.lossPercent);
    const Measured paced = run(10, seconds);
    std::printf("sim_paced_10g_send_rate: %.3f Gbit/s\n", paced.sentGbps);
    std::printf("sim_paced_10g_error: %+.2f %%\n", (paced.sentGbps / 10 - 1) * 100);
    std::printf("sim_paced_10g_receive_rate: %.3f Gbit/s\n", paced.receivedGbps);
    return 0;
}

// Throughput of the clip transfer on loopback: a 2 GiB frame-mode request against the unpaced
// recorder simulator (its sender in its own thread), set against the raw loopback UDP ceiling
// for datagrams of the same size measured in the same run. Prints "name: value unit" lines.
//
// Only 127.0.0.1 is used; nothing is broadcast.

#include "bench/ProcessCpu.h"
#include "sim/ClipContent.h"
#include "sim/transfer/TransferServer.h"
#include "transfer/ReceiveUDPThread.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

using kvx::ReceiveUDPEngine;
using kvx::ReceiveUDPThread;

namespace {

constexpr quint32 ClipNumber = 1;
constexpr quint32 FrameWidth = 2048;
constexpr quint32 FrameHeight = 1080;
constexpr quint64 FrameBytes = quint64(FrameWidth) * FrameHeight;
constexpr quint64 RequestFrames = (quint64(2) << 30) / FrameBytes + 1; // just over 2 GiB
constexpr size_t DatagramBytes = 14 + 8952;
constexpr double GB = 1e9;

SimClip benchClip()
{
    SimClip clip;
    clip.info.totalFrames = RequestFrames;
    clip.info.lineBytes = quint16(FrameWidth);
    clip.info.lineCount = quint16(FrameHeight);
    clip.info.width = quint16(FrameWidth);
    clip.info.height = quint16(FrameHeight);
    clip.info.clipNumber = ClipNumber;
    clip.info.fps = 1000;
    return clip;
}

void print(const QByteArray& name, double value, const char* unit)
{
    std::printf("%s: %.3f %s\n", name.constData(), value, unit);
}

// CPU seconds of the thread whose name starts with prefix, from /proc (user + system).
double threadCpuSeconds(const QByteArray& prefix)
{
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString& tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks.filePath(tid + QStringLiteral("/comm")));
        if (!comm.open(QIODevice::ReadOnly) || !comm.readAll().startsWith(prefix))
            continue;
        QFile stat(tasks.filePath(tid + QStringLiteral("/stat")));
        if (!stat.open(QIODevice::ReadOnly))
            return 0;
        // Fields after the parenthesised name: state is field 3, utime 14, stime 15.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() < 13)
            return 0;
        return double(fields[11].toLongLong() + fields[12].toLongLong()) / double(sysconf(_SC_CLK_TCK));
    }
    return 0;
}

// The most loopback carries for these datagrams: one thread sends with sendmmsg as fast as it
// can, the other takes them with recvmmsg; what arrives per second is the ceiling.
double loopbackCeilingGbps(quint64 datagrams)
{
    constexpr int Batch = 32;
    const int rx = socket(AF_INET, SOCK_DGRAM, 0);
    const int tx = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int big = 1 << 28;
    setsockopt(rx, SOL_SOCKET, SO_RCVBUF, &big, sizeof big);
    bind(rx, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    getsockname(rx, reinterpret_cast<sockaddr*>(&addr), &len);
    timeval timeout{0, 200000};
    setsockopt(rx, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);

    std::atomic<bool> senderDone{false};
    quint64 received = 0;
    QElapsedTimer clock;
    qint64 firstNs = -1, lastNs = 0;
    std::thread receiver([&] {
        std::vector<char> buffers(Batch * 10240);
        mmsghdr msgs[Batch];
        iovec iov[Batch];
        for (;;) {
            for (int i = 0; i < Batch; ++i) {
                iov[i] = {buffers.data() + i * 10240, 10240};
                msgs[i] = {};
                msgs[i].msg_hdr.msg_iov = &iov[i];
                msgs[i].msg_hdr.msg_iovlen = 1;
            }
            const int n = recvmmsg(rx, msgs, Batch, MSG_WAITFORONE, nullptr);
            if (n <= 0) {
                if (senderDone)
                    break;
                continue;
            }
            if (firstNs < 0)
                firstNs = clock.nsecsElapsed();
            lastNs = clock.nsecsElapsed();
            received += quint64(n);
        }
    });
    clock.start();
    std::vector<char> payload(DatagramBytes, 'x');
    mmsghdr msgs[Batch];
    iovec iov[Batch];
    for (int i = 0; i < Batch; ++i) {
        iov[i] = {payload.data(), payload.size()};
        msgs[i] = {};
        msgs[i].msg_hdr.msg_iov = &iov[i];
        msgs[i].msg_hdr.msg_iovlen = 1;
        msgs[i].msg_hdr.msg_name = &addr;
        msgs[i].msg_hdr.msg_namelen = sizeof addr;
    }
    for (quint64 sent = 0; sent < datagrams;) {
        const int n = sendmmsg(tx, msgs, Batch, 0);
        if (n > 0)
            sent += quint64(n);
    }
    senderDone = true;
    receiver.join();
    close(rx);
    close(tx);
    const double seconds = double(lastNs - firstNs) / 1e9;
    return seconds > 0 ? double(received) * DatagramBytes * 8 / seconds / 1e9 : 0;
}

struct EngineRun {
    double goodputGbps = 0;
    double receiverCpuPerGB = 0;
    double processCpuPerGB = 0;
    quint64 repaired = 0;
    bool ok = false;
};

EngineRun runEngine(const TransferFaults& faults, std::vector<uchar>& destination)
{
    EngineRun result;
    TransferServer server(
        [](quint32 n) { return n == ClipNumber ? std::optional<SimClip>(benchClip()) : std::nullopt; },
        QHostAddress::LocalHost, 0, faults, 0);
    QString error;
    if (!server.start(&error)) {
        std::fprintf(stderr, "simulator: %s\n", qPrintable(error));
        return result;
    }
    ReceiveUDPThread thread(nullptr, QHostAddress::LocalHost, 0);
    thread.setRecorderTransferPort(server.boundPort());
    QSignalSpy completed(&thread, &ReceiveUDPThread::requestCompleted);
    QSignalSpy failed(&thread, &ReceiveUDPThread::requestFailed);
    thread.start(QThread::TimeCriticalPriority);
    while (thread.boundPort() == 0)
        QThread::msleep(1);

    ReceiveUDPEngine::TransferRequest request;
    request.destination = destination.data();
    request.totalBytes = destination.size();
    request.lineBytes = FrameWidth;
    request.lineCount = FrameHeight;
    request.clipNumber = ClipNumber;
    request.firstFrame = 0;
    request.lastFrame = quint32(RequestFrames - 1);

    const double threadCpu0 = threadCpuSeconds("kvx::ReceiveUDP");
    const double processCpu0 = processCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    request.startTime.start();
    thread.queueRequest(request);
    // Completion comes queued to this thread; wait in its event loop.
    while (completed.isEmpty() && failed.isEmpty() && wall.elapsed() < 120000)
        completed.wait(100);
    const double seconds = double(wall.nsecsElapsed()) / 1e9;
    const double threadCpu = threadCpuSeconds("kvx::ReceiveUDP") - threadCpu0;
    const double processCpu = processCpuSeconds() - processCpu0;
    thread.requestInterruption();
    thread.wait();
    server.stop();

    const double gigabytes = double(destination.size()) / GB;
    result.ok = !completed.isEmpty();
    result.goodputGbps = double(destination.size()) * 8 / seconds / 1e9;
    result.receiverCpuPerGB = threadCpu / gigabytes;
    result.processCpuPerGB = processCpu / gigabytes;
    result.repaired = server.counters().packetsResent;
    return result;
}

bool verify(const std::vector<uchar>& destination)
{
    const SimClip clip = benchClip();
    std::vector<uchar> frame(FrameBytes);
    for (quint64 f = 0; f < RequestFrames; ++f) {
        fillFrames(clip, f, 1, frame.data());
        if (std::memcmp(frame.data(), destination.data() + f * FrameBytes, FrameBytes) != 0)
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::printf("# transfer of %llu frames of %u x %u (%.3f GB) on 127.0.0.1, simulator unpaced\n",
                qulonglong(RequestFrames), FrameWidth, FrameHeight, double(RequestFrames * FrameBytes) / GB);
    std::printf("# receiver CPU: the receive thread's user + system time (/proc), so the simulator's\n"
                "# sender thread in the same process is not counted; process CPU includes both\n");

    // Touched once before timing: first-touch page faults belong to whoever allocates the
    // buffers, not to the transfer.
    std::vector<uchar> destination(RequestFrames * FrameBytes, 0);
    print("loopback_udp_ceiling", loopbackCeilingGbps(RequestFrames * FrameBytes / 8952), "Gbit/s");

    double sum = 0;
    for (int run = 1; run <= 3; ++run) {
        std::memset(destination.data(), 0, destination.size());
        const EngineRun r = runEngine(TransferFaults{}, destination);
        const QByteArray prefix = "engine_run" + QByteArray::number(run);
        print(prefix + "_goodput", r.goodputGbps, r.ok ? "Gbit/s" : "Gbit/s (FAILED)");
        print(prefix + "_receiver_cpu", r.receiverCpuPerGB, "s/GB");
        print(prefix + "_process_cpu", r.processCpuPerGB, "s/GB");
        print(prefix + "_packets_repaired", double(r.repaired), "packets");
        if (run == 1)
            print("engine_run1_byte_exact", verify(destination) ? 1 : 0, "bool");
        sum += r.goodputGbps;
    }
    print("engine_goodput_mean", sum / 3, "Gbit/s");

    TransferFaults loss;
    loss.lossPercent = 1;
    std::memset(destination.data(), 0, destination.size());
    const EngineRun r = runEngine(loss, destination);
    print("engine_loss1_goodput", r.goodputGbps, r.ok ? "Gbit/s" : "Gbit/s (FAILED)");
    print("engine_loss1_receiver_cpu", r.receiverCpuPerGB, "s/GB");
    print("engine_loss1_packets_repaired", double(r.repaired), "packets");
    print("engine_loss1_byte_exact", verify(destination) ? 1 : 0, "bool");
    return 0;
}

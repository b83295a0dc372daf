// End-to-end download: a 4 GiB clip from the recorder simulator (velmor-sim, a separate
// process), paced to 10 Gbit/s like a recorder's link and unpaced, through the download manager
// into a clip folder on tmpfs and into one on a disk file system (the build tree's), hashing
// every block as it is written and writing the hash list at the end as the program does. For
// each run: the goodput, the CPU time of this (the receiving) side per GB stored, its peak
// resident memory against the receive budget, whether the frame file is byte for byte the
// simulator's clip, and whether blocks went to the disk by direct I/O. Once more unpaced into
// tmpfs without the checksum, for the cost of hashing. Measured in the same session: the
// transfer engine's own goodput (transfer_bench) and the write ceiling of each target, the way
// `dd if=/dev/zero of=FILE bs=16M oflag=direct` measures it (and without oflag=direct).
//
// Runs as root in namespaces of its own: a network namespace holding only loopback (the
// simulator listens on 127.0.0.1 there) and a mount namespace for the tmpfs. Nothing it sends
// or mounts is seen outside. Options: --disk DIR (a folder on the disk to measure; default the
// folder of this program).

#include "bench/ProcessCpu.h"
#include "download/RecorderDownloadManager.h"
#include "sim/ClipContent.h"
#include "sim/SimConfig.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr quint16 FrameWidth = 2048;
constexpr quint16 FrameHeight = 1080;
constexpr quint64 FrameBytes = quint64(FrameWidth) * FrameHeight;
constexpr quint64 ClipFrames = (quint64(4) << 30) / FrameBytes + 1; // just over 4 GiB
constexpr quint64 ClipBytes = ClipFrames * FrameBytes;
constexpr qint64 CeilingBytes = qint64(2) << 30;
constexpr int DownloadTimeoutMs = 300000;
constexpr double PacedGbps = 10;
constexpr double GB = 1e9;

void print(const QByteArray& name, double value, const char* unit)
{
    std::printf("%s: %.3f %s\n", name.constData(), value, unit);
    std::fflush(stdout);
}

// Loopback-only network and private mounts for this process and its children.
bool enterPrivateNamespaces()
{
    if (unshare(CLONE_NEWNET | CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        std::perror("download_bench: namespaces (run as root)");
        return false;
    }
    return std::system("ip link set lo up") == 0;
}

qint64 statusKiB(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QRegularExpression line(QStringLiteral("^%1:\\s+(\\d+) kB").arg(QLatin1String(field)),
                                  QRegularExpression::MultilineOption);
    const auto match = line.match(QString::fromLatin1(status.readAll()));
    return match.hasMatch() ? match.captured(1).toLongLong() : -1;
}

// Starts the peak resident memory (VmHWM) afresh from what is resident now.
void resetPeakResident()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

// UDP datagrams dropped for want of socket buffer in this network namespace (RcvbufErrors);
// each one is sent again, so they explain a goodput below the pace.
qint64 udpReceiveBufferErrors()
{
    QFile snmp(QStringLiteral("/proc/net/snmp"));
    if (!snmp.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> lines = snmp.readAll().split('\n');
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        if (!lines[i].startsWith("Udp:") || !lines[i + 1].startsWith("Udp:"))
            continue;
        const QList<QByteArray> names = lines[i].simplified().split(' ');
        const QList<QByteArray> values = lines[i + 1].simplified().split(' ');
        const qsizetype at = names.indexOf("RcvbufErrors");
        return at > 0 && at < values.size() ? values[at].toLongLong() : 0;
    }
    return 0;
}

// The engine's mean goodput as transfer_bench measures it, or 0.
double transferBenchGoodput()
{
    QProcess bench;
    bench.start(QStringLiteral(VLM_TRANSFER_BENCH_PATH), {});
    if (!bench.waitForFinished(600000))
        return 0;
    const QString output = QString::fromLocal8Bit(bench.readAllStandardOutput());
    std::fputs(qPrintable(output), stdout);
    const auto match = QRegularExpression(QStringLiteral("engine_goodput_mean: ([0-9.]+)")).match(output);
    return match.hasMatch() ? match.captured(1).toDouble() : 0;
}

// Sequential writes of 16 MiB from page-aligned memory, then fdatasync: Gbit/s.
double writeCeilingGbps(const QString& folder, bool direct)
{
    constexpr size_t Chunk = size_t(16) << 20;
    const QByteArray path = QFile::encodeName(folder + QStringLiteral("/ceiling.bin"));
    const int descriptor = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | (direct ? O_DIRECT : 0), 0600);
    if (descriptor < 0)
        return 0;
    auto* chunk = static_cast<uchar*>(std::aligned_alloc(4096, Chunk));
    std::memset(chunk, 0, Chunk); // no first-touch page faults in the timing
    QElapsedTimer clock;
    clock.start();
    qint64 written = 0;
    while (written < CeilingBytes && ::pwrite(descriptor, chunk, Chunk, written) == ssize_t(Chunk))
        written += qint64(Chunk);
    ::fdatasync(descriptor);
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    ::close(descriptor);
    ::unlink(path.constData());
    std::free(chunk);
    return written == CeilingBytes ? double(written) * 8 / seconds / 1e9 : 0;
}

SimClip benchClip()
{
    return SimConfig::makeClip(0, FrameWidth, FrameHeight, ClipFrames, 1000, 2901180001u);
}

QSharedPointer<EthernetView> loopbackLink()
{
    kvx::RecorderInfoPacket::EthernetInfo ethernet;
    ethernet.setAddress(QHostAddress::LocalHost);
    ethernet.transferPort = 47100;
    ethernet.linkFlags = 0x10 | kvx::RecorderInfoPacket::EthernetInfo::TransferFlag;
    return QSharedPointer<EthernetView>::create(ethernet, nullptr, 0);
}

// Whether the folder's frame file and calibration hold exactly what the simulator sent.
bool byteExact(const QString& folder)
{
    const SimClip clip = benchClip();
    constexpr quint64 FramesPerRead = 64;
    std::vector<uchar> expected(FramesPerRead * FrameBytes);
    QFile frames(folder + QStringLiteral("/0.bin"));
    if (!frames.open(QIODevice::ReadOnly) || quint64(frames.size()) != ClipBytes)
        return false;
    for (quint64 first = 0; first < ClipFrames; first += FramesPerRead) {
        const quint64 count = std::min(FramesPerRead, ClipFrames - first);
        const QByteArray read = frames.read(qint64(count * FrameBytes));
        fillFrames(clip, first, count, expected.data());
        if (quint64(read.size()) != count * FrameBytes || std::memcmp(read.constData(), expected.data(), read.size()))
            return false;
    }
    QFile calibration(folder + QStringLiteral("/calib.bin"));
    if (!calibration.open(QIODevice::ReadOnly))
        return false;
    const QByteArray read = calibration.readAll();
    std::vector<uchar> block(calibrationBytes(clip));
    fillCalibration(clip, 0, qsizetype(block.size()), block.data());
    return quint64(read.size()) == block.size() && std::memcmp(read.constData(), block.data(), block.size()) == 0;
}

struct DownloadRun {
    bool finished = false;
    double goodputGbps = 0;
    double cpuPerGB = 0;
    double peakGrowthMiB = 0;
    double budgetMiB = 0;
    double hashListAfterSeconds = 0; // from the last block stored until the hash list is written
    qint64 socketDrops = 0;          // datagrams the receive socket had no room for
    bool byteExact = false;
    bool direct = false;
};

DownloadRun download(const QString& base, double rateGbps, bool hashing)
{
    DownloadRun run;
    QProcess simulator;
    simulator.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    simulator.start(QStringLiteral(VLM_SIM_PATH),
                    {"--address", "127.0.0.1", "--listen-address", "127.0.0.1", "--rate", QString::number(rateGbps),
                     "--duration", "600", "--clip",
                     QStringLiteral("%1x%2,frames=%3,number=0").arg(FrameWidth).arg(FrameHeight).arg(ClipFrames)});
    if (!simulator.waitForStarted(5000)) {
        std::fprintf(stderr, "download_bench: cannot start velmor-sim\n");
        return run;
    }
    QThread::msleep(500); // its transfer port is bound by then

    QSharedPointer<SavedClip> saved;
    {
        RecorderDownloadManager manager;
        manager.makeChannel(loopbackLink());
        auto recorderClip = QSharedPointer<DownloadableClip>::create(benchClip().info);
        saved = QSharedPointer<SavedClip>::create(benchClip().info);
        saved->setHashing(hashing);
        if (!saved->prepareDownload(base, {})) {
            std::fprintf(stderr, "download_bench: cannot prepare the clip folder in %s\n", qPrintable(base));
            return run;
        }
        recorderClip->reset();
        saved->resetDownloadProgress();
        run.budgetMiB = double(saved->receiveMemory().budget()) / double(1 << 20);
        resetPeakResident();
        const qint64 residentBeforeKiB = statusKiB("VmRSS");

        QSignalSpy finished(&manager, &RecorderDownloadManager::downloadFinished);
        QSignalSpy failed(&manager, &RecorderDownloadManager::downloadFailed);
        QSignalSpy hashList(saved.data(), &SavedClip::hashListFinished);
        DownloadRequest request;
        request.savedClip = saved;
        request.recorderClip = recorderClip;
        request.active = 1;
        const double cpu0 = processCpuSeconds();
        const qint64 drops0 = udpReceiveBufferErrors();
        QElapsedTimer clock;
        clock.start();
        manager.addClipRequest(request);
        const QDeadlineTimer deadline(DownloadTimeoutMs);
        while (finished.isEmpty() && failed.isEmpty() && !deadline.hasExpired())
            finished.wait(100);
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        const double stored = double(ClipBytes + calibrationBytes(benchClip()));
        run.finished = !finished.isEmpty();
        if (hashing && run.finished) {
            while (hashList.isEmpty() && !deadline.hasExpired())
                hashList.wait(100);
            run.hashListAfterSeconds = double(clock.nsecsElapsed()) / 1e9 - seconds;
            run.finished = !hashList.isEmpty() && hashList[0][0].toBool();
        }
        run.goodputGbps = run.finished ? stored * 8 / seconds / 1e9 : 0;
        run.cpuPerGB = (processCpuSeconds() - cpu0) / (stored / GB);
        run.socketDrops = udpReceiveBufferErrors() - drops0;
        run.peakGrowthMiB = double(statusKiB("VmHWM") - residentBeforeKiB) / 1024;
        run.direct = saved->writesFramesDirect();
    }
    simulator.terminate();
    simulator.waitForFinished(5000);
    run.byteExact = run.finished && byteExact(saved->folderPath());
    saved->deleteFolder();
    return run;
}

void report(const QByteArray& prefix, const DownloadRun& run)
{
    print(prefix + "_goodput", run.goodputGbps, run.finished ? "Gbit/s" : "Gbit/s (FAILED)");
    print(prefix + "_hash_list_after", run.hashListAfterSeconds, "s");
    print(prefix + "_receiver_cpu", run.cpuPerGB, "s/GB");
    print(prefix + "_socket_drops", double(run.socketDrops), "datagrams");
    print(prefix + "_peak_growth", run.peakGrowthMiB, "MiB");
    print(prefix + "_peak_to_budget", run.budgetMiB > 0 ? run.peakGrowthMiB / run.budgetMiB : 0, "");
    print(prefix + "_byte_exact", run.byteExact ? 1 : 0, "bool");
    print(prefix + "_direct_io", run.direct ? 1 : 0, "bool");
}

} // namespace

int main(int argc, char** argv)
{
    if (!enterPrivateNamespaces())
        return 2;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    const qsizetype diskAt = args.indexOf(QStringLiteral("--disk"));
    const QString diskBase = diskAt > 0 && diskAt + 1 < args.size() ? args[diskAt + 1] : app.applicationDirPath();

    std::printf("# 4 GiB clip (%llu frames of %u x %u) from velmor-sim on 127.0.0.1; receiver CPU is this\n"
                "# process (receive thread, write jobs, event loop) per GB stored; peak growth is the\n"
                "# resident memory above the level before the download\n",
                qulonglong(ClipFrames), FrameWidth, FrameHeight);
    const double engineGbps = transferBenchGoodput();
    print("transfer_engine_goodput", engineGbps, "Gbit/s");

    QTemporaryDir tmpfs;
    const QByteArray size = "size=" + QByteArray::number(ClipBytes + (quint64(512) << 20));
    if (mount("tmpfs", QFile::encodeName(tmpfs.path()).constData(), "tmpfs", 0, size.constData()) != 0) {
        std::perror("download_bench: tmpfs");
        return 2;
    }
    QTemporaryDir disk(diskBase + QStringLiteral("/download-bench-XXXXXX"));
    if (!disk.isValid()) {
        std::fprintf(stderr, "download_bench: cannot make a folder in %s\n", qPrintable(diskBase));
        return 2;
    }

    bool ok = true;
    struct Target {
        QByteArray name;
        QString path;
    };
    for (const Target& target : {Target{"tmpfs", tmpfs.path()}, Target{"disk", disk.path()}}) {
        const double ceiling = writeCeilingGbps(target.path, true);
        print(target.name + "_direct_write_ceiling", ceiling, "Gbit/s");
        print(target.name + "_buffered_write", writeCeilingGbps(target.path, false), "Gbit/s");
        const DownloadRun paced = download(target.path, PacedGbps, true);
        report("download_" + target.name + "_paced10g", paced);
        const double goal = std::min(0.9 * PacedGbps, 0.9 * ceiling);
        print("download_" + target.name + "_paced10g_to_goal", goal > 0 ? paced.goodputGbps / goal : 0, "");
        const DownloadRun unpaced = download(target.path, 0, true);
        report("download_" + target.name + "_unpaced", unpaced);
        print("download_" + target.name + "_unpaced_to_engine", engineGbps > 0 ? unpaced.goodputGbps / engineGbps : 0,
              "");
        print("download_" + target.name + "_unpaced_to_ceiling", ceiling > 0 ? unpaced.goodputGbps / ceiling : 0, "");
        ok = ok && paced.byteExact && unpaced.byteExact;
        if (target.name == "tmpfs") {
            const DownloadRun unhashed = download(target.path, 0, false);
            report("download_tmpfs_unpaced_unhashed", unhashed);
            print("download_tmpfs_hashed_to_unhashed",
                  unhashed.goodputGbps > 0 ? unpaced.goodputGbps / unhashed.goodputGbps : 0, "");
            ok = ok && unhashed.byteExact;
        }
    }
    umount2(QFile::encodeName(tmpfs.path()).constData(), MNT_DETACH);
    return ok ? 0 : 1;
}

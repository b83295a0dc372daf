// End-to-end download: a 4 GiB clip from the unpaced recorder simulator (velmor-sim, a separate
// process) through the download manager into a clip folder on tmpfs, once without and once with
// the xxHash64 checksum and hash list of verified copies. Prints both goodputs, the peak
// resident memory of this (the clips manager's) side against the receive budget, and the
// ratio to the transfer engine's own figure from transfer_bench, run in the same session.
//
// Runs as root in namespaces of its own: a network namespace holding only loopback (the
// simulator listens on 127.0.0.1 there) and a mount namespace for the tmpfs. Nothing it sends
// or mounts is seen outside.

#include "download/RecorderDownloadManager.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <sched.h>
#include <sys/mount.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr quint16 FrameWidth = 2048;
constexpr quint16 FrameHeight = 1080;
constexpr quint64 FrameBytes = quint64(FrameWidth) * FrameHeight;
constexpr quint64 ClipFrames = (quint64(4) << 30) / FrameBytes + 1; // just over 4 GiB
constexpr int DownloadTimeoutMs = 300000;

void print(const char* name, double value, const char* unit)
{
    std::printf("%s: %.3f %s\n", name, value, unit);
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

kvx::ClipInfoPacket::clipInfo clipInfo()
{
    kvx::ClipInfoPacket::clipInfo info;
    info.totalFrames = ClipFrames;
    info.fps = 1000;
    info.lineBytes = info.width = FrameWidth;
    info.lineCount = info.height = FrameHeight;
    info.clipNumber = 0;
    return info;
}

QSharedPointer<EthernetView> loopbackLink()
{
    kvx::RecorderInfoPacket::EthernetInfo ethernet;
    ethernet.setAddress(QHostAddress::LocalHost);
    ethernet.transferPort = 47100;
    ethernet.linkFlags = 0x10 | kvx::RecorderInfoPacket::EthernetInfo::TransferFlag;
    return QSharedPointer<EthernetView>::create(ethernet, nullptr, 0);
}

struct Run {
    bool ok = false;
    double seconds = 0;         // until every block is stored
    double hashListSeconds = 0; // until the hash list is written
    qint64 budget = 0;
};

// Downloads the clip into a new folder under base, then removes the folder again.
Run download(RecorderDownloadManager& manager, const QString& base, bool hashing)
{
    Run run;
    auto recorderClip = QSharedPointer<DownloadableClip>::create(clipInfo());
    auto saved = QSharedPointer<SavedClip>::create(clipInfo());
    saved->setHashing(hashing);
    if (!saved->prepareDownload(base, {})) {
        std::fprintf(stderr, "download_bench: cannot prepare the clip folder\n");
        return run;
    }
    recorderClip->reset();
    saved->resetDownloadProgress();
    run.budget = saved->receiveMemory().budget();

    QSignalSpy finished(&manager, &RecorderDownloadManager::downloadFinished);
    QSignalSpy failed(&manager, &RecorderDownloadManager::downloadFailed);
    QSignalSpy hashList(saved.data(), &SavedClip::hashListFinished);
    DownloadRequest request;
    request.savedClip = saved;
    request.recorderClip = recorderClip;
    request.active = 1;
    QElapsedTimer clock;
    clock.start();
    manager.addClipRequest(request);
    const QDeadlineTimer deadline(DownloadTimeoutMs);
    while (finished.isEmpty() && failed.isEmpty() && !deadline.hasExpired())
        finished.wait(100);
    run.seconds = double(clock.nsecsElapsed()) / 1e9;
    run.ok = !finished.isEmpty();
    if (hashing && run.ok) {
        while (hashList.isEmpty() && !deadline.hasExpired())
            hashList.wait(100);
        run.hashListSeconds = double(clock.nsecsElapsed()) / 1e9;
        run.ok = !hashList.isEmpty() && hashList[0][0].toBool();
    }
    saved->deleteFolder();
    return run;
}

} // namespace

int main(int argc, char** argv)
{
    if (!enterPrivateNamespaces())
        return 2;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const double engineGbps = transferBenchGoodput();

    QTemporaryDir volume;
    const quint64 clipBytes = ClipFrames * FrameBytes;
    const QByteArray size = "size=" + QByteArray::number(clipBytes + (quint64(256) << 20));
    if (mount("tmpfs", QFile::encodeName(volume.path()).constData(), "tmpfs", 0, size.constData()) != 0) {
        std::perror("download_bench: tmpfs");
        return 2;
    }

    QProcess simulator;
    simulator.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    simulator.start(QStringLiteral(VLM_SIM_PATH),
                    {"--address", "127.0.0.1", "--listen-address", "127.0.0.1", "--rate", "0", "--duration", "600",
                     "--clip",
                     QStringLiteral("%1x%2,frames=%3,number=0").arg(FrameWidth).arg(FrameHeight).arg(ClipFrames)});
    if (!simulator.waitForStarted(5000)) {
        std::fprintf(stderr, "download_bench: cannot start velmor-sim\n");
        return 2;
    }
    QThread::msleep(500); // its transfer port is bound by then

    RecorderDownloadManager manager;
    manager.makeChannel(loopbackLink());
    const qint64 residentBeforeKiB = statusKiB("VmRSS");
    // The same clip twice: first without the checksum, then as the program downloads, hashing
    // every block as it is written and writing the hash list at the end.
    const Run plain = download(manager, volume.path(), false);
    const Run hashed = download(manager, volume.path(), true);
    const qint64 peakKiB = statusKiB("VmHWM");

    simulator.terminate();
    simulator.waitForFinished(5000);
    const bool ok = plain.ok && hashed.ok;
    const double bytes = double(clipBytes + quint64(FrameWidth) * FrameHeight * 8);
    const auto gbps = [bytes](const Run& run) { return run.ok ? bytes * 8 / run.seconds / 1e9 : 0; };
    const double goodput = gbps(hashed);
    print("download_clip_size", double(clipBytes) / double(1 << 30), "GiB");
    print("download_seconds_unhashed", plain.seconds, plain.ok ? "s" : "s (FAILED)");
    print("download_goodput_unhashed", gbps(plain), "Gbit/s");
    print("download_seconds", hashed.seconds, hashed.ok ? "s" : "s (FAILED)");
    print("download_goodput", goodput, "Gbit/s");
    print("download_hashed_to_unhashed_ratio", gbps(plain) > 0 ? goodput / gbps(plain) : 0, "");
    print("download_hash_list_after", hashed.hashListSeconds - hashed.seconds, "s");
    print("download_receive_budget", double(hashed.budget) / double(1 << 20), "MiB");
    print("download_resident_before", double(residentBeforeKiB) / 1024, "MiB");
    print("download_peak_resident", double(peakKiB) / 1024, "MiB");
    print("download_peak_growth", double(peakKiB - residentBeforeKiB) / 1024, "MiB");
    print("transfer_engine_goodput", engineGbps, "Gbit/s");
    print("download_to_engine_ratio", engineGbps > 0 ? goodput / engineGbps : 0, "");
    umount2(QFile::encodeName(volume.path()).constData(), MNT_DETACH);
    return ok ? 0 : 1;
}

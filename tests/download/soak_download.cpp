// A bounded soak of the clips manager's download side (discovery, recorder list, launcher,
// download manager, queue, saved clips; no window) against velmor-sim in the test network:
// random loss, duplication and reordering from the simulator, recorder outages (the simulator
// stopped dead for a few seconds), several clips downloading at once, clips deleted while they
// download and downloaded again. Every frame stored is checked against the simulator's
// generator. Prints what moved, the faults, the frames checked, resident memory and open
// descriptors per report interval, and the totals at the end; exits non-zero on a mismatch, a
// download that stops making progress, or memory or descriptors growing past fixed bounds.
//
// Run on the host side of the test network as root (scripts/run-soak.sh): it makes its own
// mount namespace for the tmpfs that holds the clip folders.
#include "DownloadTestSupport.h"
#include "PrivateMounts.h"
#include "ProcessUsage.h"
#include "SimulatorProcess.h"

#include "download/DownloadLauncher.h"
#include "download/DownloadQueueModel.h"
#include "recorders/RecorderDiscovery.h"
#include "recorders/RecorderEthernetModel.h"
#include "recorders/RecorderView.h"
#include "storage/SavedClipList.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <random>

using namespace downloadtest;

namespace {

// Growth allowed from the first third of the run to the last before it counts as leaking. The
// receive memory in use swings with the clips that happen to run; the first third has seen
// every clip download several times.
constexpr qint64 RssSlackBytes = 128 << 20;
constexpr int FdSlack = 16;
constexpr qint64 StallMs = 120000;
constexpr qint64 VolumeBytes = qint64(3) << 30;

// Clips of different shapes, so frame sizes and request splits vary.
const QStringList Clips{"1024x512,frames=300,number=0,uid=0x5001", "2048x1080,frames=60,number=1,uid=0x5002",
                        "640x480,frames=500,number=2,uid=0x5003",  "256x128,frames=2000,number=3,uid=0x5004",
                        "1920x1080,frames=90,number=4,uid=0x5005", "512x256,frames=700,number=5,uid=0x5006"};

struct Options {
    double minutes = 30;
    int reportSeconds = 60;
    double rateGbps = 0.8;
    int inFlight = 3;
    quint64 seed = 1;
};

// Faults the simulator counted, from its latest "transfer-counters" log line.
struct SimCounters {
    qint64 bytesSent = 0, dropped = 0, duplicated = 0, heldBack = 0, resent = 0;
};

struct Figures {
    qint64 bytesStored = 0, framesVerified = 0, outages = 0, completed = 0, deleted = 0, resumed = 0;
};

QString gib(qint64 bytes)
{
    return QString::number(double(bytes) / double(1 << 30), 'f', 2) + " GiB";
}

QString mib(qint64 bytes)
{
    return QString::number(double(bytes) / double(1 << 20), 'f', 1) + " MiB";
}

class Soak : public QObject {
public:
    Soak(const Options& options, SimulatorProcess& sim, QString clipPath)
        : options_(options), sim_(sim), clipPath_(std::move(clipPath)), rng_(options.seed), log_(sim.logPath())
    {}

    bool start()
    {
        discovery_.on_broadcastTimeout();
        if (!QTest::qWaitFor([&] { return recorders_.recorderCount() > 0; }, 15000))
            return fail("the simulator's recorder was not found");
        manager_ = recorders_.recorderAt(0)->downloadManager().data();
        recorder_ = recorders_.recorderAt(0)->info();
        if (!QTest::qWaitFor([&] { return manager_->clipList()->rowCount() == Clips.size(); }, 15000))
            return fail("the recorder's clip list did not arrive");
        run_.start();
        lastProgressMs_ = 0;
        nextOutageMs_ = uniform(20000, 60000);
        nextDeleteMs_ = uniform(10000, 30000);
        connect(&tick_, &QTimer::timeout, this, &Soak::step);
        tick_.start(250);
        return true;
    }

    int exitCode() const { return failure_.isEmpty() ? 0 : 1; }

private:
    struct Flight {
        QSharedPointer<SavedClip> clip;
        qint64 framesCounted = 0;
    };

    qint64 uniform(qint64 low, qint64 high) { return std::uniform_int_distribution<qint64>(low, high)(rng_); }

    bool fail(const QString& why)
    {
        if (failure_.isEmpty())
            failure_ = why;
        std::printf("FAILED: %s\n", qPrintable(why));
        std::fflush(stdout);
        tick_.stop();
        QCoreApplication::exit(1);
        return false;
    }

    void step()
    {
        const qint64 now = run_.elapsed();
        peakRss_ = std::max(peakRss_, processusage::residentBytes());
        peakFds_ = std::max(peakFds_, processusage::openDescriptors());
        countStored(now);
        if (now >= qint64(options_.minutes * 60000)) {
            finish();
            return;
        }
        if (paused_ && now >= resumeAtMs_) {
            paused_ = !sim_.resume();
            nextOutageMs_ = now + uniform(45000, 90000);
        } else if (!paused_ && now >= nextOutageMs_) {
            // Up to 12 s, longer than the engine's time-out table: a download that gives up is resumed.
            paused_ = sim_.pause();
            resumeAtMs_ = now + uniform(1000, 12000);
            ++interval_.outages;
            lastProgressMs_ = std::max(lastProgressMs_, resumeAtMs_);
        }
        if (!paused_ && now - lastProgressMs_ > StallMs) {
            fail(QString("nothing stored for %1 s").arg(StallMs / 1000));
            return;
        }
        if (!paused_)
            tend(now);
        if (now >= nextReportMs_ + options_.reportSeconds * 1000)
            report(now);
    }

    void countStored(qint64 now)
    {
        for (Flight& flight : flights_) {
            const qint64 frames = flight.clip->downloadedFrames();
            if (frames > flight.framesCounted) {
                interval_.bytesStored += (frames - flight.framesCounted) * flight.clip->frameSize();
                lastProgressMs_ = now;
            }
            flight.framesCounted = frames;
        }
    }

    // Finished clips are checked and make room for the next; failed ones resume; now and then
    // one is deleted while it downloads and started again.
    void tend(qint64 now)
    {
        for (int i = 0; i < flights_.size(); ++i) {
            const QSharedPointer<SavedClip> clip = flights_[i].clip;
            const int row = queue_.rowOf(clip.data());
            const DownloadQueueModel::State state = queue_.state(row);
            if (state == DownloadQueueModel::State::Done) {
                if (!verify(*clip, true))
                    return;
                ++interval_.completed;
                retire(i--);
            } else if (state == DownloadQueueModel::State::Failed) {
                if (!verify(*clip, false))
                    return;
                const auto recorderClip = DownloadLauncher::recorderClipFor(*manager_, *clip);
                const auto resumed = DownloadLauncher::resume(recorder_, *manager_, recorderClip, clip);
                if (resumed.refusal != DownloadLauncher::Refusal::None)
                    return void(fail("resume refused: " + DownloadLauncher::message(resumed.refusal)));
                queue_.follow(manager_, clip, recorderClip->text());
                ++interval_.resumed;
            }
        }
        if (now >= nextDeleteMs_) {
            nextDeleteMs_ = now + uniform(15000, 40000);
            for (int i = 0; i < flights_.size(); ++i) {
                const QSharedPointer<SavedClip> clip = flights_[i].clip;
                if (queue_.state(queue_.rowOf(clip.data())) == DownloadQueueModel::State::Downloading) {
                    if (!verify(*clip, false))
                        return;
                    const auto recorderClip = DownloadLauncher::recorderClipFor(*manager_, *clip);
                    retire(i);
                    ++interval_.deleted;
                    launch(recorderClip);
                    break;
                }
            }
        }
        while (flights_.size() < options_.inFlight && failure_.isEmpty())
            launch(nextClip());
    }

    QSharedPointer<DownloadableClip> nextClip()
    {
        for (int tries = 0; tries < Clips.size(); ++tries) {
            const auto clip = manager_->clipList()->clipAt(nextRow_++ % Clips.size());
            if (!manager_->hasDownloadOf(*clip))
                return clip;
        }
        return {};
    }

    void launch(const QSharedPointer<DownloadableClip>& recorderClip)
    {
        if (!recorderClip)
            return void(fail("no recorder clip left to start"));
        const auto started =
            DownloadLauncher::launch(discovery_, recorder_, *manager_, recorderClip, saved_, clipPath_);
        if (!started.clip)
            return void(fail("download refused: " + DownloadLauncher::message(started.refusal)));
        queue_.follow(manager_, started.clip, recorderClip->text());
        flights_.append(Flight{started.clip, 0});
    }

    // Deletes the clip folder as the main window's Delete does.
    void retire(int index)
    {
        const QSharedPointer<SavedClip> clip = flights_.takeAt(index).clip;
        manager_->removeClipFromRequests(clip);
        queue_.forget(clip.data());
        if (!saved_.deleteClip(saved_.rowOf(clip.data())))
            fail("cannot delete " + clip->folderPath());
    }

    bool verify(const SavedClip& clip, bool whole)
    {
        const QString difference = compareFolder(clip, SimClip{clip.info(), {}}, whole);
        if (!difference.isEmpty())
            return fail(clip.folderPath() + ": " + difference);
        interval_.framesVerified += clip.downloadedFrames();
        return true;
    }

    SimCounters readSimCounters()
    {
        if (!log_.isOpen() && !log_.open(QIODevice::ReadOnly))
            return simCounters_;
        logTail_ += log_.readAll();
        const qsizetype end = logTail_.lastIndexOf('\n');
        if (end < 0)
            return simCounters_;
        for (const QByteArray& line : logTail_.left(end).split('\n')) {
            if (!line.contains("\"transfer-counters\""))
                continue;
            const QJsonObject o = QJsonDocument::fromJson(line).object();
            simCounters_ = SimCounters{o.value("bytesSent").toInteger(), o.value("dropped").toInteger(),
                                       o.value("duplicated").toInteger(), o.value("heldBack").toInteger(),
                                       o.value("packetsResent").toInteger()};
        }
        logTail_.remove(0, end + 1);
        return simCounters_;
    }

    void report(qint64 now)
    {
        const SimCounters sim = readSimCounters();
        const SimCounters& before = reportedSim_;
        std::printf("%6.1f min: stored %s, sent %s, dropped %lld, duplicated %lld, held back %lld, resent %lld, "
                    "outages %lld, frames verified %lld, done %lld, deleted %lld, resumed %lld, peak RSS %s, fds %d\n",
                    double(now) / 60000.0, qPrintable(gib(interval_.bytesStored)),
                    qPrintable(gib(sim.bytesSent - before.bytesSent)), sim.dropped - before.dropped,
                    sim.duplicated - before.duplicated, sim.heldBack - before.heldBack, sim.resent - before.resent,
                    interval_.outages, interval_.framesVerified, interval_.completed, interval_.deleted,
                    interval_.resumed, qPrintable(mib(peakRss_)), peakFds_);
        std::fflush(stdout);
        reportedSim_ = sim;
        total_.bytesStored += interval_.bytesStored;
        total_.framesVerified += interval_.framesVerified;
        total_.outages += interval_.outages;
        total_.completed += interval_.completed;
        total_.deleted += interval_.deleted;
        total_.resumed += interval_.resumed;
        interval_ = {};
        rssPeaks_.append(peakRss_);
        fdPeaks_.append(peakFds_);
        peakRss_ = 0;
        peakFds_ = 0;
        nextReportMs_ = now;
    }

    static qint64 maxOf(const QList<qint64>& values)
    {
        return values.isEmpty() ? 0 : *std::max_element(values.begin(), values.end());
    }

    // The peaks of the last third of the report intervals against those of the first third.
    void checkGrowth()
    {
        const qsizetype third = std::max<qsizetype>(1, rssPeaks_.size() / 3);
        const qint64 rssFirst = maxOf(rssPeaks_.first(third)), rssLast = maxOf(rssPeaks_.last(third));
        const qint64 fdsFirst = maxOf(fdPeaks_.first(third)), fdsLast = maxOf(fdPeaks_.last(third));
        std::printf("soak_peak_rss: %s first third, %s last third\nsoak_peak_fds: %lld first third, %lld last "
                    "third\n",
                    qPrintable(mib(rssFirst)), qPrintable(mib(rssLast)), fdsFirst, fdsLast);
        if (rssLast > rssFirst + RssSlackBytes || fdsLast > fdsFirst + FdSlack)
            fail("resident memory or descriptors grew past their bounds");
    }

    // Stops what still runs, waits for blocks on their way, checks what they left.
    void finish()
    {
        tick_.stop();
        if (paused_)
            sim_.resume();
        for (const Flight& flight : flights_) {
            manager_->removeClipFromRequests(flight.clip);
            queue_.cancel(queue_.rowOf(flight.clip.data()));
        }
        QTest::qWait(3000);
        for (const Flight& flight : flights_)
            verify(*flight.clip, false);
        // Blocks that arrived after their folder was deleted must not have made it again.
        QStringList live;
        for (const Flight& flight : flights_)
            live << flight.clip->folderName();
        const QStringList onDisk = QDir(clipPath_).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        if (QSet<QString>(onDisk.begin(), onDisk.end()) != QSet<QString>(live.begin(), live.end()))
            fail("folders on disk: " + onDisk.join(", ") + "; downloads left: " + live.join(", "));
        countStored(run_.elapsed());
        report(run_.elapsed());
        const SimCounters sim = readSimCounters();
        std::printf("soak_minutes: %.1f min\nsoak_bytes_stored: %s\nsoak_bytes_sent: %s\n"
                    "soak_faults: %lld dropped, %lld duplicated, %lld held back, %lld outages\n"
                    "soak_frames_verified: %lld\nsoak_clips: %lld completed, %lld deleted while downloading, "
                    "%lld resumed\nsoak_rss_idle_at_end: %s\n",
                    double(run_.elapsed()) / 60000.0, qPrintable(gib(total_.bytesStored)),
                    qPrintable(gib(sim.bytesSent)), sim.dropped, sim.duplicated, sim.heldBack, total_.outages,
                    total_.framesVerified, total_.completed, total_.deleted, total_.resumed,
                    qPrintable(mib(processusage::residentBytes())));
        checkGrowth();
        if (total_.framesVerified == 0)
            fail("no frame was verified");
        std::printf("%s\n", failure_.isEmpty() ? "soak passed" : qPrintable("soak FAILED: " + failure_));
        std::fflush(stdout);
        QCoreApplication::exit(exitCode());
    }

    Options options_;
    SimulatorProcess& sim_;
    QString clipPath_;
    std::mt19937_64 rng_;
    QFile log_;
    QByteArray logTail_; // a line the simulator has not finished writing

    RecorderEthernetModel recorders_;
    RecorderDiscovery discovery_{&recorders_};
    SavedClipList saved_;
    DownloadQueueModel queue_;
    RecorderDownloadManager* manager_ = nullptr;
    kvx::RecorderInfoPacket recorder_;

    QList<Flight> flights_;
    QTimer tick_;
    QElapsedTimer run_;
    int nextRow_ = 0;
    bool paused_ = false;
    qint64 resumeAtMs_ = 0, nextOutageMs_ = 0, nextDeleteMs_ = 0, nextReportMs_ = 0, lastProgressMs_ = 0;
    Figures interval_, total_;
    SimCounters simCounters_, reportedSim_;
    qint64 peakRss_ = 0;
    int peakFds_ = 0;
    QList<qint64> rssPeaks_; // per report interval
    QList<qint64> fdPeaks_;
    QString failure_;
};

Options parseOptions(const QCoreApplication& app)
{
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOptions({{"minutes", "Length of the run (default 30).", "M", "30"},
                       {"report-seconds", "Seconds between reports (default 60).", "S", "60"},
                       {"rate", "Simulator send rate in Gbit/s (default 0.8).", "GBPS", "0.8"},
                       {"seed", "Seed of the simulator's faults and of the soak's choices.", "N", "1"}});
    parser.process(app);
    Options o;
    o.minutes = std::max(0.1, parser.value("minutes").toDouble());
    o.reportSeconds = std::max(5, parser.value("report-seconds").toInt());
    o.rateGbps = parser.value("rate").toDouble();
    o.seed = parser.value("seed").toULongLong();
    return o;
}

} // namespace

int main(int argc, char** argv)
{
    // Before any thread exists: a process with threads cannot change its mount namespace.
    const bool privateMounts = privatemounts::enter();
    QCoreApplication app(argc, argv);
    const Options options = parseOptions(app);
    const privatemounts::SizedVolume volume(VolumeBytes);
    if (!privateMounts || !volume.isMounted()) {
        std::perror("tmpfs for the clip folders");
        return 2;
    }

    SimulatorProcess sim;
    QStringList simOptions{"--address",
                           "10.77.41.2",
                           "--clip-list-interval",
                           "500",
                           "--rate",
                           QString::number(options.rateGbps),
                           "--seed",
                           QString::number(options.seed),
                           "--loss",
                           "0.5",
                           "--duplicate",
                           "0.5",
                           "--reorder",
                           "1",
                           "--counters-interval",
                           "1000",
                           "--duration",
                           QString::number(int(options.minutes * 60) + 120)};
    for (const QString& clip : Clips)
        simOptions << "--clip" << clip;
    if (!sim.startWithOptions(simOptions, "10.77.41.2")) {
        std::fprintf(stderr, "%s\n", qPrintable(sim.error()));
        return 2;
    }
    std::printf("soak: %.1f min, %d clips, %d at once, %.2f Gbit/s, seed %llu, loss 0.5 %%, duplication 0.5 %%, "
                "reordering 1 %%\n",
                options.minutes, int(Clips.size()), options.inFlight, options.rateGbps, options.seed);
    Soak soak(options, sim, volume.path());
    if (!soak.start())
        return 1;
    return app.exec();
}

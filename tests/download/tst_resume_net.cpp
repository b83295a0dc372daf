// Resumed, batched and cancelled downloads against velmor-sim in the test network, through the
// clips manager's window-free side (discovery, recorder list, download launcher, saved clips).
// A "program restart" is the whole side torn down and built again from the clip folder.
#include "DownloadTestSupport.h"
#include "SimulatorProcess.h"
#include "TestFiles.h"

#include "download/DownloadLauncher.h"
#include "download/DownloadQueueModel.h"
#include "hashlist/HashListCheck.h"
#include "recorders/RecorderDiscovery.h"
#include "recorders/RecorderEthernetModel.h"
#include "recorders/RecorderView.h"
#include "storage/SavedClipList.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace downloadtest;

namespace {

constexpr int WaitMs = 60000;
constexpr qint64 FrameBytes = 256 * 128;
const QString Clip = QStringLiteral("256x128,frames=%2,number=%1,uid=%3");

// The clips manager without its window.
struct Program {
    RecorderEthernetModel recorders;
    RecorderDiscovery discovery{&recorders};
    SavedClipList saved;
    RecorderDownloadManager* manager = nullptr;
    kvx::RecorderInfoPacket recorder;

    bool start(const QString& clipPath, int clips)
    {
        saved.rebuildFromFolder(clipPath);
        discovery.on_broadcastTimeout();
        if (!QTest::qWaitFor([&] { return recorders.recorderCount() > 0; }, 15000))
            return false;
        manager = recorders.recorderAt(0)->downloadManager().data();
        recorder = recorders.recorderAt(0)->info();
        // Requests of 20 frames, so a stalled download has stored some of its blocks.
        for (const QSharedPointer<LinkChannel>& channel : manager->linkChannels())
            channel->maxRequestBytes = 20 * FrameBytes;
        return QTest::qWaitFor([&] { return manager->clipList()->rowCount() == clips; }, 15000);
    }
    QSharedPointer<DownloadableClip> clip(int row) const { return manager->clipList()->clipAt(row); }
    DownloadLauncher::Started download(int row, const QString& clipPath)
    {
        return DownloadLauncher::launch(discovery, recorder, *manager, clip(row), saved, clipPath);
    }
};

bool startSimulator(SimulatorProcess& sim, const QStringList& clips, const QStringList& faults = {})
{
    QStringList options{"--address", "10.77.41.2", "--clip-list-interval", "300", "--rate", "1"};
    for (const QString& clip : clips)
        options << "--clip" << clip;
    if (!sim.startWithOptions(options + faults, "10.77.41.2")) {
        qWarning().noquote() << sim.error();
        return false;
    }
    return true;
}

// Frame ranges and calibration blocks the recorder was asked for.
struct Asked {
    QList<ClipSegment> frames;
    int calibrations = 0;
};
Asked askedOf(const SimulatorProcess& sim, int clipNumber)
{
    Asked asked;
    for (const QJsonObject& line : sim.received("TxDataRequest")) {
        if (line.value("clip").toInt() != clipNumber)
            continue;
        if (line.value("flags").toInt() & 1)
            ++asked.calibrations;
        else
            asked.frames.append({line.value("first").toInteger(), line.value("last").toInteger()});
    }
    return asked;
}

bool overlaps(const QList<ClipSegment>& a, const QList<ClipSegment>& b)
{
    for (const ClipSegment& x : a)
        for (const ClipSegment& y : b)
            if (x.first <= y.last && y.first <= x.last)
                return true;
    return false;
}

// The folder's hash list checked by a reader that shares no code with the program.
QString independentCheck(const QString& folder)
{
    QProcess reader;
    reader.start("python3", {qEnvironmentVariable("VLM_SOURCE_DIR") + "/tests/hashlist/check_mhl.py", folder});
    if (!reader.waitForFinished(60000))
        return "the reader did not finish";
    return reader.exitCode() == 0 ? QString() : QString::fromUtf8(reader.readAll());
}

} // namespace

class TestResumeNet : public QObject {
    Q_OBJECT
private slots:
    void silentRecorderAndRestartsThenResumeFetchesOnlyTheMissingFrames()
    {
        QTemporaryDir clipPath;
        const QString clip = Clip.arg(0).arg(400).arg(77);
        QList<ClipSegment> before;
        bool calibrationBefore = false;
        {
            SimulatorProcess sim;
            QVERIFY(startSimulator(sim, {clip}, {"--stop-after", "700"}));
            Program program;
            QVERIFY(program.start(clipPath.path(), 1));
            const QSharedPointer<SavedClip> saved = program.download(0, clipPath.path()).clip;
            QVERIFY(saved);
            // Stalled: the recorder went silent half-way.
            QTRY_VERIFY_WITH_TIMEOUT(!sim.received("silent").isEmpty(), WaitMs);
            QTest::qWait(1000); // blocks received before are stored by then
            QVERIFY(saved->downloadedFrames() > 0);
            QVERIFY(saved->downloadedFrames() < 400);
            before = saved->segments();
            calibrationBefore = saved->isCalibrationPresent();
        } // the program and the recorder end

        SimulatorProcess sim;
        QVERIFY(startSimulator(sim, {clip}));
        Program program;
        QVERIFY(program.start(clipPath.path(), 1));
        QCOMPARE(program.saved.rowCount(), 1);
        const QSharedPointer<SavedClip> saved = program.saved.clipAt(0);
        QCOMPARE(saved->segments(), before);
        QVERIFY(saved->description().contains(QString("Incomplete: %1 of 400 frames").arg(saved->downloadedFrames())));

        // The download button on the same recorder clip resumes into the folder.
        const QSharedPointer<DownloadableClip> recorderClip = program.clip(0);
        QCOMPARE(DownloadLauncher::resumableFolderFor(program.saved, *recorderClip), saved);
        QSignalSpy hashList(saved.data(), &SavedClip::hashListFinished);
        const auto resumed = DownloadLauncher::resume(program.recorder, *program.manager, recorderClip, saved);
        QCOMPARE(resumed.refusal, DownloadLauncher::Refusal::None);
        QTRY_COMPARE_WITH_TIMEOUT(hashList.size(), 1, WaitMs);
        QVERIFY2(hashList[0][0].toBool(), qPrintable(hashList[0][1].toString()));
        QCOMPARE(program.saved.rowCount(), 1);
        QCOMPARE(compareFolder(*saved, SimClip{saved->info(), {}}, true), QString());

        const Asked asked = askedOf(sim, 0);
        QVERIFY(!asked.frames.isEmpty());
        QVERIFY2(!overlaps(asked.frames, before), "frames already stored were asked for again");
        QCOMPARE(asked.calibrations, calibrationBefore ? 0 : 1);

        QVERIFY(hashlistcheck::check(saved->folderPath(), true).intact());
        QCOMPARE(independentCheck(saved->folderPath()), QString());
    }

    void recorderClipThatNoLongerMatchesIsRefused()
    {
        QTemporaryDir clipPath;
        SimulatorProcess sim;
        // Same camera and clip id as the folder, but the recorder now says 300 frames.
        QVERIFY(startSimulator(sim, {Clip.arg(0).arg(300).arg(77)}));
        Program program;
        QVERIFY(program.start(clipPath.path(), 1));
        kvx::ClipInfoPacket::clipInfo folderInfo = program.clip(0)->info();
        folderInfo.totalFrames = 400;
        const QSharedPointer<SavedClip> saved = program.saved.appendClip(folderInfo);
        QVERIFY(saved->prepareDownload(clipPath.path(), {}));
        const QByteArray description = readFile(saved->folderPath() + "/clip.xml");

        const QSharedPointer<DownloadableClip> recorderClip =
            DownloadLauncher::recorderClipFor(*program.manager, *saved);
        QCOMPARE(recorderClip, program.clip(0));
        QVERIFY(!DownloadLauncher::resumableFolderFor(program.saved, *recorderClip));
        const auto refused = DownloadLauncher::resume(program.recorder, *program.manager, recorderClip, saved);
        QCOMPARE(refused.refusal, DownloadLauncher::Refusal::ClipMismatch);
        QTest::qWait(300);
        QCOMPARE(askedOf(sim, 0).frames.size(), 0);
        QCOMPARE(readFile(saved->folderPath() + "/clip.xml"), description);
        QCOMPARE(saved->downloadedFrames(), 0u);
    }

    void downloadAllWithOneDoneAndOneCancelledHalfWay()
    {
        QTemporaryDir clipPath;
        SimulatorProcess sim;
        QStringList clips;
        for (int n = 0; n < 5; ++n)
            clips << Clip.arg(n).arg(200).arg(100 + n);
        QVERIFY(startSimulator(sim, clips));
        Program program;
        QVERIFY(program.start(clipPath.path(), 5));

        DownloadQueueModel queue;
        const QSharedPointer<SavedClip> done = program.download(0, clipPath.path()).clip;
        QVERIFY(done);
        queue.follow(program.manager, done, "Clip 1");
        QTRY_COMPARE_WITH_TIMEOUT(queue.state(0), DownloadQueueModel::State::Done, WaitMs);
        // Cancelled once some blocks are stored: what is stored stays, and it can resume.
        const QSharedPointer<SavedClip> cancelled = program.download(1, clipPath.path()).clip;
        QVERIFY(cancelled);
        queue.follow(program.manager, cancelled, "Clip 2");
        QTRY_VERIFY_WITH_TIMEOUT(cancelled->downloadedFrames() > 0, WaitMs);
        QCOMPARE(queue.state(1), DownloadQueueModel::State::Downloading);
        QVERIFY(queue.cancel(1));
        QVERIFY(!program.manager->isDownloading(cancelled.data()));
        QTest::qWait(500);
        QCOMPARE(queue.state(1), DownloadQueueModel::State::Cancelled);
        QVERIFY(!cancelled->isComplete());
        const QList<ClipSegment> stored = cancelled->segments();
        QCOMPARE(compareFolder(*cancelled, SimClip{cancelled->info(), {}}, false), QString());
        const qsizetype askedBefore = askedOf(sim, 1).frames.size();

        const DownloadLauncher::Batch batch = DownloadLauncher::launchAll(
            program.discovery, program.recorder, *program.manager, program.saved, clipPath.path());
        QCOMPARE(batch.refusal, DownloadLauncher::Refusal::None);
        QCOMPARE(batch.started.size(), 4);
        QCOMPARE(batch.started[0].clip, cancelled);
        for (const DownloadLauncher::Started& started : batch.started)
            queue.follow(program.manager, started.clip, started.recorderClip->text());
        QCOMPARE(queue.rowCount(), 5); // the resumed clip keeps its row
        QCOMPARE(queue.state(4), DownloadQueueModel::State::Queued);
        const auto allDone = [&] {
            for (int row = 0; row < queue.rowCount(); ++row)
                if (queue.state(row) != DownloadQueueModel::State::Done)
                    return false;
            return true;
        };
        QTRY_VERIFY_WITH_TIMEOUT(allDone(), WaitMs);
        QCOMPARE(program.saved.rowCount(), 5);
        for (int row = 0; row < 5; ++row) {
            const QSharedPointer<SavedClip> clip = program.saved.clipAt(row);
            QCOMPARE(compareFolder(*clip, SimClip{clip->info(), {}}, true), QString());
        }
        QVERIFY2(!overlaps(askedOf(sim, 1).frames.mid(askedBefore), stored), "stored frames were asked for again");
        const DownloadLauncher::Batch again = DownloadLauncher::launchAll(
            program.discovery, program.recorder, *program.manager, program.saved, clipPath.path());
        QCOMPARE(again.refusal, DownloadLauncher::Refusal::NothingToDownload);
    }
};

QTEST_MAIN(TestResumeNet)
#include "tst_resume_net.moc"

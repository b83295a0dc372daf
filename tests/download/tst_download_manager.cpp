// The download manager against the recorder simulator's transfer server on 127.0.0.1, inside
// the test's own loopback-only network namespace.
#include "DownloadTestSupport.h"

#include "download/DownloadQueueModel.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QtTest>

using namespace downloadtest;
using Request = kvx::ReceiveUDPEngine::TransferRequest;

Q_DECLARE_METATYPE(TransferFaults)

namespace {

constexpr int DownloadTimeoutMs = 60000;

// Small ranges and little receive memory, so a clip of 200 frames takes many requests and the
// manager has to wait for memory.
constexpr quint64 FramesPerRequest = 16;
constexpr int BlocksInMemory = 3;

struct Download {
    Download(const SimClip& sim, const QString& base)
        : clip(sim), recorder(recorderClip(sim)), saved(preparedClip(recorder, base))
    {}
    SimClip clip;
    QSharedPointer<DownloadableClip> recorder;
    QSharedPointer<SavedClip> saved;

    void limitMemory()
    {
        saved->receiveMemory().setBudget(qint64(FramesPerRequest * frameSize(clip)) * BlocksInMemory);
    }
};

void limitRequests(RecorderDownloadManager& manager)
{
    for (const QSharedPointer<LinkChannel>& channel : manager.linkChannels())
        channel->maxRequestBytes = FramesPerRequest * 256 * 128;
}

// Every transfer request the manager's receive thread finished or gave up, in order.
struct TransferLog {
    explicit TransferLog(RecorderDownloadManager& manager)
    {
        kvx::ReceiveUDPThread* thread = manager.linkChannels().first()->thread.data();
        QObject::connect(thread, &kvx::ReceiveUDPThread::requestCompleted, &context,
                         [this](const Request& r) { note(r); });
        QObject::connect(thread, &kvx::ReceiveUDPThread::requestFailed, &context,
                         [this](const Request& r) { note(r); });
    }
    // Without the attached data, which would keep the receive blocks alive.
    void note(Request r)
    {
        r.data.reset();
        ended.append(r);
    }
    QObject context;
    QList<Request> ended;
};

bool isCalibration(const Request& r)
{
    return r.flags == 3;
}

} // namespace

class TestDownloadManager : public QObject {
    Q_OBJECT
private slots:
    void wholeClipArrivesByteExact_data()
    {
        QTest::addColumn<TransferFaults>("faults");
        QTest::newRow("clean") << TransferFaults{};
        TransferFaults f;
        f.lossPercent = 2;
        QTest::newRow("2 % loss") << f;
        f = {};
        f.duplicatePercent = 5;
        f.reorderPercent = 5;
        QTest::newRow("duplication and reordering") << f;
        f = {};
        // Silent for longer than the engine's whole time-out table: the transfer in flight
        // fails and its frames must be asked for again.
        f.stopAfterPackets = 200;
        f.resumeAfterMs = 4500;
        QTest::newRow("recorder silent, then back") << f;
        f = {};
        f.errorAfterPackets = 1;
        QTest::newRow("error on the calibration block") << f;
    }
    void wholeClipArrivesByteExact()
    {
        QFETCH(TransferFaults, faults);
        const SimClip sim = simClip(3, 200);
        LoopbackRecorder recorder({sim}, faults);
        QVERIFY(recorder.isRunning());
        QTemporaryDir base;
        RecorderDownloadManager manager;
        manager.makeChannel(loopbackLink(true));
        limitRequests(manager);
        TransferLog transfers(manager);
        Download download(sim, base.path());
        QVERIFY(download.saved);
        download.limitMemory();
        QSignalSpy finished(&manager, &RecorderDownloadManager::downloadFinished);
        QSignalSpy failed(&manager, &RecorderDownloadManager::downloadFailed);
        QSignalSpy progress(download.saved.data(), &SavedClip::clipDownloadProgress);

        QVERIFY(manager.addClipRequest(request(download.saved, download.recorder)));
        QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty() || !failed.isEmpty(), DownloadTimeoutMs);

        QCOMPARE(failed.size(), 0);
        QCOMPARE(finished.first().first().value<QSharedPointer<SavedClip>>(), download.saved);
        QCOMPARE(compareFolder(*download.saved, sim, true), QString());
        QVERIFY(!transfers.ended.isEmpty());
        QVERIFY(isCalibration(transfers.ended.first()));
        QCOMPARE(progress.last(), (QList<QVariant>{200, 200}));
        QVERIFY(!manager.isDownloading(download.saved.data()));
        // Every block has been stored and let go of its memory.
        QTRY_COMPARE(download.saved->receiveMemory().inUse(), 0);
    }

    void framesFollowTheCurrentFrame()
    {
        const SimClip sim = simClip(4, 200);
        LoopbackRecorder recorder({sim});
        QTemporaryDir base;
        RecorderDownloadManager manager;
        manager.makeChannel(loopbackLink(true));
        limitRequests(manager);
        TransferLog transfers(manager);
        Download download(sim, base.path());
        download.limitMemory();
        download.saved->setCurrentFrame(40);
        // The user moves the slider once the first block is stored.
        bool moved = false;
        connect(download.saved.data(), &SavedClip::clipDownloadProgress, this, [&] {
            if (!moved)
                download.saved->setCurrentFrame(150);
            moved = true;
        });
        QSignalSpy finished(&manager, &RecorderDownloadManager::downloadFinished);

        QVERIFY(manager.addClipRequest(request(download.saved, download.recorder)));
        QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty(), DownloadTimeoutMs);
        QCOMPARE(compareFolder(*download.saved, sim, true), QString());

        QList<quint32> starts;
        for (const Request& r : std::as_const(transfers.ended)) {
            if (!isCalibration(r))
                starts.append(r.firstFrame);
        }
        QCOMPARE(starts.first(), 40u);
        // After the move, the frames from 150 on come before the ones skipped at 100.
        const qsizetype from150 = starts.indexOf(150u);
        QVERIFY(from150 > 0);
        for (qsizetype i = 0; i < starts.size(); ++i) {
            if (starts[i] > 100 && starts[i] < 150)
                QVERIFY2(i > from150, qPrintable(QString("range from %1 came first").arg(starts[i])));
        }
        // Each range stays within the request limit and the clip.
        for (const Request& r : std::as_const(transfers.ended)) {
            if (!isCalibration(r)) {
                QVERIFY(r.lastFrame - r.firstFrame + 1 <= FramesPerRequest);
                QVERIFY(r.lastFrame < 200u);
            }
        }
    }

    void queuedClipsAllComplete()
    {
        const QList<SimClip> sims{simClip(0, 120), simClip(1, 200, 320, 240), simClip(2, 60)};
        LoopbackRecorder recorder(sims);
        QTemporaryDir base;
        RecorderDownloadManager manager;
        manager.makeChannel(loopbackLink(true));
        QSignalSpy finished(&manager, &RecorderDownloadManager::downloadFinished);
        QList<Download> downloads;
        for (const SimClip& sim : sims) {
            downloads.append(Download(sim, base.path()));
            QVERIFY(downloads.last().saved);
            // Two folders made in the same second must not be the same folder.
            QVERIFY(downloads.size() == 1
                    || downloads.last().saved->folderPath() != downloads.first().saved->folderPath());
        }
        for (const Download& d : std::as_const(downloads))
            QVERIFY(manager.addClipRequest(request(d.saved, d.recorder)));
        QCOMPARE(manager.queuedRequests().size(), size_t(3));

        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 3, DownloadTimeoutMs);
        for (const Download& d : std::as_const(downloads))
            QCOMPARE(compareFolder(*d.saved, d.clip, true), QString());
        QVERIFY(manager.queuedRequests().empty());
    }

    void goneRecorderEndsTheDownloadAndSaysWhy()
    {
        const SimClip sim = simClip(5, 200);
        TransferFaults faults;
        faults.stopAfterPackets = 300; // never back
        LoopbackRecorder recorder({sim}, faults);
        QTemporaryDir base;
        RecorderDownloadManager manager;
        manager.makeChannel(loopbackLink(true));
        limitRequests(manager);
        Download download(sim, base.path());
        // One block at a time, so every failed transfer is one more in a row.
        download.saved->receiveMemory().setBudget(qint64(FramesPerRequest * frameSize(sim)));
        QSignalSpy failed(&manager, &RecorderDownloadManager::downloadFailed);

        QVERIFY(manager.addClipRequest(request(download.saved, download.recorder)));
        QTRY_VERIFY_WITH_TIMEOUT(!failed.isEmpty(), 60000);
        QCOMPARE(failed.first().at(0).value<QSharedPointer<SavedClip>>(), download.saved);
        QVERIFY(!failed.first().at(1).toString().isEmpty());
        QVERIFY(!manager.isDownloading(download.saved.data()));
        // What was stored before the recorder went away is right, and nothing else is marked.
        QVERIFY(!download.saved->isComplete());
        QCOMPARE(compareFolder(*download.saved, sim, false), QString());
    }

    void linkWithoutTransfersIssuesNothing()
    {
        const SimClip sim = simClip(6, 50);
        QTemporaryDir base;
        RecorderDownloadManager manager;
        manager.makeChannel(loopbackLink(false));
        QVERIFY(manager.linkChannels().first()->thread.isNull());
        Download download(sim, base.path());
        QVERIFY(manager.addClipRequest(request(download.saved, download.recorder)));
        QTest::qWait(5 * RecorderDownloadManager::TickMs);
        QCOMPARE(manager.queuedRequests().size(), size_t(1));
        QVERIFY(!download.recorder->isCalibrationRequested());
        QVERIFY(download.recorder->segments().isEmpty());
    }

    void firstTickIssuesOnlyTheCalibration()
    {
        const SimClip sim = simClip(7, 50);
        QTemporaryDir base;
        RecorderDownloadManager manager;
        manager.makeChannel(loopbackLink(true)); // nobody answers: nothing completes
        Download download(sim, base.path());
        QSignalSpy segments(download.recorder.data(), &DownloadableClip::segmentListUpdated);
        QVERIFY(manager.addClipRequest(request(download.saved, download.recorder)));
        // Event by event, so the state right after the first tick is seen.
        QDeadlineTimer deadline(5000);
        while (!download.recorder->isCalibrationRequested() && !deadline.hasExpired())
            QCoreApplication::processEvents();
        QVERIFY(download.recorder->isCalibrationRequested());
        QVERIFY(download.recorder->segments().isEmpty());
        // The next tick asks for every frame in one range (far below the request limit).
        QTRY_COMPARE(download.recorder->segments(), (QList<ClipSegment>{{0, 49}}));
    }

    void requestsForAnotherClipOrRemovedAreNotIssued()
    {
        const SimClip sim = simClip(8, 50);
        QTemporaryDir base;
        RecorderDownloadManager manager;
        manager.makeChannel(loopbackLink(true));
        Download download(sim, base.path());
        const auto other = recorderClip(simClip(9, 50));
        QVERIFY(!manager.addClipRequest(request(download.saved, other)));
        QVERIFY(manager.queuedRequests().empty());

        QVERIFY(manager.addClipRequest(request(download.saved, download.recorder)));
        manager.removeClipFromRequests(download.saved);
        QVERIFY(!manager.isDownloading(download.saved.data()));
        QTest::qWait(5 * RecorderDownloadManager::TickMs);
        QVERIFY(!download.recorder->isCalibrationRequested());
    }

    void clipWhoseBlocksCannotBeStoredFailsInsteadOfRetryingForever()
    {
        const SimClip sim = simClip(10, 100);
        LoopbackRecorder recorder({sim});
        QTemporaryDir base;
        RecorderDownloadManager manager;
        manager.makeChannel(loopbackLink(true));
        Download download(sim, base.path());
        QSignalSpy failed(&manager, &RecorderDownloadManager::downloadFailed);
        QVERIFY(manager.addClipRequest(request(download.saved, download.recorder)));
        // The user deletes the folder while it downloads: nothing can be stored any more.
        QVERIFY(download.saved->deleteFolder());
        QTRY_VERIFY_WITH_TIMEOUT(!failed.isEmpty(), DownloadTimeoutMs);
        QVERIFY(!manager.isDownloading(download.saved.data()));
        QVERIFY(!QFileInfo::exists(download.saved->folderPath()));
    }

    // A link whose receive thread finds no free local port: the download ends at once and says
    // why, for the window to show.
    void linkWithoutAFreePortEndsTheDownloadWithTheReason()
    {
        std::vector<std::unique_ptr<QUdpSocket>> taken;
        for (quint32 port = 65530; port <= 0xFFFF; ++port) {
            taken.push_back(std::make_unique<QUdpSocket>());
            QVERIFY(taken.back()->bind(QHostAddress::AnyIPv4, quint16(port), QAbstractSocket::DontShareAddress));
        }
        const SimClip sim = simClip(13, 50);
        QTemporaryDir base;
        RecorderDownloadManager manager;
        kvx::RecorderInfoPacket::EthernetInfo ethernet = loopbackLink(true)->ethernet();
        ethernet.transferPort = 65530;
        manager.makeChannel(QSharedPointer<EthernetView>::create(ethernet, nullptr, 0));
        Download download(sim, base.path());
        QSignalSpy failed(&manager, &RecorderDownloadManager::downloadFailed);

        QVERIFY(manager.addClipRequest(request(download.saved, download.recorder)));
        QTRY_VERIFY_WITH_TIMEOUT(!failed.isEmpty(), 10000);
        QCOMPARE(failed.size(), 1);
        QVERIFY2(failed.first().at(1).toString().contains("port"), qPrintable(failed.first().at(1).toString()));
        QVERIFY(!manager.isDownloading(download.saved.data()));
    }

    // A second folder for a recorder clip that is downloading is refused whatever the first
    // download is doing: queued, asking for its calibration, or every range asked for and
    // waiting for the blocks. Nobody answers on the link, so each stage lasts.
    void aClipDownloadsOnceAtATime()
    {
        const SimClip sim = simClip(11, 64);
        QTemporaryDir base;
        RecorderDownloadManager manager;
        manager.makeChannel(loopbackLink(true));
        limitRequests(manager);
        Download first(sim, base.path());
        // Prepared like any folder, but the recorder clip is not reset: it holds what the first
        // download asked for.
        auto second = QSharedPointer<SavedClip>::create(sim.info);
        QVERIFY(second->prepareDownload(base.path(), {}));
        const auto refusesTheSecond = [&] {
            const QList<ClipSegment> requested = first.recorder->segments();
            const bool refused = !manager.addClipRequest(request(second, first.recorder));
            return refused && !manager.isDownloading(second.data()) && first.recorder->segments() == requested;
        };

        QVERIFY(manager.addClipRequest(request(first.saved, first.recorder)));
        QVERIFY2(refusesTheSecond(), "queued");
        QTRY_VERIFY(first.recorder->isCalibrationRequested());
        QVERIFY2(refusesTheSecond(), "calibration asked for");
        QTRY_VERIFY(manager.queuedRequests().empty());
        QVERIFY(manager.isDownloading(first.saved.data()));
        QCOMPARE(first.recorder->segments(), (QList<ClipSegment>{{0, 63}}));
        QVERIFY2(refusesTheSecond(), "every range asked for");
        // The same folder twice is no second download either.
        QVERIFY(!manager.addClipRequest(request(first.saved, first.recorder)));

        manager.removeClipFromRequests(first.saved);
        QVERIFY(manager.addClipRequest(request(second, first.recorder)));
    }

    // The clip is downloaded into a folder and then again into another: deleting the first
    // folder must leave the second download alone.
    void deletingOneFolderLeavesTheOtherDownloadAlone()
    {
        const SimClip sim = simClip(12, 120);
        LoopbackRecorder recorder({sim});
        QTemporaryDir base;
        RecorderDownloadManager manager;
        manager.makeChannel(loopbackLink(true));
        limitRequests(manager);
        QSignalSpy finished(&manager, &RecorderDownloadManager::downloadFinished);
        Download first(sim, base.path());
        QVERIFY(manager.addClipRequest(request(first.saved, first.recorder)));
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, DownloadTimeoutMs);

        const auto again = preparedClip(first.recorder, base.path());
        QVERIFY(again);
        again->receiveMemory().setBudget(qint64(FramesPerRequest * frameSize(sim)));
        QVERIFY(manager.addClipRequest(request(again, first.recorder)));
        QTRY_VERIFY(!again->segments().isEmpty());
        manager.removeClipFromRequests(first.saved);
        QVERIFY(first.saved->deleteFolder());

        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 2, DownloadTimeoutMs);
        QCOMPARE(finished.last().first().value<QSharedPointer<SavedClip>>(), again);
        QCOMPARE(compareFolder(*again, sim, true), QString());
    }

    // The queue of a long session: a resumed clip keeps its row, the end of a download is taken
    // once however many downloads were followed, and a deleted clip's row goes for good.
    void queueOfManyDownloadsOfOneManager()
    {
        QTemporaryDir base;
        RecorderDownloadManager manager;
        DownloadQueueModel queue;
        QList<QSharedPointer<SavedClip>> clips;
        for (quint16 n = 0; n < 3; ++n) {
            clips.append(preparedClip(recorderClip(simClip(n, 10)), base.path()));
            QVERIFY(clips.last());
            queue.follow(&manager, clips.last(), QString("Clip %1").arg(n + 1));
            if (n == 1)
                queue.follow(&manager, clips.last(), "Clip 2 resumed");
        }
        QCOMPARE(queue.rowCount(), 3);
        QSignalSpy changed(&queue, &QAbstractItemModel::dataChanged);
        emit manager.downloadFailed(clips[2], "gone");
        QCOMPARE(changed.size(), 1);
        QCOMPARE(queue.state(2), DownloadQueueModel::State::Failed);

        queue.forget(clips[0].data());
        QCOMPARE(queue.rowCount(), 2);
        QCOMPARE(queue.clipAt(0), clips[1]);
        emit manager.downloadFailed(clips[0], "gone");
        emit clips[0]->clipDownloadProgress(1, 10);
        QCOMPARE(queue.state(0), DownloadQueueModel::State::Queued);
        QCOMPARE(queue.rowOf(clips[0].data()), -1);
    }
};

QTEST_MAIN(TestDownloadManager)
#include "tst_download_manager.moc"

// Starting a download as the download button does, without a window: the checks that refuse
// it, and the questions to the recorder whose answers seed the new clip folder.
#include "SampleClips.h"
#include "SampleRecorders.h"
#include "common/packets/ColorMatrixTable.h"
#include "download/DownloadLauncher.h"
#include "download/RecorderCommandChannel.h"
#include "download/RecorderDownloadManager.h"
#include "storage/SavedClipList.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

namespace {

ColorMatrixRecord matrix(qint32 kelvin)
{
    ColorMatrixRecord record;
    record.temperature = kelvin;
    record.matrix = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    return record;
}

OutputStatePacket stateWithRedPedestal(qint16 pedestal)
{
    OutputStatePacket state;
    state.values[3] = pedestal;
    return state;
}

// A recorder behind the discovery socket: each query is answered, and the answer waits on the
// socket until the socket is read.
class AnsweringRecorder : public RecorderCommandChannel {
public:
    explicit AnsweringRecorder(RecorderDownloadManager& manager) : manager_(manager) { clock_.start(); }

    void sendCommand(const kvx::RecorderInfoPacket&, const ParameterPacket& command) override
    {
        sent.append({command.code, clock_.elapsed()});
        if (command.code == 26) {
            waiting_.append(paintOptions.encode());
        } else if (command.code == 15) {
            ParameterPacket reply{15, ParameterPacket::PayloadFollows, ParameterPacket::Reply, 0, matrices.encode()};
            reply.word = quint32(reply.payload.size());
            waiting_.append(reply.encode());
        }
    }
    void takeAnswers() override
    {
        answersTakenAtMs = clock_.elapsed();
        for (const QByteArray& answer : std::exchange(waiting_, {}))
            manager_.processDatagram(answer);
    }

    struct Sent {
        quint8 code;
        qint64 atMs;
    };
    QList<Sent> sent;
    qint64 answersTakenAtMs = -1;
    OutputStatePacket paintOptions = stateWithRedPedestal(17);
    ColorMatrixTable matrices{7, {matrix(3200), matrix(5600)}};

private:
    RecorderDownloadManager& manager_;
    QList<QByteArray> waiting_;
    QElapsedTimer clock_;
};

} // namespace

Q_DECLARE_METATYPE(DownloadLauncher::Refusal)

class TestDownloadLauncher : public QObject {
    Q_OBJECT
private slots:
    void theNewClipStartsFromTheRecordersAnswers()
    {
        QTemporaryDir dir;
        RecorderDownloadManager manager;
        // What the recorder said at first contact, since changed on the recorder.
        manager.processDatagram(stateWithRedPedestal(5).encode());
        AnsweringRecorder recorder(manager);
        SavedClipList saved;
        const auto clip = QSharedPointer<DownloadableClip>::create(sampleClip(1, 4, 2048, 1080));

        const auto started =
            DownloadLauncher::launch(recorder, recorderInfo(1, "10.77.41.2"), manager, clip, saved, dir.path());
        QVERIFY(started.clip);
        QCOMPARE(started.refusal, DownloadLauncher::Refusal::None);

        // Paint options, then matrices, spaced so the recorder answers one before the next.
        QCOMPARE(recorder.sent.size(), 2);
        QCOMPARE(recorder.sent[0].code, quint8(26));
        QCOMPARE(recorder.sent[1].code, quint8(15));
        QVERIFY(recorder.sent[1].atMs - recorder.sent[0].atMs >= 50);
        QVERIFY(recorder.answersTakenAtMs - recorder.sent[1].atMs >= 100);

        // The folder holds the answers, not what first contact brought.
        QCOMPARE(started.clip->renderState().floatValue("PedestalR"), 17.0f);
        QCOMPARE(started.clip->colorMatrices().records, recorder.matrices.records);
        SavedClip reopened;
        QVERIFY(reopened.openFolder(started.clip->folderPath()));
        QCOMPARE(reopened.colorMatrices().records, recorder.matrices.records);

        QCOMPARE(saved.rowCount(), 1);
        QVERIFY(manager.isDownloading(started.clip.data()));
    }

    // Pressing download again for a clip that is downloading gives a message and leaves the
    // running download, and what it has asked the recorder for, as they are.
    void startingADownloadingClipAgainIsRefused()
    {
        QTemporaryDir dir;
        RecorderDownloadManager manager;
        AnsweringRecorder recorder(manager);
        SavedClipList saved;
        const kvx::RecorderInfoPacket info = recorderInfo(1, "10.77.41.2");
        const auto clip = QSharedPointer<DownloadableClip>::create(sampleClip(1, 4, 2048, 1080));
        const auto first = DownloadLauncher::launch(recorder, info, manager, clip, saved, dir.path());
        QVERIFY(first.clip);
        clip->setCalibrationRequested(true);
        clip->addRange({0, 1});
        recorder.sent.clear();

        const auto again = DownloadLauncher::launch(recorder, info, manager, clip, saved, dir.path());
        QVERIFY(!again.clip);
        QVERIFY(!DownloadLauncher::message(again.refusal).isEmpty());
        QVERIFY(recorder.sent.isEmpty());
        QCOMPARE(saved.rowCount(), 1);
        QCOMPARE(manager.queuedRequests().size(), size_t(1));
        QVERIFY(clip->isCalibrationRequested());
        QCOMPARE(clip->segments(), (QList<ClipSegment>{{0, 1}}));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1);
    }

    void refusedDownloadsAskNothing_data()
    {
        QTest::addColumn<quint8>("linkFlags");
        QTest::addColumn<quint64>("frames");
        QTest::addColumn<DownloadLauncher::Refusal>("refusal");
        QTest::newRow("1G link") << quint8(0x01) << quint64(4) << DownloadLauncher::Refusal::SlowLink;
        QTest::newRow("larger than the disk")
            << quint8(0x11) << (quint64(1) << 36) << DownloadLauncher::Refusal::NotEnoughDiskSpace;
    }
    void refusedDownloadsAskNothing()
    {
        QFETCH(quint8, linkFlags);
        QFETCH(quint64, frames);
        QFETCH(DownloadLauncher::Refusal, refusal);
        QTemporaryDir dir;
        RecorderDownloadManager manager;
        AnsweringRecorder recorder(manager);
        SavedClipList saved;
        const auto clip = QSharedPointer<DownloadableClip>::create(sampleClip(1, frames, 2048, 1080));

        const auto started = DownloadLauncher::launch(recorder, recorderInfo(1, "10.77.41.2", linkFlags), manager, clip,
                                                      saved, dir.path());
        QVERIFY(!started.clip);
        QCOMPARE(started.refusal, refusal);
        QVERIFY(recorder.sent.isEmpty());
        QCOMPARE(saved.rowCount(), 0);
        QVERIFY(manager.queuedRequests().empty());
        QVERIFY(QDir(dir.path()).isEmpty());
    }

    void diskSpaceAndLinkChecks()
    {
        kvx::ClipInfoPacket::clipInfo info;
        info.totalFrames = 100;
        info.lineBytes = 256;
        info.lineCount = 128;
        const DownloadableClip clip(info);
        const qint64 needed = clip.requiredBytes();
        QCOMPARE(DownloadLauncher::checkDiskSpace(clip, needed), DownloadLauncher::Refusal::None);
        QCOMPARE(DownloadLauncher::checkDiskSpace(clip, needed - 1), DownloadLauncher::Refusal::NotEnoughDiskSpace);
        QCOMPARE(DownloadLauncher::checkDiskSpace(clip, -1), DownloadLauncher::Refusal::NotEnoughDiskSpace);

        kvx::RecorderInfoPacket recorder;
        recorder.ethernet.linkFlags = 0x01;
        QCOMPARE(DownloadLauncher::checkLink(recorder), DownloadLauncher::Refusal::SlowLink);
        recorder.ethernet.linkFlags = 0x11;
        QCOMPARE(DownloadLauncher::checkLink(recorder), DownloadLauncher::Refusal::None);
    }
};

QTEST_MAIN(TestDownloadLauncher)
#include "tst_download_launcher.moc"

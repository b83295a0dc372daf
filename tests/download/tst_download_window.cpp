// Downloads started from the clips manager's main window, with the recorder simulator on the
// recorder side of the test network. Runs in a mount namespace of its own so that clip folders
// can live on small tmpfs volumes of exact sizes.
#include "DownloadTestSupport.h"
#include "PrivateMounts.h"
#include "SimulatorProcess.h"

#include "clipsmgr/MainWindow.h"
#include "clipsmgr/VLMClipsApp.h"
#include "download/DownloadLauncher.h"
#include "download/DownloadQueueModel.h"
#include "hashlist/HashListCheck.h"
#include "recorders/RecorderView.h"

#include <QDir>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <memory>

using namespace downloadtest;

namespace {

constexpr int RecorderFoundMs = 15000;
constexpr int DownloadMs = 60000;
const QString SmallClip = QStringLiteral("256x128,frames=200,number=%1");

bool privateMounts = false;
using privatemounts::SizedVolume;

// Answers the next message box with Ok and keeps its text.
class MessageCatcher : public QObject {
public:
    MessageCatcher()
    {
        connect(&timer_, &QTimer::timeout, this, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts.append(box->text());
                box->accept();
            }
        });
        timer_.start(20);
    }
    QStringList texts;

private:
    QTimer timer_;
};

// The window with the simulator's recorder listed and its clips shown.
struct Session {
    SimulatorProcess simulator;
    std::unique_ptr<MainWindow> window;
    RecorderDownloadManager* manager = nullptr;

    bool start(const QStringList& simulatorOptions, const QString& clipPath)
    {
        const QStringList options{"--address", "10.77.41.2", "--clip-list-interval", "500", "--rate", "0"};
        if (!simulator.startWithOptions(options + simulatorOptions, "10.77.41.2")) {
            qWarning().noquote() << simulator.error();
            return false;
        }
        VLMClipsApp::instance()->ClipPath = clipPath;
        window = std::make_unique<MainWindow>();
        if (!QTest::qWaitFor([this] { return window->recorderModel()->recorderCount() > 0; }, RecorderFoundMs))
            return false;
        manager = window->recorderModel()->recorderAt(0)->downloadManager().data();
        return QTest::qWaitFor([this] { return manager->clipList()->rowCount() > 0; }, RecorderFoundMs);
    }

    QListView* clipsView() const { return window->findChild<QListView*>("recorderClipsView"); }
    QLabel* progressLabel() const { return window->findChild<QLabel*>("downloadProgLbl"); }
    QProgressBar* progressBar() const { return window->findChild<QProgressBar*>("downloadProgBar"); }

    void selectClip(int row) { clipsView()->setCurrentIndex(manager->clipList()->index(row, 0)); }
    SimClip simClipAt(int row) const { return SimClip{manager->clipList()->clipAt(row)->info(), {}}; }
};

} // namespace

class TestDownloadWindow : public QObject {
    Q_OBJECT
private slots:
    void clickDownloadsTheWholeClip_data()
    {
        QTest::addColumn<QStringList>("faults");
        QTest::addColumn<bool>("doubleClick");
        QTest::newRow("clean, button") << QStringList{} << false;
        QTest::newRow("clean, double-click") << QStringList{} << true;
        QTest::newRow("2 % loss") << QStringList{"--loss", "2"} << false;
        QTest::newRow("duplication and reordering") << QStringList{"--duplicate", "5", "--reorder", "5"} << false;
        // Longer than the engine's whole time-out table.
        QTest::newRow("recorder silent, then back")
            << QStringList{"--stop-after", "300", "--resume-after", "4500"} << false;
    }
    void clickDownloadsTheWholeClip()
    {
        QFETCH(QStringList, faults);
        QFETCH(bool, doubleClick);
        QTemporaryDir clipPath;
        Session session;
        QVERIFY(session.start(faults + QStringList{"--clip", SmallClip.arg(0)}, clipPath.path()));
        QSignalSpy finished(session.manager, &RecorderDownloadManager::downloadFinished);

        session.selectClip(0);
        if (doubleClick)
            session.window->on_recorderClipsView_doubleClicked(session.clipsView()->currentIndex());
        else
            session.window->on_downloadClipBtn_clicked();

        SavedClipList* saved = session.window->savedClips();
        QCOMPARE(saved->rowCount(), 1);
        const QSharedPointer<SavedClip> clip = saved->clipAt(0);
        QVERIFY(!session.progressBar()->isHidden() || !finished.isEmpty());
        QStringList shown;
        connect(clip.data(), &SavedClip::clipDownloadProgress, this,
                [&] { shown.append(session.progressLabel()->text()); });

        QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty(), DownloadMs);
        QCOMPARE(compareFolder(*clip, session.simClipAt(0), true), QString());
        QVERIFY(session.progressBar()->isHidden());
        QCOMPARE(session.progressLabel()->text(), QString());
        const QRegularExpression progressText("^Downloading \\d+% - 'Clip 1 \\(200 frames.*' - Speed: \\d+\\.\\d Gbps$",
                                              QRegularExpression::DotMatchesEverythingOption);
        QVERIFY(!shown.isEmpty());
        if (shown.size() > 1)
            QVERIFY2(progressText.match(shown.first()).hasMatch(), qPrintable(shown.first()));
        QVERIFY(shown.last().isEmpty());
    }

    void queuedClipsAllComplete()
    {
        QTemporaryDir clipPath;
        Session session;
        QVERIFY(session.start({"--clip", SmallClip.arg(0), "--clip", SmallClip.arg(1), "--clip", SmallClip.arg(2)},
                              clipPath.path()));
        QTRY_COMPARE(session.manager->clipList()->rowCount(), 3);
        QSignalSpy finished(session.manager, &RecorderDownloadManager::downloadFinished);
        for (int row = 0; row < 3; ++row) {
            session.selectClip(row);
            session.window->on_downloadClipBtn_clicked();
        }
        QCOMPARE(session.window->savedClips()->rowCount(), 3);
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 3, DownloadMs);
        for (int row = 0; row < 3; ++row) {
            const QSharedPointer<SavedClip> clip = session.window->savedClips()->clipAt(row);
            QCOMPARE(compareFolder(*clip, SimClip{clip->info(), {}}, true), QString());
        }
    }

    void nothingSelectedIsRefused()
    {
        QTemporaryDir clipPath;
        VLMClipsApp::instance()->ClipPath = clipPath.path();
        MainWindow window; // nobody answers on this side of the network yet
        MessageCatcher messages;
        window.on_downloadClipBtn_clicked();
        QCOMPARE(messages.texts, QStringList{"No clips or recorders selected. Unable to download."});
        QCOMPARE(window.savedClips()->rowCount(), 0);
    }

    void slowLinkIsRefused()
    {
        QTemporaryDir clipPath;
        VLMClipsApp::instance()->ClipPath = clipPath.path();
        MainWindow window;
        kvx::RecorderInfoPacket recorder;
        recorder.recorderId = 77;
        recorder.ethernet.setAddress(QHostAddress("10.77.41.9"));
        recorder.ethernet.linkFlags = 0x01; // carries transfers, link code 0: the 1G port
        QVERIFY(window.recorderModel()->addRecorder(recorder));
        RecorderDownloadManager* manager = window.recorderModel()->recorderAt(0)->downloadManager().data();
        manager->clipList()->insertClip(simClip(0, 10).info, 0);
        window.findChild<QListView*>("recorderClipsView")->setCurrentIndex(manager->clipList()->index(0, 0));

        MessageCatcher messages;
        window.on_downloadClipBtn_clicked();
        QCOMPARE(messages.texts, QStringList{"The current Ethernet link is 1G. The clips cannot be downloaded."});
        QCOMPARE(window.savedClips()->rowCount(), 0);
        QVERIFY(manager->queuedRequests().empty());
    }

    void diskSpaceDecides()
    {
        QVERIFY2(privateMounts, "no private mount namespace for the test volumes");
        QTemporaryDir otherPath;
        Session session;
        QVERIFY(session.start({"--clip", SmallClip.arg(0)}, otherPath.path()));
        session.selectClip(0);
        const qint64 needed = session.manager->clipList()->clipAt(0)->requiredBytes();
        QCOMPARE(needed % 4096, 0); // a volume of exactly that size can be made

        {
            SizedVolume tooSmall(needed - 4096);
            QVERIFY(tooSmall.isMounted());
            VLMClipsApp::instance()->ClipPath = tooSmall.path();
            MessageCatcher messages;
            session.window->on_downloadClipBtn_clicked();
            QCOMPARE(messages.texts, QStringList{"Unable to download clip. Not enough disk space."});
            QCOMPARE(session.window->savedClips()->rowCount(), 0);
        }

        SizedVolume exact(needed);
        QVERIFY(exact.isMounted());
        QCOMPARE(DownloadLauncher::bytesAvailable(exact.path()), needed);
        VLMClipsApp::instance()->ClipPath = exact.path();
        QSignalSpy finished(session.manager, &RecorderDownloadManager::downloadFinished);
        session.window->on_downloadClipBtn_clicked();
        QCOMPARE(session.window->savedClips()->rowCount(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty(), DownloadMs);
        QCOMPARE(compareFolder(*session.window->savedClips()->clipAt(0), session.simClipAt(0), true), QString());
    }

    void calibrationThatCouldNotBeStoredIsAskedForAgain()
    {
        QVERIFY2(privateMounts, "no private mount namespace for the test volumes");
        QTemporaryDir otherPath;
        Session session;
        QVERIFY(session.start({"--clip", SmallClip.arg(0)}, otherPath.path()));
        const QSharedPointer<DownloadableClip> recorderClip = session.manager->clipList()->clipAt(0);
        SizedVolume volume(recorderClip->requiredBytes());
        QVERIFY(volume.isMounted());
        const QSharedPointer<SavedClip> saved = preparedClip(recorderClip, volume.path());
        QVERIFY(saved);

        // The disk fills up before the calibration arrives; space comes back after its first
        // store failed.
        QFile filler(volume.path() + "/filler");
        QVERIFY(filler.open(QIODevice::WriteOnly));
        const QByteArray block(1 << 20, 'x');
        while (filler.write(block) > 0) {}
        filler.close();
        QVERIFY(DownloadLauncher::bytesAvailable(volume.path()) < 1 << 20);
        connect(saved.data(), &SavedClip::calibrationStoreFailed, this, [&] { QFile::remove(filler.fileName()); });
        QSignalSpy calibrationFailures(saved.data(), &SavedClip::calibrationStoreFailed);
        QSignalSpy finished(session.manager, &RecorderDownloadManager::downloadFinished);
        QSignalSpy failed(session.manager, &RecorderDownloadManager::downloadFailed);

        QVERIFY(session.manager->addClipRequest(request(saved, recorderClip)));
        QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty() || !failed.isEmpty(), DownloadMs);
        QCOMPARE(failed.size(), 0);
        QCOMPARE(calibrationFailures.size(), 1);
        QCOMPARE(compareFolder(*saved, session.simClipAt(0), true), QString());
    }

    // Another program fills the volume while the clip downloads. What was stored stays, the
    // folder names nothing it does not hold, the window says why it stopped, and once space is
    // freed the download button continues the folder to the end.
    void volumeFillingUpStopsAndResumeCompletes()
    {
        QVERIFY2(privateMounts, "no private mount namespace for the test volumes");
        QTemporaryDir otherPath;
        Session session;
        QVERIFY(session.start({"--clip", "512x256,frames=400,number=0", "--rate", "0.3"}, otherPath.path()));
        for (const QSharedPointer<LinkChannel>& channel : session.manager->linkChannels())
            channel->maxRequestBytes = 20 * 512 * 256;
        SizedVolume volume(session.manager->clipList()->clipAt(0)->requiredBytes() + (1 << 20));
        QVERIFY(volume.isMounted());
        VLMClipsApp::instance()->ClipPath = volume.path();
        QSignalSpy failed(session.manager, &RecorderDownloadManager::downloadFailed);
        QSignalSpy finished(session.manager, &RecorderDownloadManager::downloadFinished);
        session.selectClip(0);
        session.window->on_downloadClipBtn_clicked();
        QCOMPARE(session.window->savedClips()->rowCount(), 1);
        const QSharedPointer<SavedClip> clip = session.window->savedClips()->clipAt(0);
        QTRY_VERIFY_WITH_TIMEOUT(clip->downloadedFrames() >= 60, DownloadMs);

        QFile filler(volume.path() + "/filler");
        QVERIFY(filler.open(QIODevice::WriteOnly));
        const QByteArray block(64 << 10, 'x');
        while (filler.write(block) > 0 && filler.flush()) {}
        filler.close();
        QTRY_VERIFY_WITH_TIMEOUT(!failed.isEmpty(), DownloadMs);
        QVERIFY(finished.isEmpty());
        QVERIFY(!clip->isComplete());
        QVERIFY2(session.progressLabel()->text().startsWith("Download stopped - 'Clip 1")
                     && session.progressLabel()->text().endsWith("could not be written to disk"),
                 qPrintable(session.progressLabel()->text()));
        DownloadQueueModel* queue = session.window->downloadQueue();
        QCOMPARE(queue->state(0), DownloadQueueModel::State::Failed);
        QTest::qWait(500); // blocks still on their way are stored or refused
        QCOMPARE(compareFolder(*clip, session.simClipAt(0), false), QString());
        // What clip.xml says is present is on disk, as a restarted program reads it.
        SavedClip reopened;
        QVERIFY(reopened.openFolder(clip->folderPath()));
        QVERIFY(reopened.downloadedFrames() >= 60);
        QVERIFY(!reopened.isComplete());
        QCOMPARE(compareFolder(reopened, session.simClipAt(0), false), QString());

        QVERIFY(QFile::remove(filler.fileName()));
        session.window->on_downloadClipBtn_clicked();
        QCOMPARE(session.window->savedClips()->rowCount(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty(), DownloadMs);
        QCOMPARE(compareFolder(*clip, session.simClipAt(0), true), QString());
        QTRY_COMPARE_WITH_TIMEOUT(queue->state(0), DownloadQueueModel::State::Done, DownloadMs);
        QVERIFY(hashlistcheck::check(clip->folderPath(), true).intact());
    }

    void stoppedDownloadIsShownInTheWindow()
    {
        QTemporaryDir clipPath;
        Session session;
        // The recorder goes away for good part way through.
        QVERIFY(session.start({"--clip", SmallClip.arg(0), "--stop-after", "400"}, clipPath.path()));
        QSignalSpy failed(session.manager, &RecorderDownloadManager::downloadFailed);
        session.selectClip(0);
        session.window->on_downloadClipBtn_clicked();
        QTRY_VERIFY_WITH_TIMEOUT(!failed.isEmpty(), 90000);
        QVERIFY(session.progressBar()->isHidden());
        QVERIFY2(session.progressLabel()->text().startsWith("Download stopped - 'Clip 1"),
                 qPrintable(session.progressLabel()->text()));
        const QSharedPointer<SavedClip> clip = session.window->savedClips()->clipAt(0);
        QCOMPARE(compareFolder(*clip, session.simClipAt(0), false), QString());
    }

    // With VLM_SCREENSHOT_DIR set, pictures of the resume entry and of the queue go there.
    void cancelledClipIsResumedByDownloadAll()
    {
        QTemporaryDir clipPath;
        Session session;
        QStringList clips{"--rate", "0.3"};
        for (int n = 0; n < 4; ++n)
            clips << "--clip" << QString("512x256,frames=400,number=%1").arg(n);
        QVERIFY(session.start(clips, clipPath.path()));
        QTRY_COMPARE(session.manager->clipList()->rowCount(), 4);
        // Requests of 20 frames, so the clips fill block by block.
        for (const QSharedPointer<LinkChannel>& channel : session.manager->linkChannels())
            channel->maxRequestBytes = 20 * 512 * 256;
        DownloadQueueModel* queue = session.window->downloadQueue();
        auto* queueView = session.window->findChild<QTableView*>("queueView");
        auto* savedView = session.window->findChild<QListView*>("savedClipsView");
        session.selectClip(0);
        session.window->on_downloadClipBtn_clicked();
        QTRY_COMPARE_WITH_TIMEOUT(queue->state(0), DownloadQueueModel::State::Done, DownloadMs);

        session.selectClip(1);
        session.window->on_downloadClipBtn_clicked();
        const QSharedPointer<SavedClip> cancelled = session.window->savedClips()->clipAt(1);
        QTRY_VERIFY_WITH_TIMEOUT(cancelled->downloadedFrames() > 0, DownloadMs);
        queueView->setCurrentIndex(queue->index(1, 0));
        session.window->findChild<QPushButton*>("cancelDownloadBtn")->click();
        QCOMPARE(queue->state(1), DownloadQueueModel::State::Cancelled);

        session.window->resize(820, 760);
        session.window->show();
        QStringList entries;
        QTimer::singleShot(300, this, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            for (QAction* action : menu->actions())
                entries << action->text();
            saveScreenshot(session.window.get(), menu, "clipsmgr-resume.png");
            menu->close();
        });
        const QRect row = savedView->visualRect(session.window->savedClips()->index(1));
        session.window->on_savedClipsView_customContextMenuRequested(row.center());
        QVERIFY2(entries.contains("Resume download") && entries.contains("Verify"), qPrintable(entries.join(',')));

        session.window->resize(820, 900);
        session.window->on_downloadAllBtn_clicked();
        QCOMPARE(queue->rowCount(), 4);
        QCOMPARE(session.window->savedClips()->rowCount(), 4);
        QTRY_VERIFY_WITH_TIMEOUT(queue->state(2) == DownloadQueueModel::State::Downloading && queue->rateGbps(2) > 0,
                                 DownloadMs);
        QCOMPARE(queue->state(3), DownloadQueueModel::State::Queued);
        saveScreenshot(session.window.get(), nullptr, "clipsmgr-queue.png");
        QTRY_VERIFY_WITH_TIMEOUT(queue->state(3) == DownloadQueueModel::State::Done, DownloadMs);
        for (int row = 0; row < 4; ++row) {
            QCOMPARE(queue->state(row), DownloadQueueModel::State::Done);
            const QSharedPointer<SavedClip> clip = queue->clipAt(row);
            QCOMPARE(compareFolder(*clip, SimClip{clip->info(), {}}, true), QString());
        }
    }

private:
    static void saveScreenshot(QWidget* window, QMenu* menu, const QString& name)
    {
        const QString dir = qEnvironmentVariable("VLM_SCREENSHOT_DIR");
        if (dir.isEmpty())
            return;
        QPixmap picture = window->grab();
        if (menu) {
            QPainter painter(&picture);
            painter.drawPixmap(window->mapFromGlobal(menu->pos()), menu->grab());
        }
        QVERIFY(picture.save(dir + "/" + name));
    }
};

int main(int argc, char** argv)
{
    // Before any thread exists: a process with threads cannot change its mount namespace.
    privateMounts = privatemounts::enter();
    if (!privateMounts)
        std::perror("private mount namespace");
    QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(settings.path()));
    VLMClipsApp app(argc, argv);
    TestDownloadWindow test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_download_window.moc"

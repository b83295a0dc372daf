// The main window on a screen of its own, with recorders put straight into its model. Runs in a
// private namespace with loopback only, so its discovery requests go nowhere.

#include "SampleClipFolders.h"
#include "SampleClips.h"
#include "SampleRecorders.h"
#include "TestHome.h"
#include "clipsmgr/MainWindow.h"
#include "clipsmgr/VLMClipsApp.h"
#include "download/RecorderDownloadManager.h"
#include "playback/ImageDisplayWindow.h"
#include "recorders/RecorderView.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { VLMClipsApp::instance()->applyLookAndScale(); }

    void startsWithTheClipFolderAndNoProgress()
    {
        MainWindow window;
        QCOMPARE(window.windowTitle(), QString("VLM Velmor Clips Manager"));
        QVERIFY(!window.windowIcon().isNull());
        QCOMPARE(window.findChild<QLineEdit*>("downloadFolder")->text(), VLMClipsApp::instance()->ClipPath);
        QVERIFY(window.findChild<QLineEdit*>("downloadFolder")->isReadOnly());
        QVERIFY(window.findChild<QProgressBar*>("downloadProgBar")->isHidden());
        QVERIFY(window.findChild<QLabel*>("downloadProgLbl")->text().isEmpty());
        QCOMPARE(window.findChild<QPushButton*>("downloadClipBtn")->toolTip(),
                 QString("Start downloading select velmor clip"));
        QCOMPARE(window.findChild<QPushButton*>("showClipBtn")->toolTip(), QString("Show clip playback window"));
        QCOMPARE(window.size(), QSize(720, 630));
    }

    // At 96 dpi and the initial size every text must fit its widget, a download's too.
    void noTextIsClipped()
    {
        MainWindow window;
        window.findChild<QLabel*>("downloadProgLbl")->setText("Downloading 100% - 'Clip 12' - Speed: 9.8 Gbps");
        window.findChild<QProgressBar*>("downloadProgBar")->show();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(QApplication::primaryScreen()->logicalDotsPerInch(), 96.0);
        for (QLabel* label : window.findChildren<QLabel*>()) {
            QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(label->objectName()));
            QVERIFY2(label->height() >= label->sizeHint().height(), qPrintable(label->objectName()));
        }
        for (QPushButton* button : window.findChildren<QPushButton*>())
            QVERIFY2(button->width() >= button->sizeHint().width(), qPrintable(button->objectName()));
    }

    void selectedRecorderShowsItsClips()
    {
        MainWindow window;
        auto* clipsView = window.findChild<QListView*>("recorderClipsView");
        auto* recordersView = window.findChild<QListView*>("recordersView");
        RecorderEthernetModel* recorders = window.recorderModel();
        QVERIFY(recorders->addRecorder(recorderInfo(1, "10.77.41.2")));
        QVERIFY(recorders->addRecorder(recorderInfo(2, "10.77.41.3")));
        RecorderDownloadManager* first = recorders->recorderAt(0)->downloadManager().data();
        RecorderDownloadManager* second = recorders->recorderAt(1)->downloadManager().data();
        second->processDatagram(clipListPacket(1, {sampleClip(0, 1000, 2048, 1080), sampleClip(1, 1000, 2048, 1080)}));

        // The first recorder is shown without a click.
        QCOMPARE(clipsView->model(), first->clipList());
        QCOMPARE(window.currentRecorder(), recorders->recorderAt(0)->info());

        // A click on the second recorder's link row selects that recorder.
        const QModelIndex link = recorders->index(0, 0, recorders->index(1, 0));
        window.on_recordersView_clicked(link);
        QCOMPARE(clipsView->model(), second->clipList());
        QCOMPARE(clipsView->model()->rowCount(), 2);
        QCOMPARE(window.currentRecorder(), recorders->recorderAt(1)->info());

        recordersView->setCurrentIndex(recorders->index(1, 0));
        recorders->removeRecorder(1);
        QCOMPARE(clipsView->model(), nullptr); // the clip list went with its recorder
        QCOMPARE(window.currentRecorder(), kvx::RecorderInfoPacket());
    }

    void downloadedClipOpensInThePlaybackWindow()
    {
        VLMClipsApp* app = VLMClipsApp::instance();
        QTemporaryDir clips;
        QVERIFY(
            !testdata::makeClipFolder(clips.path(), 64, 32, 3, QByteArray(64 * 32 * 3, 'x'), QByteArray()).isEmpty());
        const QString previous = app->ClipPath;
        app->ClipPath = clips.path();
        MainWindow window;
        app->ClipPath = previous;
        window.show();
        QCOMPARE(window.savedClips()->rowCount(), 1);
        const QSharedPointer<SavedClip> clip = window.savedClips()->clipAt(0);

        ImageDisplayWindow* playback = window.playbackWindow();
        QVERIFY(playback->isHidden());
        QCOMPARE(playback->geometry(), QRect(50, 50, 800, 500));
        window.on_savedClipsView_doubleClicked(window.savedClips()->index(0, 0));
        QCOMPARE(playback->clip(), clip);
        QVERIFY(playback->isVisible());

        // The show button toggles the window and brings a minimised one back.
        window.on_showClipBtn_clicked();
        QVERIFY(playback->isHidden());
        window.on_showClipBtn_clicked();
        QVERIFY(playback->isVisible());
        playback->showMinimized();
        window.on_showClipBtn_clicked();
        QVERIFY(!playback->isMinimized() && playback->isVisible());

        // "Open" in the clip's context menu, with the window hidden and showing no clip.
        playback->setClip({});
        playback->hide();
        QTimer::singleShot(50, [] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu);
            QCOMPARE(menu->actions().constFirst()->text(), QString("Open"));
            menu->actions().constFirst()->trigger();
            menu->close();
        });
        auto* view = window.findChild<QListView*>("savedClipsView");
        emit view->customContextMenuRequested(view->visualRect(window.savedClips()->index(0, 0)).center());
        QCOMPARE(playback->clip(), clip);
        QVERIFY(playback->isVisible());

        window.close();
        QVERIFY(playback->isHidden());
    }

    void closingSavesTheSettings()
    {
        VLMClipsApp* app = VLMClipsApp::instance();
        const QString previous = app->ClipPath;
        {
            MainWindow window;
            app->ClipExportPrefix = "Saved on close";
        }
        QSettings settings(VLMClipsApp::SettingsOrganisation, VLMClipsApp::SettingsApplication);
        QCOMPARE(settings.value("ClipExportPrefix").toString(), QString("Saved on close"));
        QCOMPARE(settings.value("ClipPath").toString(), previous);
    }
};

int main(int argc, char** argv)
{
    QTemporaryDir home;
    if (!home.isValid())
        return 1;
    useTestHome(home.path());
    VLMClipsApp app(argc, argv);
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainwindow.moc"

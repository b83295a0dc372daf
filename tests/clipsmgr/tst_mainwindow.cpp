// The main window on a screen of its own, with recorders put straight into its model. Runs in a
// private namespace with loopback only, so its discovery requests go nowhere.

#include "SampleClips.h"
#include "SampleRecorders.h"
#include "TestHome.h"
#include "clipsmgr/MainWindow.h"
#include "clipsmgr/VLMClipsApp.h"
#include "download/RecorderDownloadManager.h"
#include "recorders/RecorderView.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
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

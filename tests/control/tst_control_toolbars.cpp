// The control window's configuration pages, clips and playback bars and dialogs against
// velmor-sim across the test network: what the user changes reaches the recorder as the exact
// packets, and comes back in its status or output state.
#include "SimArrivals.h"
#include "SimulatorProcess.h"

#include "control/ui/InfoDlg.h"
#include "control/ui/MainWindow.h"
#include "control/ui/QClipsBar.h"
#include "control/ui/QConfigToolbar.h"
#include "control/ui/QPlaybackBar.h"
#include "control/ui/RecLabel.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QStandardPaths>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest>

namespace {

const QString Link = "10.77.41.2";

// A slider dragged to position and let go, as the user does it.
void drag(QSlider* slider, int position)
{
    slider->setSliderDown(true);
    slider->setSliderPosition(position);
    slider->setSliderDown(false);
}

QPushButton* button(QWidget* parent, const QString& text)
{
    for (QPushButton* b : parent->findChildren<QPushButton*>())
        if (b->text() == text)
            return b;
    return nullptr;
}

} // namespace

class TestControlToolbars : public QObject {
    Q_OBJECT

    SimulatorProcess sim_;
    std::unique_ptr<MainWindow> window_;
    QStringList messages_;

    QStringList newArrivals(qsizetype since, bool bytes = true) { return arrivals(sim_, Link, bytes).mid(since); }
    const RecorderRecords& records() { return window_->manager().link()->records(); }
    // Runs the information dialog: change(dialog) once it is up, then it is left.
    void runInfoDialog(const std::function<void(InfoDlg&)>& change)
    {
        QTimer::singleShot(0, this, [change] {
            auto* dialog = qobject_cast<InfoDlg*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            change(*dialog);
            dialog->OnExit();
        });
        window_->OnRecorderBasicInfo();
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QJsonArray clips;
        for (int k = 0; k < 30; ++k)
            clips.append(SimulatorProcess::clip(k, 240));
        QVERIFY2(sim_.start({SimulatorProcess::recorder("2180002", Link, 1, clips)}), qPrintable(sim_.error()));
        window_ = std::make_unique<MainWindow>(MainWindowOptions{});
        window_->setMessageHandler([this](const QString& text, int) {
            messages_.append(text);
            return int(QMessageBox::Yes);
        });
        window_->show();
        window_->OnEnumerateDevices();
        QTRY_COMPARE(window_->recorderLabels().size(), 1);
        window_->recorderLabels()[0]->Clicked();
        QTRY_VERIFY(window_->configToolbar()->isFilled());
        QTRY_VERIFY(records().basicInfo);
    }

    void cameraPageReachesTheRecorder()
    {
        QConfigToolbar* toolbar = window_->configToolbar();
        const qsizetype before = arrivals(sim_, Link).size();
        drag(toolbar->findChild<QSlider*>("fpsSlider"), 500);
        drag(toolbar->findChild<QSlider*>("shutterSlider"), 700);
        button(toolbar->findChild<QWidget*>("sdiFormat"), "720p")->click();
        button(toolbar->findChild<QWidget*>("genlockFormat"), "50 Hz")->click();
        const QStringList expected{"0400cdab0a010000080000000000000000407f40", // 500 fps as a double
                                   "0400cdab050100000100000004",               // 500 / 120
                                   "#st700.00$",
                                   "0400cdab0801000008000000ac00000000000000",  // 720p, 60 Hz
                                   "0400cdab07010000080000009000000000000000"}; // 1080p, 50 Hz
        QTRY_COMPARE(newArrivals(before), expected);
        QTRY_COMPARE(records().status->frameRate, 500.0);
        QTRY_COMPARE(records().status->shutterTime, 700.0);
        QTRY_COMPARE(records().status->sdiFormat, quint8(0xAC));
        QTRY_COMPARE(toolbar->camera().fps(), 500);
        window_->manager().link()->requestValue(7); // the genlock word as the recorder keeps it
        QTRY_COMPARE(records().genlockWord.value_or(0), quint64(0x90));

        // "#sc$" toggles: pressing the state already shown sends nothing.
        button(toolbar, "Swapped")->click();
        button(toolbar, "Swapped")->click();
        button(toolbar, "Normal")->click();
        QTRY_COMPARE(arrivals(sim_, Link).mid(before).count("#sc$"), 2);
        QTest::qWait(200);
        QCOMPARE(arrivals(sim_, Link).mid(before).count("#sc$"), 2);
    }

    void paintAndLensComeBackInTheOutputState()
    {
        QConfigToolbar* toolbar = window_->configToolbar();
        const qsizetype before = arrivals(sim_, Link).size();
        drag(toolbar->findChild<QSlider*>("paintSlider0"), 150); // gain red 150 %
        toolbar->findChild<QPushButton*>("lensPlus0")->click();  // focus one step
        QTRY_COMPARE(newArrivals(before), (QStringList{"0400cdab0900000000060000", "0400cdab1100000040000000"}));
        QTRY_COMPARE(records().outputState->values[9], qint16(1536));
        QTRY_COMPARE(records().outputState->values[17], qint16(LensSettings::LensStep));
    }

    void browseSelectDeleteAndPlayClips()
    {
        QClipsBar* clips = window_->clipsBar();
        QTRY_COMPARE(clips->clipCount(), 30);
        QCOMPARE(window_->playbackBar()->speedText(), QString("0.10"));
        const qsizetype before = arrivals(sim_, Link).size();
        clips->OnLeftSelected();
        clips->OnLeftSelected();
        QCOMPARE(clips->paging().pageStart(), 0);
        clips->OnRightSelected();
        QSignalSpy selected(clips, &QClipsBar::selectClip);
        clips->OnClipSelected(0);
        QCOMPARE(selected.takeFirst().at(0).toInt(), 12);
        QTRY_COMPARE(records().status->selectedClip, 12);
        QVERIFY(clips->clipInfoText().contains("Images: 240 - Time: 1 s"));

        button(clips, "Delete latest clip")->click();
        QCOMPARE(messages_.takeLast(), QString("The latest clip will be deleted. Continue?"));
        QTRY_COMPARE(clips->clipCount(), 29);

        QPlaybackBar* bar = window_->playbackBar();
        bar->findChild<QToolButton*>("pb_spd_dbl")->click();
        QCOMPARE(bar->speedText(), QString("0.20"));
        bar->findChild<QToolButton*>("pb_ff")->click();
        QCOMPARE(bar->shownPlayState(), 2);
        QTRY_VERIFY(records().status->playbackPosition > 0);
        bar->findChild<QToolButton*>("pb_pause")->click();
        QTRY_COMPARE(newArrivals(before), (QStringList{"#sl12$", "#cd$", "#sr0.20000$", "#su$"}));
    }

    // Only a changed block goes back, and a refused text changes nothing in it.
    void informationBlockSentOnlyWhenChanged()
    {
        const qsizetype before = arrivals(sim_, Link).size();
        runInfoDialog([](InfoDlg& dialog) {
            dialog.table()->item(BasicInfoEditor::Ip10G0, 1)->setText("0.0.0.0");
            QVERIFY(!dialog.problemText().isEmpty());
            QCOMPARE(dialog.table()->item(BasicInfoEditor::Ip10G0, 1)->text(), QString("10.77.41.2"));
        });
        runInfoDialog([](InfoDlg& dialog) { dialog.table()->item(BasicInfoEditor::Name, 1)->setText("Stage"); });
        runInfoDialog([](InfoDlg&) {});
        QTRY_COMPARE(newArrivals(before, false), QStringList{"p11/0"});
        QTest::qWait(200);
        QCOMPARE(newArrivals(before, false), QStringList{"p11/0"});
        QCOMPARE(records().basicInfo->name(), QString("Stage"));
    }

    // A typed address the recorder could not take never leaves the label.
    void ipEditorRefusesBadAddresses()
    {
        window_->OnCloseDevices();
        RecLabel* label = window_->recorderLabels()[0];
        QSignalSpy change(label, &RecLabel::changeIpAddress);
        for (const char* typed : {"10.77.41.300", "0.0.0.0", "10.77.41"}) {
            label->EditInfo();
            QCOMPARE(label->addressEdit()->text(), Link);
            label->addressEdit()->setText(typed);
            label->Clicked(); // leaves the editor, does not open the recorder
            QVERIFY(!label->isEditing());
            QVERIFY(label->problemText().contains(typed));
        }
        QVERIFY(!window_->isRecorderViewShown());
        QCOMPARE(change.size(), 0);
        label->EditInfo();
        label->addressEdit()->setText("10.77.41.7");
        label->EditInfo();
        QCOMPARE(change.size(), 1);
        QCOMPARE(change.takeFirst().at(0).toUInt(), QHostAddress("10.77.41.7").toIPv4Address());
    }

    void nothingWasRefused() { QCOMPARE(sim_.received("refused").size(), 0); }

    void cleanupTestCase() { window_.reset(); }
};

QTEST_MAIN(TestControlToolbars)
#include "tst_control_toolbars.moc"

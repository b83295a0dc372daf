// The firmware dialog of the control program updating a recorder of velmor-sim across the test
// network: success with progress, repair of lost packets, a corrupted byte, a recorder that
// falls silent, and abort. With VLM_SCREENSHOT_DIR set it also saves pictures of the dialog
// and of a recorder list holding a Bluetooth entry.
#include "McsText.h"
#include "SimulatorProcess.h"

#include "control/discovery/BluetoothEnumerator.h"
#include "control/ui/FwUpdDlg.h"
#include "control/ui/MainWindow.h"
#include "control/ui/QRecApplication.h"
#include "control/ui/RecLabel.h"

#include <QBluetoothUuid>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QtTest>

namespace {

const QString Link = "10.77.41.2";
constexpr int ImageBytes = 3000000;

struct Update {
    QStringList texts;
    QList<float> progress;
    QString end;
    int flag = 0;
};

void saveScreenshot(QWidget* widget, const QString& name)
{
    const QString dir = qEnvironmentVariable("VLM_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        QVERIFY(widget->grab().save(dir + "/" + name));
}

} // namespace

class TestFirmwareWindow : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString imageFile_;
    std::unique_ptr<SimulatorProcess> sim_;
    std::unique_ptr<MainWindow> window_;
    QStringList messages_;

    // A simulated recorder with these firmware faults, opened in a developer-mode window.
    void openRecorder(const QStringList& simOptions)
    {
        window_.reset();
        sim_ = std::make_unique<SimulatorProcess>();
        QVERIFY2(sim_->start({SimulatorProcess::recorder("2180002", Link, 1, {})},
                             simOptions + QStringList{"--fw-write-ms", "1500"}),
                 qPrintable(sim_->error()));
        MainWindowOptions options;
        options.developerMode = true;
        window_ = std::make_unique<MainWindow>(options);
        window_->setMessageHandler([this](const QString& text, int) {
            messages_.append(text);
            return int(QMessageBox::Ok);
        });
        window_->show();
        window_->OnEnumerateDevices();
        QTRY_COMPARE(window_->recorderLabels().size(), 1);
        window_->recorderLabels()[0]->Clicked();
        QTRY_VERIFY(window_->manager().link()->isConnected());
        messages_.clear();
    }

    // Starts the update from the dialog as the user does; follows it until it ends.
    Update run(const std::function<void(Update&)>& during = {}, int timeoutMs = 60000)
    {
        Update u;
        FwUpdDlg* dialog = window_->firmwareDialog();
        QObject context;
        connect(&window_->manager().firmware(), &RecorderFirmwareProgrammer::statusUpdate, &context,
                [&](const QString& text, float progress, int flag) {
                    u.texts.append(text);
                    u.progress.append(progress);
                    if (flag) {
                        u.end = text;
                        u.flag = flag;
                    }
                });
        window_->OnFirmwareUpdate();
        dialog->chooseFile(imageFile_);
        dialog->findChild<QPushButton*>("updateButton")->click();
        QElapsedTimer clock;
        clock.start();
        while (u.flag == 0 && clock.elapsed() < timeoutMs && window_->manager().isFirmwareUpdateRunning()) {
            QTest::qWait(20);
            if (during)
                during(u);
        }
        QTest::qWait(50);
        return u;
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        // The program's look, for the pictures.
        QFile style(QRecApplication::StyleSheetPath);
        QVERIFY(style.open(QIODevice::ReadOnly));
        qApp->setStyleSheet(QString::fromUtf8(style.readAll()));
        // Three segments; the first is cut into runs of 5000, 5000 and 1719 packets.
        const QByteArray text = McsText::image({{0, McsText::pattern(ImageBytes - 2000, 1)},
                                                {0x400000, McsText::pattern(1000, 2)},
                                                {0x800000, McsText::pattern(1000, 3)}});
        imageFile_ = dir_.filePath("velmor.mcs");
        QFile file(imageFile_);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
    }
    void cleanup() { window_.reset(); }

    void programsWithProgress()
    {
        openRecorder({});
        QElapsedTimer clock;
        clock.start();
        bool shotDuring = false;
        bool stoppableWhileWriting = false;
        const Update u = run([&](Update& now) {
            FwUpdDlg* dialog = window_->firmwareDialog();
            if (now.flag == 0 && !now.texts.isEmpty() && now.texts.last().startsWith("Writing to Flash"))
                stoppableWhileWriting = stoppableWhileWriting
                    || dialog->findChild<QPushButton*>("abortButton")->isEnabled()
                    || dialog->findChild<QPushButton*>("selectFileButton")->isEnabled();
            if (!shotDuring && !now.progress.isEmpty() && now.progress.last() > 0.7f) {
                shotDuring = true;
                saveScreenshot(window_->firmwareDialog(), "control-firmware-during.png");
            }
        });
        QCOMPARE(u.end, QString("Flash successfully programmed!"));
        QVERIFY(!stoppableWhileWriting);
        qInfo("firmware: %d bytes programmed in %lld ms (flash write 1500 ms)", ImageBytes, clock.elapsed());
        // Upload up to half, the flash write the other half.
        QVERIFY(std::any_of(u.progress.begin(), u.progress.end(), [](float p) { return p > 0.2f && p <= 0.5f; }));
        QVERIFY(std::any_of(u.progress.begin(), u.progress.end(), [](float p) { return p > 0.5f && p < 1.0f; }));
        QCOMPARE(u.progress.last(), 1.0f);
        QVERIFY(u.texts.contains("Calculating CRC..."));
        QVERIFY(!u.texts.filter("Writing to Flash").isEmpty());
        QCOMPARE(messages_, QStringList{"Flash successfully programmed!"});
        FwUpdDlg* dialog = window_->firmwareDialog();
        QCOMPARE(dialog->statusText(), QString("Ready"));
        QVERIFY(dialog->findChild<QPushButton*>("updateButton")->isEnabled());
        QVERIFY(!dialog->findChild<QPushButton*>("abortButton")->isEnabled());
        saveScreenshot(dialog, "control-firmware-done.png");
    }

    void recoversLostPackets()
    {
        openRecorder({"--fw-drop", "2"});
        const Update u = run();
        QCOMPARE(u.end, QString("Flash successfully programmed!"));
        QVERIFY(u.texts.contains("Recovering packets..."));
        qInfo("firmware: %d packets sent again under 2 %% loss", window_->manager().firmware().resentPackets());
    }

    void corruptedByteAndSilentRecorder()
    {
        // The last byte of a 4-byte group in the second run: the checksum must see it.
        openRecorder({"--fw-corrupt", QString::number(1280000 + 4 * 1000 + 3)});
        QCOMPARE(run().end, QString("Detected CRC Error, aborting..."));
        QCOMPARE(messages_, QStringList{"Detected CRC Error, aborting..."});
        QCOMPARE(window_->firmwareDialog()->statusText(), QString("Aborted"));

        // Silent from the start of the upload on.
        QElapsedTimer clock;
        bool paused = false;
        const Update u = run([&](Update&) {
            if (!paused) {
                paused = sim_->pause();
                clock.start();
            }
        });
        QCOMPARE(u.end, QString("Time out waiting for reply."));
        QVERIFY2(clock.elapsed() >= 4900 && clock.elapsed() < 8000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(sim_->resume());
    }

    void abortStopsTheUpload()
    {
        openRecorder({});
        FwUpdDlg* dialog = window_->firmwareDialog();
        const Update u = run([&](Update& now) {
            if (now.texts.contains("Initializing..."))
                dialog->findChild<QPushButton*>("abortButton")->click();
        });
        QCOMPARE(u.flag, 0);
        QVERIFY(!window_->manager().isFirmwareUpdateRunning());
        QCOMPARE(dialog->statusText(), QString("The process has been aborted"));
        QVERIFY(dialog->findChild<QPushButton*>("updateButton")->isEnabled());
        QVERIFY(messages_.isEmpty());
    }

    void bluetoothEntryInTheList()
    {
        MainWindowOptions options;
        options.settings.link = BaseRecInterface::Bluetooth;
        MainWindow window(options);
        window.setMessageHandler([](const QString&, int) { return int(QMessageBox::Ok); });
        window.show();
        window.OnEnumerateDevices();
        // The stand-in for a service discovery on a device named as a recorder.
        QBluetoothServiceInfo service;
        service.setServiceName("Serial Port");
        service.setServiceUuid(QBluetoothUuid(QBluetoothUuid::ServiceClassUuid::SerialPort));
        window.manager().bluetoothDiscovery()->foundNewService(service, "VLMV-29-0118");
        QCOMPARE(window.recorderLabels().size(), 1);
        QTest::qWait(100);
        saveScreenshot(&window, "control-list-bluetooth.png");
    }
};

QTEST_MAIN(TestFirmwareWindow)
#include "tst_firmware_window.moc"

// The control program's window against velmor-sim across the test network (three recorders on
// 10.77.41.2 to .4), and against 65 recorders simulated on loopback for the list's limit.
#include "SimulatorProcess.h"

#include "control/discovery/UdpEnumerator.h"
#include "control/ui/MainWindow.h"
#include "control/ui/QConfigToolbar.h"
#include "control/ui/RecLabel.h"
#include "sim/SimHost.h"

#include <QMessageBox>
#include <QPointer>
#include <QStandardPaths>
#include <QtTest>

namespace {

const QStringList Links = {"10.77.41.2", "10.77.41.3", "10.77.41.4"};

QStringList commandsAt(const SimulatorProcess& sim, const QString& link)
{
    QStringList texts;
    for (const QJsonObject& line : sim.received("ascii", link))
        texts.append(line.value("text").toString());
    return texts;
}

} // namespace

class TestControlWindow : public QObject {
    Q_OBJECT

    SimulatorProcess sim_;
    QStringList messages_;

    // A window whose message boxes answer Yes at once and are kept for the test.
    std::unique_ptr<MainWindow> openWindow()
    {
        auto window = std::make_unique<MainWindow>(MainWindowOptions{});
        window->setMessageHandler([this](const QString& text, int) {
            messages_.append(text);
            return int(QMessageBox::Yes);
        });
        window->show();
        return window;
    }
    RecLabel* labelFor(MainWindow& window, const QString& address)
    {
        for (RecLabel* label : window.recorderLabels())
            if (QHostAddress(label->address()).toString() == address)
                return label;
        return nullptr;
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        const QJsonArray clips{SimulatorProcess::clip(0, 240), SimulatorProcess::clip(1, 480)};
        QVERIFY2(sim_.start({SimulatorProcess::recorder("2180002", Links[0], 1, clips),
                             SimulatorProcess::recorder("2180003", Links[1], 1, {}),
                             SimulatorProcess::recorder("2180004", Links[2], 0, {})}),
                 qPrintable(sim_.error()));
    }
    void init() { messages_.clear(); }

    void openRecordAndGoBack()
    {
        auto window = openWindow();
        window->OnEnumerateDevices();
        QTRY_COMPARE(window->recorderLabels().size(), 3);
        labelFor(*window, Links[0])->Clicked();
        QVERIFY(window->isRecorderViewShown());
        QCOMPARE(window->warningText(), QString("Initializing the Velmor(s)\nPlease wait!"));
        // The first complete status fills the configuration and takes the warning away.
        QTRY_VERIFY(window->configToolbar()->isFilled());
        QVERIFY(window->warningText().isEmpty());
        QCOMPARE(window->statusText(), QString("Ethernet: Connected to 10.77.41.2"));
        QCOMPARE(window->recorderNameText(), QString("VLM HD (29-0118-0001)"));
        QVERIFY(!window->previousNextVisible());

        window->OnRecordClip();
        QVERIFY(window->isRecording());
        QCOMPARE(window->warningText(), QString("Recording video...\nClick the REC button to stop."));
        QTRY_VERIFY(commandsAt(sim_, Links[0]).endsWith("#ss$"));
        QTest::qWait(500);
        QVERIFY(window->isRecording()); // the recorder's flag agrees
        // Stopped from elsewhere: the window follows the recorder, not its own button.
        SimulatorProcess::sendCommand(Links[0], "#ss$");
        QTRY_VERIFY(!window->isRecording());
        QVERIFY(window->warningText().isEmpty());

        window->OnCloseDevices();
        QVERIFY(!window->isRecorderViewShown());
        QTRY_COMPARE(sim_.received("ParameterPacket", Links[0]).last().value("code").toInt(), 12);
        QVERIFY(messages_.isEmpty());
    }

    void severalRecordersOneCurrent()
    {
        auto window = openWindow();
        window->OnEnumerateDevices();
        QTRY_COMPARE(window->recorderLabels().size(), 3);
        labelFor(*window, Links[1])->setChecked(true);
        labelFor(*window, Links[2])->setChecked(true);
        labelFor(*window, Links[0])->Clicked();
        QTRY_VERIFY(window->configToolbar()->isFilled());
        QCOMPARE(window->recorderNameText(), QString("1. VLM HD (29-0118-0001)"));
        QVERIFY(window->previousNextVisible());
        const QString status = window->statusText();
        window->OnChangedConnectionStatus(2, "Ethernet: Not connected"); // not the current one
        QCOMPARE(window->statusText(), status);
        window->selectNextRecorder();
        window->selectNextRecorder();
        QCOMPARE(window->manager().currentIndex(), 2);
        QTRY_COMPARE(window->statusText(), QString("Ethernet: Connected to 10.77.41.4"));
        window->selectNextRecorder();
        QCOMPARE(window->manager().currentIndex(), 0);
        window->OnCloseDevices();
        for (RecLabel* label : window->recorderLabels())
            QVERIFY(!label->isChecked());
    }

    // The label that asks for the change is still running its signal when discovery starts
    // over: it must go only afterwards.
    void ipChangeRediscoversAfterTheLabelsSignal()
    {
        auto window = openWindow();
        window->OnEnumerateDevices();
        QTRY_COMPARE(window->recorderLabels().size(), 3);
        QPointer<RecLabel> asking = labelFor(*window, Links[2]);
        emit asking->changeIpAddress(QHostAddress("10.77.41.8").toIPv4Address());
        QVERIFY(asking);
        QCOMPARE(messages_, QStringList{"The Velmor IP address will be changed. Continue?"});
        QTRY_VERIFY(!asking);
        QTRY_VERIFY(labelFor(*window, "10.77.41.8"));
        QCOMPARE(window->recorderLabels().size(), 3);
    }

    // The list holds 64 recorders; the 65th is refused once, with a message.
    void sixtyFifthRecorderIsRefused()
    {
        SimConfig config;
        config.listenAddress = QHostAddress::LocalHost;
        for (int k = 0; k < 65; ++k) {
            SimRecorderConfig r;
            r.recorderId = 3180000 + quint64(k);
            r.links = {SimLinkConfig{QHostAddress(quint32(0x7F000002 + k)), 1, false, 9000, 4353}};
            config.recorders.append(r);
        }
        config.listenAddress = QHostAddress(QHostAddress::AnyIPv4);
        SimHost sim(config);
        QString error;
        QVERIFY2(sim.start(&error), qPrintable(error));
        auto window = openWindow();
        UdpEnumerator* udp = window->manager().udpDiscovery();
        connect(udp, &UdpEnumerator::recorderCountChanged, window.get(), &MainWindow::OnEthernetFound);
        udp->startOnAdapter(QHostAddress::LocalHost, QHostAddress("255.0.0.0"));
        udp->scan();
        QTRY_COMPARE(udp->count(), 65);
        QCOMPARE(window->recorderLabels().size(), MainWindow::MaxLabels);
        QCOMPARE(messages_, QStringList{"More than 64 Velmors answered. Only the first 64 are listed."});
    }
};

QTEST_MAIN(TestControlWindow)
#include "tst_control_window.moc"

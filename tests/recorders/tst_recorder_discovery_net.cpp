// Discovery against the recorder simulator across the test network: the requests are real
// subnet broadcasts from the host side, the simulator answers from the recorder side.

#include "ModelTexts.h"
#include "SimulatorProcess.h"
#include "download/RecorderDownloadManager.h"
#include "recorders/RecorderDiscovery.h"
#include "recorders/RecorderEthernetModel.h"
#include "recorders/RecorderView.h"

#include <QUdpSocket>
#include <QtTest>

namespace {

const QString TenGig = "10.77.41.2";
const QString OneGig = "10.77.41.3";
const QString CodeTwo = "10.77.41.4";

} // namespace

class TestDiscoveryNet : public QObject {
    Q_OBJECT
private slots:
    void onlyTheTenGigabitRecorderIsListedAndGreeted()
    {
        SimulatorProcess sim;
        const QJsonArray clips{SimulatorProcess::clip(0, 240)};
        QVERIFY2(sim.start({SimulatorProcess::recorder("2180002", TenGig, 1, clips),
                            SimulatorProcess::recorder("2180003", OneGig, 0, clips),
                            SimulatorProcess::recorder("2180004", CodeTwo, 2, clips)}),
                 qPrintable(sim.error()));
        RecorderEthernetModel recorders;
        RecorderDiscovery discovery(&recorders);
        discovery.on_broadcastTimeout();

        QTRY_COMPARE(recorders.recorderCount(), 1);
        QCOMPARE(recorders.data(recorders.index(0, 0)).toString(),
                 QString(" VLMV-0218-0002\n Camera: 29-0118-0001 (VLM HD)\n IP: 10.77.41.2 (10G Ethernet)"));
        // All three heard the request and answered; the others must stay out for good.
        QTRY_COMPARE(sim.received("DiscoveryRequest").size(), 1);
        QTest::qWait(500);
        QCOMPARE(recorders.recorderCount(), 1);
        QCOMPARE(sim.received("port-announcement", TenGig).size(), 1);
        for (const QString& link : {OneGig, CodeTwo}) {
            QCOMPARE(sim.received("port-announcement", link).size(), 0);
            QCOMPARE(sim.received("paint-options-query", link).size(), 0);
            QCOMPARE(sim.received("colour-matrix-query", link).size(), 0);
        }
    }

    void recorderAnsweringTwiceIsListedOnce()
    {
        SimulatorProcess sim;
        QVERIFY2(sim.start({SimulatorProcess::recorder("2180002", TenGig, 1, {})}), qPrintable(sim.error()));
        RecorderEthernetModel recorders;
        RecorderDiscovery discovery(&recorders);
        discovery.on_broadcastTimeout();
        QTRY_COMPARE(recorders.recorderCount(), 1);
        discovery.on_broadcastTimeout();
        QTRY_COMPARE(sim.received("DiscoveryRequest").size(), 2);
        QTest::qWait(300);
        QCOMPARE(recorders.recorderCount(), 1);
        QCOMPARE(sim.received("port-announcement").size(), 1);
    }

    void firstContactPacketsInOrderAboutFiftyMsApart()
    {
        SimulatorProcess sim;
        QVERIFY2(sim.start({SimulatorProcess::recorder("2180002", TenGig, 1, {})}), qPrintable(sim.error()));
        RecorderEthernetModel recorders;
        RecorderDiscovery discovery(&recorders);
        discovery.on_broadcastTimeout();
        QTRY_COMPARE(sim.received("colour-matrix-query").size(), 1);

        const QList<QJsonObject> request = sim.received("DiscoveryRequest");
        QCOMPARE(request.size(), 1);
        QCOMPARE(request[0].value("replyPort").toInt(), int(discovery.port()));

        QList<QJsonObject> contact;
        for (const QJsonObject& line : sim.log()) {
            const QString kind = line.value("kind").toString();
            if (kind == "port-announcement" || kind == "paint-options-query" || kind == "colour-matrix-query")
                contact.append(line);
        }
        QCOMPARE(contact.size(), 3);
        QCOMPARE(contact[0].value("kind").toString(), QString("port-announcement"));
        QCOMPARE(contact[0].value("word").toInt(), int(discovery.port()));
        QCOMPARE(contact[0].value("form").toInt(), 2);
        QCOMPARE(contact[0].value("operation").toInt(), 2);
        QCOMPARE(contact[1].value("kind").toString(), QString("paint-options-query"));
        QCOMPARE(contact[2].value("kind").toString(), QString("colour-matrix-query"));
        // The simulator's reading may lag on a busy machine, so the bounds are loose; packets
        // sent back to back fail them.
        const double first = contact[1].value("t").toDouble() - contact[0].value("t").toDouble();
        const double second = contact[2].value("t").toDouble() - contact[1].value("t").toDouble();
        const QByteArray gaps = QString("gaps %1 and %2 ms").arg(first).arg(second).toLatin1();
        QVERIFY2(first >= 25 && second >= 25 && first + second >= 80 && first + second < 400, gaps);
    }

    void clipListFollowsTheRecorder()
    {
        SimulatorProcess sim;
        const QJsonArray clips{SimulatorProcess::clip(0, 240), SimulatorProcess::clip(1, 480, 3840, 2160, 120),
                               SimulatorProcess::clip(2, 100), SimulatorProcess::clip(3, 50)};
        QVERIFY2(sim.start({SimulatorProcess::recorder("2180002", TenGig, 1, clips)}), qPrintable(sim.error()));
        RecorderEthernetModel recorders;
        RecorderDiscovery discovery(&recorders);
        discovery.on_broadcastTimeout();
        QTRY_COMPARE(recorders.recorderCount(), 1);
        RecorderDownloadManager* manager = recorders.recorderAt(0)->downloadManager().data();
        DownloadableClipList* list = manager->clipList();
        QTRY_COMPARE(list->rowCount(), 4);
        QCOMPARE(rowTexts(*list).mid(0, 2),
                 QStringList({"Clip 1 (240 frames - 1.000 s)\n1920x1080 @ 240 fps",
                              "Clip 2 (480 frames - 4.000 s)\n3840x2160 @ 120 fps"}));
        // The answers to the first-contact queries came back to the discovery socket too.
        QTRY_VERIFY(!manager->colorMatrices().isEmpty());

        // Frames of clip 3 are downloaded; then the recorder deletes its two latest clips.
        list->clipPointerAt(2)->addRange({0, 9});
        SimulatorProcess::sendCommand(TenGig, "#cd$");
        QTRY_COMPARE(list->rowCount(), 3);
        SimulatorProcess::sendCommand(TenGig, "#cd$");
        QTRY_COMPARE_WITH_TIMEOUT(rowTexts(*list),
                                  QStringList({"Clip 1 (240 frames - 1.000 s)\n1920x1080 @ 240 fps",
                                               "Clip 2 (480 frames - 4.000 s)\n3840x2160 @ 120 fps", "Clip 3 (lost)"}),
                                  5000);
    }

    void takenPortMovesTheReplyPort()
    {
        SimulatorProcess sim;
        QVERIFY2(sim.start({SimulatorProcess::recorder("2180002", TenGig, 1, {})}), qPrintable(sim.error()));
        RecorderEthernetModel recorders;
        // Another clips manager holds 47915 already.
        RecorderDiscovery first(&recorders);
        QCOMPARE(first.port(), quint16(47915));
        RecorderEthernetModel secondRecorders;
        RecorderDiscovery second(&secondRecorders);
        QCOMPARE(second.port(), quint16(47916));

        second.on_broadcastTimeout();
        QTRY_COMPARE(secondRecorders.recorderCount(), 1);
        const QList<QJsonObject> request = sim.received("DiscoveryRequest");
        QCOMPARE(request.size(), 1);
        QCOMPARE(request[0].value("replyPort").toInt(), 47916);
        QTRY_COMPARE(sim.received("port-announcement").size(), 1);
        QCOMPARE(sim.received("port-announcement")[0].value("word").toInt(), 47916);
        QCOMPARE(recorders.recorderCount(), 0);
    }
};

QTEST_MAIN(TestDiscoveryNet)
#include "tst_recorder_discovery_net.moc"

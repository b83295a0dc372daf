#include "sim/SimCommandLine.h"

#include <QTemporaryFile>
#include <QTest>

namespace {
SimCommandLine::Outcome parse(QStringList args)
{
    args.prepend(QStringLiteral("velmor-sim"));
    return SimCommandLine::parse(args);
}
} // namespace

class TestSimConfig : public QObject {
    Q_OBJECT

private slots:
    void defaultsAreOneRecorderWithOneTenGigLink()
    {
        const auto out = parse({});
        QVERIFY(out.config);
        QCOMPARE(out.config->recorders.size(), 1);
        const SimRecorderConfig& r = out.config->recorders.first();
        QCOMPARE(r.links.size(), 1);
        QCOMPARE(r.links.first().linkCode, 1);
        QVERIFY(r.links.first().carriesTransfers);
        QCOMPARE(r.links.first().commandPort, quint16(9000));
        QCOMPARE(r.links.first().transferPort, quint16(4353));
        QCOMPARE(out.config->discoveryPort, quint16(45611));
        QVERIFY(r.clips.size() >= 3);
        // One of the default clips has an explicit frame size.
        QVERIFY(std::any_of(r.clips.begin(), r.clips.end(), [](const SimClip& c) {
            return c.info.flags & kvx::ClipInfoPacket::clipInfo::ExplicitFrameBytesFlag;
        }));
    }

    void helpDocumentsEveryOption()
    {
        const auto out = parse({"--help"});
        QVERIFY(!out.config);
        QCOMPARE(out.exitCode, 0);
        for (const char* name : {"config",
                                 "duration",
                                 "log",
                                 "recorders",
                                 "recorder-id",
                                 "camera-serial",
                                 "camera-model",
                                 "version-date",
                                 "link",
                                 "address",
                                 "link-code",
                                 "command-port",
                                 "transfer-port",
                                 "clip",
                                 "clips",
                                 "discovery-port",
                                 "listen-address",
                                 "clip-list-interval",
                                 "status-interval",
                                 "clips-per-packet",
                                 "matrix-word",
                                 "rate",
                                 "seed",
                                 "loss",
                                 "burst-percent",
                                 "burst-length",
                                 "duplicate",
                                 "reorder",
                                 "delay",
                                 "drop-control",
                                 "error-after",
                                 "error-code",
                                 "stop-after",
                                 "resume-after",
                                 "fw-drop",
                                 "fw-corrupt",
                                 "fw-never-write",
                                 "fw-write-ms"})
            QVERIFY2(out.message.contains(QStringLiteral("--%1 ").arg(QLatin1String(name))), name);
    }

    void recorderOptions()
    {
        const auto out = parse({"--recorders",     "2",
                                "--recorder-id",   "0x100",
                                "--link",          "10.77.41.2,code=1,command=9100",
                                "--link",          "10.77.41.3,code=0,transfers=0",
                                "--clip",          "3840x2160,frames=50,fps=120",
                                "--clip",          "2048x1080,frameBytes=2300000,number=7,uid=0xABC",
                                "--loss",          "1.5",
                                "--burst-percent", "0.2",
                                "--burst-length",  "30",
                                "--rate",          "0",
                                "--seed",          "99",
                                "--matrix-word",   "0"});
        QVERIFY2(out.config, qPrintable(out.message));
        const SimConfig& c = *out.config;
        QCOMPARE(c.recorders.size(), 2);
        const SimRecorderConfig& first = c.recorders[0];
        QCOMPARE(first.recorderId, quint64(0x100));
        QCOMPARE(c.recorders[1].recorderId, quint64(0x101));
        QCOMPARE(first.links.size(), 2);
        QCOMPARE(first.links[0].address, QHostAddress(QStringLiteral("10.77.41.2")));
        QCOMPARE(first.links[0].commandPort, quint16(9100));
        QCOMPARE(first.links[1].linkCode, 0);
        QVERIFY(!first.links[1].carriesTransfers);
        QCOMPARE(c.recorders[1].links[0].commandPort, quint16(9101)); // the second recorder shifts its ports
        QCOMPARE(first.clips.size(), 2);
        QCOMPARE(first.clips[0].info.width, quint16(3840));
        QCOMPARE(first.clips[0].info.totalFrames, quint64(50));
        QCOMPARE(first.clips[1].info.clipNumber, quint16(7));
        QCOMPARE(first.clips[1].info.clipUid, quint64(0xABC));
        QCOMPARE(first.clips[1].info.frameBytes, quint32(2300000));
        QCOMPARE(c.faults.lossPercent, 1.5);
        QCOMPARE(c.faults.burstLength, 30);
        QCOMPARE(c.faults.seed, quint64(99));
        QCOMPARE(c.rateGbps, 0.0);
        QCOMPARE(c.matrixAnswerWord, std::optional<quint32>(0));
        QVERIFY(!parse({}).config->matrixAnswerWord);
    }

    void badArgumentsNameTheProblem_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("mentions");
        QTest::newRow("not a number") << QStringList{"--loss", "lots"} << "loss";
        QTest::newRow("port out of range") << QStringList{"--discovery-port", "70000"} << "discovery-port";
        QTest::newRow("bad link address") << QStringList{"--link", "10.77.41"} << "--link";
        QTest::newRow("bad link key") << QStringList{"--link", "10.77.41.2,speed=10"} << "--link";
        QTest::newRow("bad clip size") << QStringList{"--clip", "1920by1080"} << "--clip";
        QTest::newRow("unknown option") << QStringList{"--lossy"} << "lossy";
        QTest::newRow("config and recorder options") << QStringList{"--config", "x.json", "--clips", "3"} << "--config";
    }
    void badArgumentsNameTheProblem()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, mentions);
        const auto out = parse(args);
        QVERIFY(!out.config);
        QVERIFY(out.exitCode != 0);
        QVERIFY2(out.message.contains(mentions), qPrintable(out.message));
    }

    void jsonConfiguration()
    {
        QTemporaryFile file;
        QVERIFY(file.open());
        file.write(R"({ "discoveryPort": 46000, "clipsPerPacket": 5, "rateGbps": 1.5,
            "faults": { "lossPercent": 4, "errorAfterPackets": 1000, "errorCode": 7 },
            "recorders": [
              { "recorderId": "0x123456789A", "links": [ { "address": "10.77.41.4", "linkCode": 2 } ],
                "clips": [ { "width": 640, "height": 480, "frames": 9, "uid": "0x42" } ] },
              { "cameraModel": 1 } ] })");
        file.close();
        const auto out = parse({"--config", file.fileName(), "--rate", "3"});
        QVERIFY2(out.config, qPrintable(out.message));
        const SimConfig& c = *out.config;
        QCOMPARE(c.discoveryPort, quint16(46000));
        QCOMPARE(c.clipsPerPacket, 5);
        QCOMPARE(c.rateGbps, 3.0); // the command line wins
        QCOMPARE(c.faults.lossPercent, 4.0);
        QCOMPARE(c.faults.errorAfterPackets, qint64(1000));
        QCOMPARE(c.faults.errorCode, quint32(7));
        QCOMPARE(c.recorders.size(), 2);
        QCOMPARE(c.recorders[0].recorderId, quint64(0x123456789A)); // 64-bit ids as strings
        QCOMPARE(c.recorders[0].links.first().linkCode, 2);
        QCOMPARE(c.recorders[0].clips.size(), 1);
        QCOMPARE(c.recorders[0].clips.first().info.clipUid, quint64(0x42));
        QCOMPARE(c.recorders[1].cameraModel, qint16(1));
        QCOMPARE(c.recorders[1].links.size(), 1); // a recorder without links gets the default one
        QVERIFY(c.recorders[0].recorderId != c.recorders[1].recorderId);

        SimConfig unchanged = SimConfig::defaults();
        QString error;
        QVERIFY(!SimConfig::loadJson("{ \"recorders\": [ { \"links\": [ { \"address\": \"nowhere\" } ] } ] }",
                                     unchanged, &error));
        QVERIFY(error.contains(u"nowhere"));
        QVERIFY(!SimConfig::loadJson("[1, 2", unchanged, &error));
        QCOMPARE(unchanged.recorders.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestSimConfig)
#include "tst_simconfig.moc"

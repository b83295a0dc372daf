// Checks the project's test network script: the namespaces it builds, that datagrams (unicast
// and subnet broadcast) cross the veth pair between host and recorder side, that `exec` runs a
// command inside a side with its environment and exit code, and that `down` leaves nothing.
#include "DatagramPeer.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

namespace {

constexpr int kProcessWaitMs = 15000;
constexpr quint16 kEchoPort = 45611;

struct Result {
    int exitCode = -1;
    QString out;
};

} // namespace

class TestNetTest : public QObject {
    Q_OBJECT

private:
    QString script_;
    QString prefix_;
    QString hostNs_;
    QString recNs_;

    QProcessEnvironment scratchEnvironment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VLM_TESTNET_PREFIX"), prefix_);
        return env;
    }

    Result run(const QString& program, const QStringList& args) const
    {
        QProcess process;
        process.setProcessEnvironment(scratchEnvironment());
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(program, args);
        Result result;
        if (!process.waitForFinished(kProcessWaitMs)) {
            process.kill();
            process.waitForFinished();
            return result;
        }
        result.out = QString::fromUtf8(process.readAllStandardOutput());
        if (process.exitStatus() == QProcess::NormalExit)
            result.exitCode = process.exitCode();
        return result;
    }

    Result testnet(const QStringList& args) const { return run(script_, args); }

    QStringList namespacesWithPrefix() const
    {
        const Result list = run(QStringLiteral("ip"), {QStringLiteral("netns"), QStringLiteral("list")});
        QStringList names;
        for (const QString& line : list.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QString name = line.section(QLatin1Char(' '), 0, 0);
            if (name.startsWith(prefix_))
                names << name;
        }
        return names;
    }

private slots:
    void initTestCase()
    {
        script_ = qEnvironmentVariable("VLM_TESTNET_SCRIPT");
        prefix_ = qEnvironmentVariable("VLM_TESTNET_SCRATCH_PREFIX");
        QVERIFY2(!script_.isEmpty() && !prefix_.isEmpty(),
                 "VLM_TESTNET_SCRIPT and VLM_TESTNET_SCRATCH_PREFIX must be set");
        hostNs_ = prefix_ + QLatin1Char('h');
        recNs_ = prefix_ + QLatin1Char('r');
        const Result up = testnet({QStringLiteral("up")});
        QCOMPARE(up.exitCode, 0);
        QVERIFY2(up.out.contains(QLatin1String("10.77.41.1/24")), qPrintable(up.out));
    }

    void cleanupTestCase() { testnet({QStringLiteral("down")}); }

    void upBuildsPairOutsideRootNamespace()
    {
        QStringList expected{hostNs_, recNs_};
        QStringList found = namespacesWithPrefix();
        expected.sort();
        found.sort();
        QCOMPARE(found, expected);

        // Neither end of the pair may ever appear among the machine's own interfaces.
        const Result rootLinks = run(QStringLiteral("ip"), {QStringLiteral("-o"), QStringLiteral("link")});
        QCOMPARE(rootLinks.exitCode, 0);
        QVERIFY(!rootLinks.out.contains(
            QRegularExpression(QStringLiteral(R"(^\d+: v[hr]@)"), QRegularExpression::MultilineOption)));

        const Result recAddrs =
            run(QStringLiteral("ip"),
                {QStringLiteral("-n"), recNs_, QStringLiteral("-o"), QStringLiteral("-4"), QStringLiteral("addr"),
                 QStringLiteral("show"), QStringLiteral("dev"), QStringLiteral("vr")});
        for (int host = 2; host <= 9; ++host) {
            const QString addr = QStringLiteral("inet 10.77.41.%1/24 brd 10.77.41.255").arg(host);
            QVERIFY2(recAddrs.out.contains(addr), qPrintable(addr));
        }
    }

    void datagramCrossesToRecorderSide_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("unicast") << QStringLiteral("10.77.41.2");
        QTest::newRow("extra recorder address") << QStringLiteral("10.77.41.9");
        QTest::newRow("subnet broadcast") << QStringLiteral("10.77.41.255");
    }

    void datagramCrossesToRecorderSide()
    {
        QFETCH(QString, target);
        const QString self = QCoreApplication::applicationFilePath();

        QProcess echo;
        echo.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        echo.start(QStringLiteral("ip"),
                   {QStringLiteral("netns"), QStringLiteral("exec"), recNs_, self, QStringLiteral("echo"),
                    QString::number(kEchoPort)});
        QVERIFY(echo.waitForReadyRead(kProcessWaitMs));
        QCOMPARE(echo.readLine().trimmed(), QByteArray("ready"));

        const Result probe =
            testnet({QStringLiteral("exec"), QStringLiteral("host"), QStringLiteral("--"), self,
                     QStringLiteral("probe"), target, QString::number(kEchoPort), QStringLiteral("hello")});
        QVERIFY(echo.waitForFinished(kProcessWaitMs));
        const QString echoOut = QString::fromUtf8(echo.readAll());
        QCOMPARE(echo.exitCode(), 0);
        QCOMPARE(probe.exitCode, 0);
        // The recorder side saw the host side's address, and its answer found the way back.
        QCOMPARE(echoOut.trimmed(), QStringLiteral("from 10.77.41.1 hello"));
        QVERIFY2(probe.out.startsWith(QLatin1String("reply from 10.77.41.")), qPrintable(probe.out));
        QVERIFY2(probe.out.trimmed().endsWith(QLatin1String(" echo hello")), qPrintable(probe.out));
    }

    void execRunsInsideChosenSide()
    {
        const QString showEnvAndAddrs =
            QStringLiteral("echo \"$VLM_HOST_ADDR $VLM_REC_ADDR $VLM_NETNS_HOST $VLM_NETNS_REC\"; "
                           "ip -o -4 addr show; exit 7");
        const Result host = testnet({QStringLiteral("exec"), QStringLiteral("host"), QStringLiteral("--"),
                                     QStringLiteral("sh"), QStringLiteral("-c"), showEnvAndAddrs});
        QCOMPARE(host.exitCode, 7);
        QCOMPARE(host.out.section(QLatin1Char('\n'), 0, 0),
                 QStringLiteral("10.77.41.1 10.77.41.2 %1 %2").arg(hostNs_, recNs_));
        QVERIFY(host.out.contains(QLatin1String("inet 10.77.41.1/24")));
        QVERIFY(!host.out.contains(QLatin1String("inet 10.77.41.2/24")));

        const Result rec = testnet({QStringLiteral("exec"), QStringLiteral("rec"), QStringLiteral("--"),
                                    QStringLiteral("sh"), QStringLiteral("-c"), showEnvAndAddrs});
        QCOMPARE(rec.exitCode, 7);
        QVERIFY(rec.out.contains(QLatin1String("inet 10.77.41.2/24")));
        QVERIFY(!rec.out.contains(QLatin1String("inet 10.77.41.1/24")));
    }

    void execBringsNetworkUpWhenDown()
    {
        QCOMPARE(testnet({QStringLiteral("down")}).exitCode, 0);
        QVERIFY(namespacesWithPrefix().isEmpty());
        const Result host =
            testnet({QStringLiteral("exec"), QStringLiteral("host"), QStringLiteral("--"), QStringLiteral("ip"),
                     QStringLiteral("-o"), QStringLiteral("-4"), QStringLiteral("addr"), QStringLiteral("show"),
                     QStringLiteral("dev"), QStringLiteral("vh")});
        QCOMPARE(host.exitCode, 0);
        QVERIFY(host.out.contains(QLatin1String("inet 10.77.41.1/24")));
    }

    void downRemovesNamespacesAndTheirProcesses()
    {
        // A process left behind in the recorder side (a crashed test's simulator) must not
        // keep the network alive.
        QProcess leftover;
        leftover.start(
            QStringLiteral("ip"),
            {QStringLiteral("netns"), QStringLiteral("exec"), recNs_, QStringLiteral("sleep"), QStringLiteral("60")});
        QVERIFY(leftover.waitForStarted());
        QTRY_VERIFY(!run(QStringLiteral("ip"), {QStringLiteral("netns"), QStringLiteral("pids"), recNs_})
                         .out.trimmed()
                         .isEmpty());

        QCOMPARE(testnet({QStringLiteral("down")}).exitCode, 0);
        QVERIFY(leftover.waitForFinished(kProcessWaitMs));
        QVERIFY(namespacesWithPrefix().isEmpty());

        // Absent namespaces are not an error.
        QCOMPARE(testnet({QStringLiteral("down")}).exitCode, 0);
        QVERIFY(testnet({QStringLiteral("status")}).out.contains(QLatin1String("state: down")));
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int peerExit = datagram_peer::run(app.arguments());
    if (peerExit >= 0)
        return peerExit;
    TestNetTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_testnet.moc"

#include "SimulatorProcess.h"

#include "common/packets/DiscoveryRequest.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QJsonDocument>
#include <QUdpSocket>
#include <QtTest>

#include <csignal>

#include <sys/prctl.h>

SimulatorProcess::~SimulatorProcess()
{
    // What the simulator saw explains most failures.
    if (QTest::currentTestFailed()) {
        for (const QJsonObject& line : log())
            qInfo().noquote() << QJsonDocument(line).toJson(QJsonDocument::Compact);
    }
    if (process_.state() == QProcess::NotRunning)
        return;
    resume(); // a stopped process would not see the termination
    process_.terminate();
    if (!process_.waitForFinished(5000))
        process_.kill();
    process_.waitForFinished(2000);
}

QJsonObject SimulatorProcess::recorder(const QString& id, const QString& address, int linkCode, const QJsonArray& clips)
{
    const QJsonObject link{{"address", address}, {"linkCode", linkCode}, {"transfers", true}};
    return QJsonObject{{"recorderId", id}, {"links", QJsonArray{link}}, {"clips", clips}};
}

QJsonObject SimulatorProcess::clip(int number, int frames, int width, int height, int fps)
{
    return QJsonObject{{"number", number},    {"frames", frames},
                       {"width", width},      {"height", height},
                       {"fps", fps},          {"lineBytes", width},
                       {"lineCount", height}, {"uid", QString("0x%1").arg(0xC0FFEE00 + number, 0, 16)}};
}

bool SimulatorProcess::start(const QJsonArray& recorders, const QStringList& options)
{
    const QString config = dir_.filePath("sim.json");
    QFile file(config);
    // Clip lists every 500 ms so list changes show quickly.
    const QJsonObject root{{"clipListIntervalMs", 500}, {"recorders", recorders}};
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(root).toJson()) < 0) {
        error_ = "cannot write " + config;
        return false;
    }
    file.close();
    const QJsonObject first = recorders.first().toObject();
    const QString address = first.value("links").toArray().first().toObject().value("address").toString();
    return launch(QStringList{"--config", config} + options, int(recorders.size()), QHostAddress(address));
}

bool SimulatorProcess::startWithOptions(const QStringList& options, const QString& linkAddress)
{
    const qsizetype count = options.indexOf("--recorders");
    const int recorders = count >= 0 && count + 1 < options.size() ? options[count + 1].toInt() : 1;
    return launch(options, recorders, QHostAddress(linkAddress));
}

bool SimulatorProcess::launch(const QStringList& options, int recorders, const QHostAddress& linkAddress)
{
    const QString simulator = qEnvironmentVariable("VLM_SIM");
    const QString recorderSide = qEnvironmentVariable("VLM_NETNS_REC");
    if (simulator.isEmpty() || recorderSide.isEmpty()) {
        error_ = "VLM_SIM or VLM_NETNS_REC is not set: run this test through ctest (label net)";
        return false;
    }
    process_.setProcessChannelMode(QProcess::ForwardedChannels);
    // A test killed by its timeout must not leave the simulator holding the test network's
    // addresses for the tests after it.
    process_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    // The simulator ends by itself should the test be killed before it stops it.
    process_.start(
        "ip",
        QStringList{"netns", "exec", recorderSide, simulator, "--log", dir_.filePath("sim.log"), "--duration", "600"}
            + options);
    if (!process_.waitForStarted(5000)) {
        error_ = "cannot start the simulator: " + process_.errorString();
        return false;
    }
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        if (received("started").size() >= recorders)
            return waitForDiscoveryAnswer(linkAddress, deadline);
        if (process_.waitForFinished(20)) {
            error_ = "the simulator ended at start";
            return false;
        }
    }
    error_ = "the simulator did not start its recorders";
    return false;
}

// The recorders log their start before the discovery socket is bound: a request sent between
// the two is lost. A unicast request from a port of our own shows when it listens.
bool SimulatorProcess::waitForDiscoveryAnswer(const QHostAddress& address, const QDeadlineTimer& deadline)
{
    QUdpSocket probe;
    if (!probe.bind(QHostAddress::AnyIPv4, 0)) {
        error_ = "cannot bind the probe socket";
        return false;
    }
    probePort_ = probe.localPort();
    const QByteArray request = DiscoveryRequest{probePort_}.encode();
    while (!deadline.hasExpired()) {
        probe.writeDatagram(request, address, DiscoveryRequest::RecorderPort);
        if (probe.waitForReadyRead(100))
            return true;
    }
    error_ = "the simulator does not answer discovery";
    return false;
}

QList<QJsonObject> SimulatorProcess::log() const
{
    QFile file(dir_.filePath("sim.log"));
    QList<QJsonObject> lines;
    if (!file.open(QIODevice::ReadOnly))
        return lines;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QJsonDocument document = QJsonDocument::fromJson(line);
        if (document.isObject())
            lines.append(document.object());
    }
    return lines;
}

QList<QJsonObject> SimulatorProcess::received(const QString& kind, const QString& link) const
{
    QList<QJsonObject> lines;
    for (const QJsonObject& line : log()) {
        if (line.value("kind").toString() != kind || (!link.isEmpty() && line.value("link").toString() != link))
            continue;
        if (line.value("dir").toString() == "in" && line.value("port").toInt() == probePort_)
            continue;
        lines.append(line);
    }
    return lines;
}

bool SimulatorProcess::pause()
{
    // "ip netns exec" runs the simulator in its own process: the pid is the simulator's.
    return process_.state() == QProcess::Running && ::kill(pid_t(process_.processId()), SIGSTOP) == 0;
}

bool SimulatorProcess::resume()
{
    return process_.state() == QProcess::Running && ::kill(pid_t(process_.processId()), SIGCONT) == 0;
}

void SimulatorProcess::sendCommand(const QString& address, const QByteArray& datagram, quint16 port)
{
    QUdpSocket socket;
    socket.writeDatagram(datagram, QHostAddress(address), port);
}

#include "SimulatorRun.h"

#include <QDeadlineTimer>
#include <QFile>

SimulatorRun::~SimulatorRun()
{
    if (process_.state() == QProcess::NotRunning)
        return;
    process_.terminate();
    if (!process_.waitForFinished(5000))
        process_.kill();
    process_.waitForFinished(2000);
}

bool SimulatorRun::start(const QStringList& options)
{
    const QString simulator = qEnvironmentVariable("VLM_SIM");
    const QString recorderSide = qEnvironmentVariable("VLM_NETNS_REC");
    if (simulator.isEmpty() || recorderSide.isEmpty()) {
        error_ = "VLM_SIM or VLM_NETNS_REC is not set: run this test through ctest (label net)";
        return false;
    }
    const QStringList arguments = QStringList{"netns",
                                              "exec",
                                              recorderSide,
                                              simulator,
                                              "--address",
                                              "10.77.41.2",
                                              "--clip-list-interval",
                                              "500",
                                              "--log",
                                              dir_.filePath("sim.log"),
                                              "--duration",
                                              "300"}
        + options;
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start("ip", arguments);
    if (!process_.waitForStarted(5000)) {
        error_ = "cannot start the simulator: " + process_.errorString();
        return false;
    }
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        if (logSaysStarted())
            return true;
        if (process_.waitForFinished(20)) {
            error_ = "the simulator ended at start";
            return false;
        }
    }
    error_ = "the simulator did not start its recorder";
    return false;
}

bool SimulatorRun::logSaysStarted() const
{
    QFile log(dir_.filePath("sim.log"));
    return log.open(QIODevice::ReadOnly) && log.readAll().contains("\"kind\":\"started\"");
}

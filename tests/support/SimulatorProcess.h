#pragma once

#include <QDeadlineTimer>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QTemporaryDir>

// velmor-sim on the recorder side of the test network, for tests that run on its host side;
// the one way tests start the simulator program. Reads the simulator's JSON line log. Stops
// the simulator when it goes, and shows its log when the test failed.
class SimulatorProcess {
public:
    SimulatorProcess() = default;
    ~SimulatorProcess();

    // A recorder of the simulator's configuration, answering on one link.
    static QJsonObject recorder(const QString& id, const QString& address, int linkCode, const QJsonArray& clips);
    static QJsonObject clip(int number, int frames, int width = 1920, int height = 1080, int fps = 240);

    // Starts with these recorders (written into a configuration file) and further options, and
    // waits until every one of them has started and the first answers discovery. False (with
    // the reason in error()) when the simulator or the test network is missing or it fails.
    bool start(const QJsonArray& recorders, const QStringList& options = {});
    // Starts with recorders described by command-line options (--link, --clip, --recorders ...);
    // the first link answers discovery at linkAddress.
    bool startWithOptions(const QStringList& options, const QString& linkAddress);
    QString error() const { return error_; }

    // Every log line so far, oldest first.
    QList<QJsonObject> log() const;
    // The JSON-lines log file itself, for tests that follow it as it grows.
    QString logPath() const { return dir_.filePath("sim.log"); }
    // Log lines of one kind (optionally of one link address), leaving out the start-up probe.
    QList<QJsonObject> received(const QString& kind, const QString& link = {}) const;

    // Stops the simulator dead (SIGSTOP) and lets it go on (SIGCONT): a recorder that falls
    // silent without closing anything, and comes back.
    bool pause();
    bool resume();

    // A datagram to a recorder's command port, as the control program would send it.
    static void sendCommand(const QString& address, const QByteArray& datagram, quint16 port = 9000);

private:
    bool launch(const QStringList& options, int recorders, const QHostAddress& linkAddress);
    bool waitForDiscoveryAnswer(const QHostAddress& address, const QDeadlineTimer& deadline);

    QTemporaryDir dir_;
    QProcess process_;
    QString error_;
    quint16 probePort_ = 0;
};

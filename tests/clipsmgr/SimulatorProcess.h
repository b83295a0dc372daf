#pragma once

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QTemporaryDir>

// The recorder simulator on the recorder side of the test network, for tests that run on its
// host side. Reads the simulator's JSON line log.
class SimulatorProcess {
public:
    SimulatorProcess() = default;
    ~SimulatorProcess();

    // A recorder of the simulator's configuration, answering on one link.
    static QJsonObject recorder(const QString& id, const QString& address, int linkCode, const QJsonArray& clips);
    static QJsonObject clip(int number, int frames, int width = 1920, int height = 1080, int fps = 240);

    // Starts with these recorders and waits until every one of them has started. False (with
    // the reason in error()) when the simulator or the test network is missing or it fails.
    bool start(const QJsonArray& recorders);
    QString error() const { return error_; }

    // Every log line so far, oldest first.
    QList<QJsonObject> log() const;
    // Log lines of one kind (optionally of one link address), leaving out the start-up probe.
    QList<QJsonObject> received(const QString& kind, const QString& link = {}) const;

    // A datagram to a recorder's command port, as the control program would send it.
    static void sendCommand(const QString& address, const QByteArray& datagram, quint16 port = 9000);

private:
    bool waitForDiscoveryAnswer(const QJsonObject& recorder, const QDeadlineTimer& deadline);

    QTemporaryDir dir_;
    QProcess process_;
    QString error_;
    quint16 probePort_ = 0;
};

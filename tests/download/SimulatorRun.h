#pragma once

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// velmor-sim on the recorder side of the test network, for tests on its host side: one
// recorder with a 10G link at 10.77.41.2, the given simulator options added.
class SimulatorRun {
public:
    ~SimulatorRun();
    // False (with the reason in error()) when the simulator or the test network is missing or
    // the simulator did not start its recorder.
    bool start(const QStringList& options);
    QString error() const { return error_; }

private:
    bool logSaysStarted() const;

    QTemporaryDir dir_;
    QProcess process_;
    QString error_;
};

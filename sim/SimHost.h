#pragma once

#include "sim/SimConfig.h"
#include "sim/SimLog.h"
#include "sim/SimRecorder.h"

#include <QList>
#include <QObject>
#include <QTimer>

#include <memory>
#include <vector>

class QUdpSocket;

// A whole simulator run: the recorders of the configuration, the one discovery socket they
// share, the wildcard command sockets that hear IP change broadcasts, and the status timer.
// Runs on the thread that owns it (the transfer servers have their own threads).
class SimHost : public QObject {
    Q_OBJECT
public:
    explicit SimHost(SimConfig config, QObject* parent = nullptr);
    ~SimHost() override;

    // Opens the log, binds every socket and starts the recorders. On failure error says why.
    bool start(QString* error);

    const SimConfig& config() const { return config_; }
    int recorderCount() const { return int(recorders_.size()); }
    SimRecorder& recorder(int index) { return *recorders_[size_t(index)]; }
    quint16 discoveryPort() const;

private:
    void readDiscovery();
    void readBroadcastCommands(QUdpSocket* socket);

    SimConfig config_;
    SimLog log_;
    std::vector<std::unique_ptr<SimRecorder>> recorders_;
    QUdpSocket* discovery_ = nullptr;
    QList<QUdpSocket*> broadcastSockets_;
    QTimer statusTimer_;
    QTimer countersTimer_;
};

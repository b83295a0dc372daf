#pragma once

#include "control/discovery/BluetoothService.h"

#include <QBluetoothDeviceDiscoveryAgent>
#include <QBluetoothDeviceInfo>
#include <QList>
#include <QObject>

// Finds recorders over Bluetooth: devices whose name marks them as recorders are asked for
// their services, and every service found is listed (which one is the recorder's serial
// service is left to the user). Without a usable adapter nothing is found, and that is said
// once.
class BluetoothEnumerator : public QObject {
    Q_OBJECT
public:
    explicit BluetoothEnumerator(QObject* parent = nullptr);

    // At least 6 characters holding "PNW" or "VLMV".
    static bool isRecorderDevice(const QString& name);

    // Start empties the list first.
    void run(bool start);
    bool isRunning() const;
    bool isAvailable() const { return available_; }
    int count() const { return int(services_.size()); }
    // Null outside the list.
    BluetoothService* serviceAt(int i) const;

signals:
    void runStateChanged();
    void serviceCountChanged();
    // Bluetooth cannot be used here; emitted once.
    void unavailable(const QString& reason);

public slots:
    void foundNewDevice(const QBluetoothDeviceInfo& info);
    void foundNewService(const QBluetoothServiceInfo& service, const QString& devName);

private:
    void makeAgent();
    void onAgentError();
    void reportUnavailable(const QString& reason);

    // Made at the first start: without Bluetooth, making it is what complains.
    QBluetoothDeviceDiscoveryAgent* agent_ = nullptr;
    QList<BluetoothService*> services_;
    bool available_ = true;
};

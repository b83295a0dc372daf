#pragma once

#include <QBluetoothServiceInfo>
#include <QObject>
#include <QString>

// One service found on a recorder's Bluetooth device, with the device's name.
class BluetoothService : public QObject {
    Q_OBJECT
public:
    BluetoothService(const QBluetoothServiceInfo& info, const QString& deviceName, QObject* parent = nullptr)
        : QObject(parent), info_(info), deviceName_(deviceName)
    {}

    const QBluetoothServiceInfo& info() const { return info_; }
    QString deviceName() const { return deviceName_; }

private:
    QBluetoothServiceInfo info_;
    QString deviceName_;
};

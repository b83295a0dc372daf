#pragma once

#include "control/link/SerialStreamLink.h"

#include <QBluetoothSocket>

class BluetoothService;

// The link to a recorder over its Bluetooth serial (RFCOMM) service. There is no keep-alive:
// a silent recorder stays connected as long as the socket does.
class BluetoothInterface : public SerialStreamLink {
    Q_OBJECT
public:
    explicit BluetoothInterface(QObject* parent = nullptr);

    // Nothing for a null service.
    void openLink(const BluetoothService* service, int index);
    void closeLink() override;
    QString statusText() const override;
    bool isConnected() const override;

private:
    void onError(QBluetoothSocket::SocketError error);

    QBluetoothSocket socket_;
};

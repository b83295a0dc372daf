#include "control/link/BluetoothInterface.h"

#include "control/discovery/BluetoothService.h"

#include <QCoreApplication>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcBluetooth, "vlm.control.bluetooth")

BluetoothInterface::BluetoothInterface(QObject* parent)
    : SerialStreamLink(parent), socket_(QBluetoothServiceInfo::RfcommProtocol)
{
    connect(&socket_, &QBluetoothSocket::connected, this, &BluetoothInterface::streamConnected);
    connect(&socket_, &QBluetoothSocket::disconnected, this, &BluetoothInterface::streamDisconnected);
    connect(&socket_, &QBluetoothSocket::errorOccurred, this, &BluetoothInterface::onError);
}

void BluetoothInterface::openLink(const BluetoothService* service, int index)
{
    if (!service)
        return;
    attachStream(&socket_, index);
    closeLink();
    socket_.connectToService(service->info(), QIODevice::ReadWrite);
}

void BluetoothInterface::closeLink()
{
    socket_.disconnectFromService();
}

bool BluetoothInterface::isConnected() const
{
    return socket_.state() == QBluetoothSocket::SocketState::ConnectedState;
}

QString BluetoothInterface::statusText() const
{
    using S = QBluetoothSocket::SocketState;
    const auto tr = [](const char* text) { return QCoreApplication::translate("BluetoothInterface", text); };
    QString state;
    switch (socket_.state()) {
    case S::UnconnectedState:
        state = tr("Not connected");
        break;
    case S::ConnectingState:
        state = tr("connecting");
        break;
    case S::ConnectedState:
        state = tr("Connected");
        break;
    case S::ClosingState:
        state = tr("Closing");
        break;
    default:
        state = tr("Unknown status") + QStringLiteral(" (%1)").arg(int(socket_.state()));
    }
    return QStringLiteral("Bluetooth: ") + state;
}

void BluetoothInterface::onError(QBluetoothSocket::SocketError error)
{
    qCDebug(lcBluetooth, "%s", qPrintable(socket_.errorString()));
    if (error == QBluetoothSocket::SocketError::UnknownSocketError)
        closeLink();
    emit connectionChanged(linkIndex(), NotConnected);
}

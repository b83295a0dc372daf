#include "control/discovery/BluetoothEnumerator.h"

#include <QBluetoothLocalDevice>
#include <QBluetoothServiceDiscoveryAgent>
#include <QBluetoothSocket>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcBluetoothDiscovery, "vlm.control.bluetooth")

BluetoothEnumerator::BluetoothEnumerator(QObject* parent) : QObject(parent)
{
    qRegisterMetaType<QBluetoothDeviceInfo>();
    qRegisterMetaType<QBluetoothServiceInfo>();
    qRegisterMetaType<QBluetoothSocket::SocketError>();
}

void BluetoothEnumerator::makeAgent()
{
    agent_ = new QBluetoothDeviceDiscoveryAgent(this);
    connect(agent_, &QBluetoothDeviceDiscoveryAgent::deviceDiscovered, this, &BluetoothEnumerator::foundNewDevice);
    connect(agent_, &QBluetoothDeviceDiscoveryAgent::finished, this, &BluetoothEnumerator::runStateChanged);
    connect(agent_, &QBluetoothDeviceDiscoveryAgent::canceled, this, &BluetoothEnumerator::runStateChanged);
    connect(agent_, &QBluetoothDeviceDiscoveryAgent::errorOccurred, this, &BluetoothEnumerator::onAgentError);
}

bool BluetoothEnumerator::isRecorderDevice(const QString& name)
{
    return name.size() >= 6 && (name.contains(QLatin1String("PNW")) || name.contains(QLatin1String("VLMV")));
}

void BluetoothEnumerator::run(bool start)
{
    if (start) {
        qDeleteAll(services_);
        services_.clear();
        if (!available_)
            return;
        if (QBluetoothLocalDevice::allDevices().isEmpty()) {
            reportUnavailable(tr("no Bluetooth adapter"));
            return;
        }
        if (!agent_)
            makeAgent();
        agent_->start(QBluetoothDeviceDiscoveryAgent::ClassicMethod);
    } else if (isRunning()) {
        agent_->stop();
    }
    emit runStateChanged();
}

bool BluetoothEnumerator::isRunning() const
{
    return agent_ && agent_->isActive();
}

BluetoothService* BluetoothEnumerator::serviceAt(int i) const
{
    return i >= 0 && i < services_.size() ? services_[i] : nullptr;
}

void BluetoothEnumerator::foundNewDevice(const QBluetoothDeviceInfo& info)
{
    if (!isRecorderDevice(info.name()))
        return;
    auto* services = new QBluetoothServiceDiscoveryAgent(this);
    services->setRemoteAddress(info.address());
    const QString name = info.name();
    connect(services, &QBluetoothServiceDiscoveryAgent::serviceDiscovered, this,
            [this, name](const QBluetoothServiceInfo& service) { foundNewService(service, name); });
    connect(services, &QBluetoothServiceDiscoveryAgent::finished, services, &QObject::deleteLater);
    connect(services, &QBluetoothServiceDiscoveryAgent::errorOccurred, services, &QObject::deleteLater);
    services->start(QBluetoothServiceDiscoveryAgent::MinimalDiscovery);
}

void BluetoothEnumerator::foundNewService(const QBluetoothServiceInfo& service, const QString& devName)
{
    services_.append(new BluetoothService(service, devName, this));
    emit serviceCountChanged();
}

void BluetoothEnumerator::onAgentError()
{
    // A lost adapter, or one switched off: nothing more is found until the program starts again.
    reportUnavailable(agent_->errorString());
    emit runStateChanged();
}

void BluetoothEnumerator::reportUnavailable(const QString& reason)
{
    if (!available_)
        return;
    available_ = false;
    qWarning("Bluetooth is unavailable (%s): recorders are found over Ethernet only", qPrintable(reason));
    emit unavailable(reason);
}

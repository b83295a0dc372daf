#include "control/link/SerialStreamLink.h"

#include <QIODevice>

SerialStreamLink::SerialStreamLink(QObject* parent) : BaseRecInterface(parent)
{}

void SerialStreamLink::attachStream(QIODevice* stream, int index)
{
    if (stream_)
        disconnect(stream_, nullptr, this, nullptr);
    stream_ = stream;
    setLinkIndex(index);
    resetReceive();
    connect(stream, &QIODevice::readyRead, this, [this] { receiveAvailable(isActive()); });
}

void SerialStreamLink::closeLink()
{
    if (stream_)
        stream_->close();
    connected_ = false;
}

void SerialStreamLink::sendCommand(const QString& command)
{
    const QByteArray text = command.toUtf8();
    sendFrame(text.constData(), int(text.size()));
}

void SerialStreamLink::streamConnected()
{
    connected_ = true;
    resetReceive();
    emit connectionChanged(linkIndex(), Connected);
}

void SerialStreamLink::streamDisconnected()
{
    connected_ = false;
    emit connectionChanged(linkIndex(), NotConnected);
}

void SerialStreamLink::processPacket(const char* data, int length)
{
    if (length > 0)
        emit packetReceived(linkIndex(), data, length);
}

qint64 SerialStreamLink::writeRaw(const char* data, qint64 length)
{
    return stream_ && isConnected() ? stream_->write(data, length) : 0;
}

qint64 SerialStreamLink::receiveData(char* data, qint64 maxLength)
{
    return stream_ && stream_->bytesAvailable() > 0 ? stream_->read(data, maxLength) : 0;
}

#pragma once

#include "control/link/BaseRecInterface.h"
#include "control/link/SerialRecInterface.h"

#include <QPointer>

class QIODevice;

// A link over a connected byte stream, every packet framed: what the Bluetooth link is above
// its socket. Whoever owns the stream says when it connects and disconnects.
class SerialStreamLink : public BaseRecInterface, public SerialRecInterface {
    Q_OBJECT
public:
    explicit SerialStreamLink(QObject* parent = nullptr);

    Kind kind() const override { return Bluetooth; }
    void closeLink() override;
    // The command's UTF-8 text in one frame.
    void sendCommand(const QString& command) override;
    bool sendData(const char* data, int length) override { return sendFrame(data, length); }
    bool isConnected() const override { return connected_; }

    void attachStream(QIODevice* stream, int index);
    void streamConnected();
    void streamDisconnected();

protected:
    void processPacket(const char* data, int length) override;
    // Nothing is written while the stream is not connected.
    qint64 writeRaw(const char* data, qint64 length) override;
    qint64 receiveData(char* data, qint64 maxLength) override;

private:
    QPointer<QIODevice> stream_;
    bool connected_ = false;
};

#include "control/link/SerialRecInterface.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcSerial, "vlm.control.serial")

bool SerialRecInterface::sendFrame(const char* data, int length)
{
    const auto frame = kvx::SerialFrame::encode(QByteArrayView(data, length));
    if (!frame) {
        qCDebug(lcSerial, "A packet of %d bytes does not fit a frame: not sent", length);
        return false;
    }
    qint64 written = 0;
    while (written < frame->size()) {
        const qint64 n = writeRaw(frame->constData() + written, frame->size() - written);
        if (n <= 0)
            return false;
        written += n;
    }
    return true;
}

void SerialRecInterface::receiveAvailable(bool deliver)
{
    char chunk[ReadChunk];
    for (;;) {
        const qint64 n = receiveData(chunk, ReadChunk);
        if (n <= 0)
            return;
        if (deliver)
            reader_.feed(QByteArrayView(chunk, n),
                         [this](QByteArrayView payload) { processPacket(payload.data(), int(payload.size())); });
    }
}

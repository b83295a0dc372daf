#include "transfer/DatagramBatch.h"

#include <QUdpSocket>

#include <poll.h>

namespace kvx {

DatagramBatch::DatagramBatch(int bufferSize)
    : bufferSize_(bufferSize), buffers_(size_t(bufferSize) * Capacity), sizes_(Capacity, 0)
{
}

int DatagramBatch::read(QUdpSocket* socket)
{
    if (!socket)
        return 0;
    int count = 0;
    while (count < Capacity) {
        const qint64 got = socket->readDatagram(reinterpret_cast<char*>(buffers_.data()) + count * bufferSize_,
                                                bufferSize_);
        if (got < 0)
            break;
        sizes_[size_t(count)] = got;
        ++count;
    }
    return count;
}

void DatagramBatch::waitReadable(QUdpSocket* socket, int timeoutMs)
{
    if (!socket || socket->socketDescriptor() < 0)
        return;
    pollfd fd{int(socket->socketDescriptor()), POLLIN, 0};
    ::poll(&fd, 1, timeoutMs);
}

} // namespace kvx

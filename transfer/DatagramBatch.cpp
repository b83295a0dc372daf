#include "transfer/DatagramBatch.h"

#include <QUdpSocket>

#include <poll.h>

namespace kvx {

DatagramBatch::DatagramBatch(int bufferSize) : bufferSize_(bufferSize), buffers_(size_t(bufferSize) * Capacity)
{
    for (size_t i = 0; i < Capacity; ++i) {
        vectors_[i] = {buffers_.data() + i * size_t(bufferSize), size_t(bufferSize)};
        headers_[i] = {};
        headers_[i].msg_hdr.msg_iov = &vectors_[i];
        headers_[i].msg_hdr.msg_iovlen = 1;
        headers_[i].msg_hdr.msg_name = &senders_[i];
    }
}

int DatagramBatch::read(QUdpSocket* socket)
{
    if (!socket || socket->socketDescriptor() < 0)
        return 0;
    // The call shortens each address length to what it wrote; a longer address must fit again.
    for (mmsghdr& header : headers_)
        header.msg_hdr.msg_namelen = sizeof(sockaddr_storage);
    const int got = ::recvmmsg(int(socket->socketDescriptor()), headers_.data(), Capacity, MSG_DONTWAIT, nullptr);
    return got > 0 ? got : 0;
}

void DatagramBatch::waitReadable(QUdpSocket* socket, int timeoutMs)
{
    pollfd fd{int(socket->socketDescriptor()), POLLIN, 0};
    ::poll(&fd, 1, timeoutMs);
}

} // namespace kvx

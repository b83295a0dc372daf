#pragma once

#include <QtGlobal>

#include <sys/socket.h>

#include <array>
#include <vector>

class QUdpSocket;

namespace kvx {

// Takes the datagrams pending on a socket, many per system call (recvmmsg on the socket's
// descriptor), into buffers allocated once: the receive path does no allocation and pays one
// system call for a whole burst. Measured in transfer_bench it costs about 7 % less CPU per GB
// than QUdpSocket::readDatagram, which also sets and emits a socket error on every empty read.
// A datagram longer than a buffer is cut to it. The sender of each datagram comes with the same
// call, so checking it costs no extra system call.
class DatagramBatch {
public:
    static constexpr int Capacity = 32;

    explicit DatagramBatch(int bufferSize);
    DatagramBatch(const DatagramBatch&) = delete;
    DatagramBatch& operator=(const DatagramBatch&) = delete;

    // Reads up to Capacity pending datagrams without blocking; returns how many.
    int read(QUdpSocket* socket);
    const uchar* data(int i) const { return buffers_.data() + qsizetype(i) * bufferSize_; }
    qsizetype size(int i) const { return qsizetype(headers_[size_t(i)].msg_len); }
    const sockaddr_storage& sender(int i) const { return senders_[size_t(i)]; }
    socklen_t senderLength(int i) const { return headers_[size_t(i)].msg_hdr.msg_namelen; }

    // Blocks until a datagram is pending or timeoutMs has passed.
    static void waitReadable(QUdpSocket* socket, int timeoutMs);

private:
    qsizetype bufferSize_;
    std::vector<uchar> buffers_;
    std::array<iovec, Capacity> vectors_;
    std::array<mmsghdr, Capacity> headers_;
    std::array<sockaddr_storage, Capacity> senders_;
};

} // namespace kvx

#include "sim/transfer/UdpBatchSocket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

UdpBatchSocket::~UdpBatchSocket()
{
    close();
}

void UdpBatchSocket::close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    port_ = 0;
}

bool UdpBatchSocket::bind(quint32 ipv4, quint16 port, QString* error)
{
    close();
    fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    // Room for bursts: a paced 10G link sends ~1 MB per millisecond.
    const int sendBuffer = 8 << 20, receiveBuffer = 4 << 20;
    ::setsockopt(fd_, SOL_SOCKET, SO_SNDBUF, &sendBuffer, sizeof sendBuffer);
    ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);

    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(ipv4);
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        close();
        return false;
    }
    socklen_t len = sizeof addr;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    return true;
}

qsizetype UdpBatchSocket::receive(void* buffer, size_t capacity, sockaddr_in* from)
{
    socklen_t len = sizeof *from;
    const ssize_t n = ::recvfrom(fd_, buffer, capacity, 0, reinterpret_cast<sockaddr*>(from), &len);
    return n < 0 ? -1 : qsizetype(n);
}

int UdpBatchSocket::send(const Datagram* datagrams, int count)
{
    constexpr int MaxBatch = 64;
    count = std::min(count, MaxBatch);
    mmsghdr messages[MaxBatch];
    iovec vectors[MaxBatch];
    for (int i = 0; i < count; ++i) {
        vectors[i].iov_base = const_cast<void*>(datagrams[i].data);
        vectors[i].iov_len = datagrams[i].size;
        std::memset(&messages[i], 0, sizeof messages[i]);
        messages[i].msg_hdr.msg_name = const_cast<sockaddr_in*>(&datagrams[i].to);
        messages[i].msg_hdr.msg_namelen = sizeof(sockaddr_in);
        messages[i].msg_hdr.msg_iov = &vectors[i];
        messages[i].msg_hdr.msg_iovlen = 1;
    }
    const int sent = ::sendmmsg(fd_, messages, unsigned(count), 0);
    if (sent >= 0)
        return sent;
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == ENOBUFS || errno == EINTR)
        return 0;
    return -1;
}

void UdpBatchSocket::wait(qint64 timeoutNs, bool wantWrite)
{
    pollfd p{fd_, short(POLLIN | (wantWrite ? POLLOUT : 0)), 0};
    timespec ts{};
    if (timeoutNs >= 0) {
        ts.tv_sec = time_t(timeoutNs / 1000000000);
        ts.tv_nsec = long(timeoutNs % 1000000000);
    }
    ::ppoll(&p, 1, timeoutNs >= 0 ? &ts : nullptr, nullptr);
}

#pragma once

#include <QString>

#include <netinet/in.h>

// A non-blocking IPv4 UDP socket on the native descriptor, sending many datagrams per system
// call (sendmmsg). The transfer server's thread owns it; nothing here is thread-safe.
class UdpBatchSocket {
public:
    struct Datagram {
        const void* data;
        size_t size;
        sockaddr_in to;
    };

    UdpBatchSocket() = default;
    ~UdpBatchSocket();
    UdpBatchSocket(const UdpBatchSocket&) = delete;
    UdpBatchSocket& operator=(const UdpBatchSocket&) = delete;

    // ipv4 in host order; port 0 picks a free port. On failure error says why.
    bool bind(quint32 ipv4, quint16 port, QString* error);
    void close();
    quint16 localPort() const { return port_; }

    // One pending datagram into buffer; its size, or -1 when none is pending.
    qsizetype receive(void* buffer, size_t capacity, sockaddr_in* from);
    // Sends up to count datagrams in order; returns how many went (0 when the send buffer is
    // full), or -1 on an error that dropped the first one (it counts as sent).
    int send(const Datagram* datagrams, int count);
    // Sleeps until a datagram arrives (or, with wantWrite, the socket can send) or timeoutNs
    // passes; a negative timeout waits without limit.
    void wait(qint64 timeoutNs, bool wantWrite);

private:
    int fd_ = -1;
    quint16 port_ = 0;
};

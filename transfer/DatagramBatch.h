#pragma once

#include <QtGlobal>

#include <vector>

class QUdpSocket;

namespace kvx {

// Takes the datagrams pending on a socket, several per call, into buffers allocated once, so the
// receive path does no allocation per datagram. A datagram longer than a buffer is cut to it.
class DatagramBatch {
public:
    static constexpr int Capacity = 32;

    explicit DatagramBatch(int bufferSize);

    // Reads up to Capacity pending datagrams without blocking; returns how many.
    int read(QUdpSocket* socket);
    const uchar* data(int i) const { return buffers_.data() + qsizetype(i) * bufferSize_; }
    qsizetype size(int i) const { return sizes_[size_t(i)]; }

    // Blocks until a datagram is pending or timeoutMs has passed.
    static void waitReadable(QUdpSocket* socket, int timeoutMs);

private:
    qsizetype bufferSize_;
    std::vector<uchar> buffers_;
    std::vector<qsizetype> sizes_;
};

} // namespace kvx

#pragma once

#include <QHostAddress>
#include <QString>

#include <sys/socket.h>

#include <array>
#include <atomic>
#include <set>

namespace kvx {

// Tells the datagrams of the recorder a link belongs to from everybody else's, so that another
// host on the recorder's network cannot put its bytes into a clip or make a chunk look sent or
// failed. Only the address counts: which port the recorder sends from is its own business. An
// IPv4 address and its IPv4-mapped IPv6 form are the same sender.
//
// Used on the receive thread; the count of rejected datagrams may be read from any thread.
class SenderFilter {
public:
    // Distinct foreign senders logged by address; further ones are only counted.
    static constexpr size_t MaxLoggedSenders = 16;

    // Until a recorder is set (null and unspecified addresses do not count), nothing is accepted.
    void setRecorder(const QHostAddress& recorder);

    // True for a datagram of the recorder; anything else is counted, and its sender logged the
    // first time it is seen.
    bool accept(const sockaddr_storage& sender, socklen_t length)
    {
        if (hasRecorder_ && toIPv6(sender, length) == recorder_)
            return true;
        reject(sender, length);
        return false;
    }

    quint64 rejected() const { return rejected_.load(std::memory_order_relaxed); }

private:
    using IPv6Bytes = std::array<quint8, 16>;

    // The sender as 16 bytes, an IPv4 sender in its mapped form; all zero (which no datagram
    // comes from) for a family other than IPv4 and IPv6.
    static IPv6Bytes toIPv6(const sockaddr_storage& sender, socklen_t length);
    void reject(const sockaddr_storage& sender, socklen_t length);

    bool hasRecorder_ = false;
    IPv6Bytes recorder_{};
    QString recorderText_;
    std::atomic<quint64> rejected_{0};
    std::set<IPv6Bytes> logged_;
};

} // namespace kvx

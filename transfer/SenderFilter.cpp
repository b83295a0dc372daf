#include "transfer/SenderFilter.h"

#include "transfer/TransferLog.h"

#include <netinet/in.h>

#include <cstring>

namespace kvx {

void SenderFilter::setRecorder(const QHostAddress& recorder)
{
    // An IPv4 address comes back in its mapped form, the form IPv4 senders are compared in.
    const Q_IPV6ADDR bytes = recorder.toIPv6Address();
    std::memcpy(recorder_.data(), bytes.c, recorder_.size());
    // All zero is a null or unspecified address, and what an unreadable sender turns into.
    hasRecorder_ = recorder_ != IPv6Bytes{};
    recorderText_ = recorder.toString();
}

SenderFilter::IPv6Bytes SenderFilter::toIPv6(const sockaddr_storage& sender, socklen_t length)
{
    IPv6Bytes bytes{};
    if (sender.ss_family == AF_INET && length >= socklen_t(sizeof(sockaddr_in))) {
        bytes[10] = bytes[11] = 0xFF;
        std::memcpy(bytes.data() + 12, &reinterpret_cast<const sockaddr_in&>(sender).sin_addr, 4);
    } else if (sender.ss_family == AF_INET6 && length >= socklen_t(sizeof(sockaddr_in6))) {
        std::memcpy(bytes.data(), &reinterpret_cast<const sockaddr_in6&>(sender).sin6_addr, bytes.size());
    }
    return bytes;
}

void SenderFilter::reject(const sockaddr_storage& sender, socklen_t length)
{
    rejected_.fetch_add(1, std::memory_order_relaxed);
    if (logged_.size() > MaxLoggedSenders)
        return;
    const IPv6Bytes address = toIPv6(sender, length);
    if (!logged_.insert(address).second)
        return;
    if (logged_.size() > MaxLoggedSenders) {
        qCWarning(lcTransfer).noquote() << "Datagrams from more than" << MaxLoggedSenders
                                        << "other senders; further ones are counted, not logged";
        return;
    }
    Q_IPV6ADDR ipv6;
    std::memcpy(ipv6.c, address.data(), address.size());
    QHostAddress from(ipv6);
    bool isIPv4 = false;
    if (const quint32 ipv4 = from.toIPv4Address(&isIPv4); isIPv4)
        from.setAddress(ipv4);
    qCWarning(lcTransfer).noquote() << "Dropped a datagram from" << from.toString() << "- transfers are taken from"
                                    << recorderText_ << "only; further ones from it are counted, not logged";
}

} // namespace kvx

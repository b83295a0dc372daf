#include "sim/transfer/TokenBucket.h"

#include <algorithm>

TokenBucket::TokenBucket(double bytesPerSecond, double capBytes) : rate_(bytesPerSecond), cap_(capBytes)
{}

void TokenBucket::refill(qint64 nowNs)
{
    if (!paced())
        return;
    if (lastNs_ >= 0 && nowNs > lastNs_)
        tokens_ = std::min(cap_, tokens_ + double(nowNs - lastNs_) * rate_ / 1e9);
    lastNs_ = nowNs;
}

void TokenBucket::consume(double bytes)
{
    if (paced())
        tokens_ -= bytes;
}

qint64 TokenBucket::nsUntil(double bytes) const
{
    if (!paced() || tokens_ >= bytes)
        return 0;
    return qint64((bytes - tokens_) * 1e9 / rate_) + 1;
}

#pragma once

#include <QtGlobal>

// Paces a sender to a byte rate on a steady clock. Tokens (bytes) accrue at the rate up to a
// cap, so a sender that wakes late may catch up with one burst but never saves up more.
class TokenBucket {
public:
    // bytesPerSecond <= 0 means unpaced: every request is granted.
    TokenBucket(double bytesPerSecond, double capBytes);

    bool paced() const { return rate_ > 0; }
    void refill(qint64 nowNs);
    bool allows(double bytes) const { return !paced() || tokens_ >= bytes; }
    void consume(double bytes);
    // Nanoseconds from the last refill until the bucket holds bytes (0 when it already does).
    qint64 nsUntil(double bytes) const;

private:
    double rate_;
    double cap_;
    double tokens_ = 0;
    qint64 lastNs_ = -1;
};

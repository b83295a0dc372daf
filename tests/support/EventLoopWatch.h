#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>

// Measures how long the event loop was held up: a short timer ticks while it runs, and the
// longest time between two ticks is what a user would have seen the window freeze for.
class EventLoopWatch {
public:
    explicit EventLoopWatch(int intervalMs = 5)
    {
        clock_.start();
        timer_.setInterval(intervalMs);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            longestGap_ = std::max(longestGap_, clock_.elapsed() - lastTick_);
            lastTick_ = clock_.elapsed();
            ++ticks_;
        });
        timer_.start();
    }
    qint64 longestGapMs() const { return longestGap_; }
    qint64 elapsedMs() const { return clock_.elapsed(); }
    int ticks() const { return ticks_; }

private:
    QElapsedTimer clock_;
    QTimer timer_;
    qint64 lastTick_ = 0;
    qint64 longestGap_ = 0;
    int ticks_ = 0;
};

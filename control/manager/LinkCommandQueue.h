#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QTimer>

#include <functional>

// Steps for one link, spaced in time without holding up the event loop: each step runs once its
// delay has passed since the step before it ran (or since it was queued, when the queue was
// idle), measured on a monotonic clock. A recorder must not get its commands back to back, and
// the window must not freeze while dozens of links are greeted.
class LinkCommandQueue : public QObject {
    Q_OBJECT
public:
    using Step = std::function<void()>;

    explicit LinkCommandQueue(QObject* parent = nullptr);

    void append(int delayMs, Step step);
    void clear();
    bool isIdle() const { return pending_.isEmpty(); }

private:
    struct Entry {
        int delayMs;
        Step step;
    };
    void schedule();
    void runDue();

    QList<Entry> pending_;
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 dueMs_ = 0; // when the first pending step may run, on clock_
};

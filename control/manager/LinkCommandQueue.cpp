#include "control/manager/LinkCommandQueue.h"

#include <algorithm>

LinkCommandQueue::LinkCommandQueue(QObject* parent) : QObject(parent)
{
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &LinkCommandQueue::runDue);
    clock_.start();
}

void LinkCommandQueue::append(int delayMs, Step step)
{
    pending_.append({delayMs, std::move(step)});
    if (pending_.size() == 1) {
        dueMs_ = clock_.elapsed() + delayMs;
        schedule();
    }
}

void LinkCommandQueue::clear()
{
    pending_.clear();
    timer_.stop();
}

void LinkCommandQueue::schedule()
{
    timer_.start(int(std::max<qint64>(0, dueMs_ - clock_.elapsed())));
}

void LinkCommandQueue::runDue()
{
    while (!pending_.isEmpty()) {
        if (clock_.elapsed() < dueMs_) { // a timer may fire a little early
            schedule();
            return;
        }
        const Step step = pending_.takeFirst().step;
        step();
        if (!pending_.isEmpty())
            dueMs_ = clock_.elapsed() + pending_.first().delayMs;
    }
}

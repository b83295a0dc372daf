#pragma once

#include <QtGlobal>

#include <functional>

// Milliseconds on a monotonic clock. The simulator runs on the steady clock; tests hand in a
// clock they move by hand so that timed behaviour is checked without sleeping.
using SimClock = std::function<qint64()>;

SimClock steadyClock();

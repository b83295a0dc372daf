#include "common/DelayMs.h"

#include <QElapsedTimer>

void delayMs(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {}
}

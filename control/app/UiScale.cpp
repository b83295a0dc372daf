#include "control/app/UiScale.h"

#include <cmath>

namespace UiScale {

double factor(double logicalDpi, int availableHeight)
{
    if (logicalDpi <= 96.0)
        return 1.0;
    const double byDpi = logicalDpi / 96.0;
    const int room = availableHeight - ScreenMargin;
    if (room > 0 && scaled(PanelHeight, byDpi) > room)
        return double(room) / PanelHeight;
    return byDpi;
}

int scaled(int size, double factor)
{
    return int(std::lround(size * factor)) & ~1;
}

} // namespace UiScale

#include "clipsmgr/ScreenScale.h"

#include <QWidget>

#include <cmath>

namespace {

int roundHalfUp(double v)
{
    return int(std::floor(v + 0.5));
}

} // namespace

double scaleFactorForDpi(double logicalDpi)
{
    return logicalDpi > 96.0 ? logicalDpi / 96.0 : 1.0;
}

int scaledByFactor(int v, double factor)
{
    return roundHalfUp(v * factor) & ~1;
}

std::array<int, 4> scaledMetricsByFactor(double factor)
{
    return {scaledByFactor(20, factor), scaledByFactor(32, factor), scaledByFactor(12, factor),
            scaledByFactor(16, factor)};
}

void scaleWidgetByFactor(QWidget* widget, double factor, bool fixedSize)
{
    if (factor == 1.0) {
        if (fixedSize)
            widget->setFixedSize(widget->size());
        return;
    }
    const QSize size(roundHalfUp(widget->width() * factor), roundHalfUp(widget->height() * factor));
    widget->resize(size);
    widget->setMinimumSize(size);
    if (fixedSize)
        widget->setMaximumSize(size);
    for (QWidget* child : widget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QRect g = child->geometry();
        child->setGeometry(roundHalfUp(g.left() * factor), roundHalfUp(g.top() * factor),
                           roundHalfUp(g.width() * factor), roundHalfUp(g.height() * factor));
    }
}

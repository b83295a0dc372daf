#pragma once

#include <array>

class QWidget;

// Layouts are made for 96 dpi; on denser screens sizes grow by dpi / 96.

// 1.0 at 96 dpi or below, dpi / 96 above.
double scaleFactorForDpi(double logicalDpi);

// v times the factor, rounded half up, with the lowest bit cleared: always even.
int scaledByFactor(int v, double factor);

// 20, 32, 12 and 16 scaled as above: the paint dialog's layout sizes.
std::array<int, 4> scaledMetricsByFactor(double factor);

// Resizes a widget laid out for 96 dpi, and every direct child's geometry with it. At factor 1.0
// only fixes the size, and only when asked to.
void scaleWidgetByFactor(QWidget* widget, double factor, bool fixedSize);

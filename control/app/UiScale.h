#pragma once

// The control panel is laid out for 96 dpi and a height of 672 pixels: on denser screens every
// size grows by dpi / 96, but never so much that the panel outgrows the screen.
namespace UiScale {

inline constexpr int PanelHeight = 672;
inline constexpr int ScreenMargin = 95; // taskbars and window frame

double factor(double logicalDpi, int availableHeight);
// size x factor, rounded, made even.
int scaled(int size, double factor);

} // namespace UiScale

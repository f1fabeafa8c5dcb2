#pragma once
// Window scaling. Every window calls ScaleFormToScreen at the end of its creation: the
// window and its controls (positions, sizes, fonts) grow or shrink by M/100, with M from
// the screen's width in pixels and its logical pixels per inch.

#include <functional>

class QWidget;

struct ScreenMetrics {
    int width = 0;  // pixels
    int dpi = 0;    // logical pixels per inch
};

using ScreenMetricsFn = std::function<ScreenMetrics()>;

// Installs the source of the screen's metrics (empty restores the primary screen's);
// answers the previous one.
ScreenMetricsFn SetScreenMetrics(ScreenMetricsFn fn);
ScreenMetrics CurrentScreenMetrics();

// M for a screen, or 100 when the screen is not one of those the windows are scaled for.
int ScaleFactorFor(int width, int dpi);
// A design value times M/100, rounded half away from zero.
int ScaleValue(int value, int m);
// Scales a window and its controls once, by the factor of the current screen.
void ScaleFormToScreen(QWidget* form);
// As ScaleFormToScreen, by a given factor.
void ScaleFormBy(QWidget* form, int m);

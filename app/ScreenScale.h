#pragma once
// Window scaling. The windows are laid out in design units of a 134-pixels-per-inch
// screen. Every window calls ScaleFormToScreen at the end of its creation: the window and
// its controls (positions, sizes, fonts) are first adapted from 134 pixels per inch to the
// screen's logical pixels per inch, then grow or shrink by M/100, with M from the screen's
// width and pixels per inch. A window that would still not fit the screen's work area
// (with its frame) shrinks to it.

#include <cstdint>
#include <functional>

class QRect;
class QWidget;

struct ScreenMetrics {
    int width = 0;   // pixels
    int dpi = 0;     // logical pixels per inch
    int height = 0;  // pixels; 0: unknown, nothing is fitted to it
    // The work area (without task bars); 0 takes the whole screen.
    int availableWidth = 0;
    int availableHeight = 0;
};

using ScreenMetricsFn = std::function<ScreenMetrics()>;

// Installs the source of the screen's metrics (empty restores the primary screen's);
// answers the previous one.
ScreenMetricsFn SetScreenMetrics(ScreenMetricsFn fn);
ScreenMetrics CurrentScreenMetrics();

// The pixels per inch the windows were laid out at.
constexpr int kDesignDpi = 134;

// A scale factor num/den (positive).
struct ScaleRatio {
    int64_t num = 1;
    int64_t den = 1;
    bool IsOne() const { return num == den; }
    double Value() const { return double(num) / double(den); }
};

// M for a screen, or 100 when the screen is not one of those the windows are scaled for.
int ScaleFactorFor(int width, int dpi);
// A design value times M/100, rounded half away from zero.
int ScaleValue(int value, int m);
// A value times the ratio, rounded half away from zero.
int ScaleValue(int value, ScaleRatio r);

// The room a window frame takes around the client area on a screen of `dpi` (title bar
// and borders), as the fit assumes it before the window has a frame of its own.
struct FrameRoom {
    int width = 0;
    int height = 0;
};
FrameRoom EstimatedFrameRoom(int dpi);

// The factor from design units to the screen for a window whose client area is
// designWidth x designHeight: dpi/134 times M/100, reduced where the framed window would
// not fit the work area.
ScaleRatio FormScaleFor(const ScreenMetrics& screen, int designWidth, int designHeight);

// Scales a window and its controls once, by the factor of the current screen.
void ScaleFormToScreen(QWidget* form);
// As ScaleFormToScreen, by a given factor (M, or a ratio).
void ScaleFormBy(QWidget* form, int m);
void ScaleFormBy(QWidget* form, ScaleRatio r);
// The factor a window was scaled by (1 when it was not).
ScaleRatio FormScale(const QWidget* form);
// A design rectangle on the screen: its edges scaled.
QRect ScaleRect(const QRect& design, ScaleRatio r);
// Places a control of a scaled window by design units.
void PlaceScaled(QWidget* w, int left, int top, int width, int height);

class QComboBox;
// A combo box's drop-down list in the box's font, with rows of `designHeight` design
// units (scaled with the window).
void SetComboItemHeight(QComboBox* combo, int designHeight);
void ApplyComboListLook(QComboBox* combo);

class TfcCustomLabel;
// Lets a label take the room its caption needs, as its own text engine measures it: an
// automatically sized one sizes itself, another one grows (down to `maxBottom` in its
// parent, and to the right when it does not wrap) but never shrinks.
void FitLabelToText(TfcCustomLabel* label, int maxBottom);

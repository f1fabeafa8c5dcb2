#pragma once
// The common look of the program's windows: a dialog frame (fixed size, close box only)
// or a main frame with minimize only, the base font and the button-face colour, and the
// shape buttons' settings.

#include <QColor>
#include <QString>
#include <string_view>

class QWidget;
class TfcShapeBtn;
class TfcLabel;

enum class FrameKind { Dialog, Main };

// Sets the frame, the fixed client size, the base font (Arial 15) and the face colour.
void StyleForm(QWidget* form, FrameKind kind, int clientWidth, int clientHeight);

// A shape button with caption `text` in "Helv/Kazakh" 20 navy, raised, centred both
// ways, face colour button face, dithered towards white, round-rect bias 25, shading
// fbsHighlight. `focusable` buttons take the focus (with a focus rectangle when
// `focusRect`); the others are driven by the mouse only.
void StyleShapeButton(TfcShapeBtn* b, std::string_view text, bool focusable, bool focusRect);

// A label in "Helv/Kazakh" of `height` and `color`, left and top aligned.
void StyleLabel(TfcLabel* l, int height, const QColor& color);

// The widget's position and size in design units.
void Place(QWidget* w, int left, int top, int width, int height);

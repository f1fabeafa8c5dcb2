#pragma once
// Enter and Escape for a window's buttons: while the focus is on a control that leaves
// these keys alone, Enter clicks the window's default button and Escape its cancel
// button.

class QWidget;

// Starts watching the keys that reach `window` (once per window; repeated calls are
// harmless).
void fcWatchDialogKeys(QWidget* window);

#pragma once
// Shared helpers of the control tests: the one QApplication (made before any widget),
// a crisp test font and image readers.

#include <QApplication>
#include <QFont>
#include <QImage>
#include <QWidget>

namespace fctest {

// The application object; created on first use and kept for the whole test run.
QApplication& app();

// DejaVu Sans at a pixel size, without antialiasing, so text pixels have exact colours.
QFont crispFont(int pixelSize = 14, bool bold = false);

// Renders a widget (and its children) into an image of its size.
QImage grab(QWidget& w);

// Number of pixels of exactly colour `c` inside `r` of `img`.
int countColor(const QImage& img, const QColor& c, QRect r = QRect());

// Bounding box of the pixels of colour `c` (an empty rectangle when there are none).
QRect boxOf(const QImage& img, const QColor& c);

}  // namespace fctest

#pragma once
// The three-dimensional bevels of the shape button: one for polygons, drawn along each
// edge, and one for figures (rounded rectangles, ellipses), found pixel by pixel.

#include <QColor>
#include <QImage>
#include <QPolygon>
#include <QRegion>

class QPainter;

struct TfcBevelColors {
    QColor light3d, highlight, shadow, black, focus;
};

// Draws two one-pixel lines inside every edge: light on top and left edges, dark on bottom
// and right edges (swapped while `down`). A focused or default button has its bevel one
// pixel further in and its outline in the focus colour. Drawing is clipped to `shape`.
void fcDrawPolygonBevel(QPainter& p, const QPolygon& poly, const QRegion& shape, const TfcBevelColors& c, bool down,
                        bool focused);

// Recolours the ends of every run of non-key pixels along each diagonal running down and
// to the right: the upper-left end light, the lower-right end dark (swapped while down);
// a focused or default button gets a one-pixel black outline with the bevel inside it.
void fcDrawFigureBevel(QImage& img, QRgb key, const TfcBevelColors& c, bool down, bool focused);

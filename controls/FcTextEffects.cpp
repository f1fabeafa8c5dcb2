#include "controls/FcTextEffects.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

QPoint fcOrientationStep(TfcOrientation o) {
    switch (o) {
    case fcTopLeft: return {1, 1};
    case fcTopRight: return {-1, 1};
    case fcBottomLeft: return {1, -1};
    case fcBottomRight: return {-1, -1};
    case fcTop: return {0, 1};
    case fcRight: return {-1, 0};
    case fcLeft: return {1, 0};
    case fcBottom: return {0, -1};
    }
    return {0, 0};
}

int fcFloored(double v) { return static_cast<int>(std::lround(v - 0.4999)); }

void TfcShadowEffects::Assign(const TfcShadowEffects& o) {
    SetColor(o.color_);
    SetEnabled(o.enabled_);
    SetXOffset(o.xOffset_);
    SetYOffset(o.yOffset_);
}

void TfcExtrudeEffects::Assign(const TfcExtrudeEffects& o) {
    SetDepth(o.depth_);
    SetEnabled(o.enabled_);
    SetFarColor(o.farColor_);
    SetNearColor(o.nearColor_);
    SetOrientation(o.orientation_);
    SetStriated(o.striated_);
}

QPoint TfcExtrudeEffects::Extent() const {
    if (!enabled_) return {0, 0};
    QPoint s = fcOrientationStep(orientation_);
    return {depth_ * std::abs(s.x()), depth_ * std::abs(s.y())};
}

QColor TfcExtrudeEffects::LayerColor(int i, const QPalette& palette) const {
    QColor fc = farColor_.resolveOr(palette, Qt::black);
    QColor nc = nearColor_.resolveOr(palette, Qt::black);
    double t = depth_ > 0 ? double(i) / depth_ : 1.0;
    auto mix = [t](int f, int n) { return std::clamp(fcFloored(f + (n - f) * t), 0, 255); };
    int r = mix(fc.red(), nc.red()), g = mix(fc.green(), nc.green()), b = mix(fc.blue(), nc.blue());
    if (striated_ && i % 2 == 0) {
        r /= 4;
        g /= 4;
        b /= 4;
    }
    return QColor(r, g, b);
}

void TfcDisabledColors::Assign(const TfcDisabledColors& o) {
    SetHighlightColor(o.highlight_);
    SetShadeColor(o.shade_);
}

#include "controls/FcColor.h"

std::optional<QColor> TfcColor::resolve(const QPalette& palette) const {
    switch (kind_) {
    case Kind::None: return std::nullopt;
    case Kind::Role: return palette.color(role_);
    case Kind::Fixed: return QColor::fromRgba(rgb_);
    }
    return std::nullopt;
}

QColor TfcColor::resolveOr(const QPalette& palette, const QColor& fallback) const {
    auto c = resolve(palette);
    return c ? *c : fallback;
}

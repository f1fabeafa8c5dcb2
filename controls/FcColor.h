#pragma once
// A colour of a control's property: a role of the widget's palette (button face, shadow,
// highlight...), a fixed colour, or none (the copy drawn in it is skipped).

#include <QColor>
#include <QPalette>
#include <optional>

class TfcColor {
public:
    constexpr TfcColor() = default;  // none
    TfcColor(const QColor& fixed) : kind_(Kind::Fixed), rgb_(fixed.rgba()) {}
    TfcColor(Qt::GlobalColor fixed) : TfcColor(QColor(fixed)) {}
    static constexpr TfcColor none() { return TfcColor(); }
    static constexpr TfcColor role(QPalette::ColorRole r) { return TfcColor(r); }

    bool isNone() const { return kind_ == Kind::None; }
    bool isRole() const { return kind_ == Kind::Role; }
    QPalette::ColorRole paletteRole() const { return role_; }

    // The colour to draw with, taken from `palette` for a role; nothing for none.
    std::optional<QColor> resolve(const QPalette& palette) const;
    // As resolve(), with `fallback` for none.
    QColor resolveOr(const QPalette& palette, const QColor& fallback) const;

    bool operator==(const TfcColor& o) const {
        return kind_ == o.kind_ && (kind_ == Kind::None || (kind_ == Kind::Role ? role_ == o.role_ : rgb_ == o.rgb_));
    }

private:
    enum class Kind { None, Role, Fixed };
    constexpr explicit TfcColor(QPalette::ColorRole r) : kind_(Kind::Role), role_(r) {}
    Kind kind_ = Kind::None;
    QPalette::ColorRole role_ = QPalette::NoRole;
    QRgb rgb_ = 0;
};

// The system colours the controls use, as palette roles.
namespace fcColors {
inline constexpr TfcColor clNone = TfcColor::none();
inline constexpr TfcColor clBtnFace = TfcColor::role(QPalette::Button);
inline constexpr TfcColor clBtnHighlight = TfcColor::role(QPalette::Light);
inline constexpr TfcColor cl3DLight = TfcColor::role(QPalette::Midlight);
inline constexpr TfcColor clBtnShadow = TfcColor::role(QPalette::Dark);
inline constexpr TfcColor clBtnText = TfcColor::role(QPalette::ButtonText);
inline constexpr TfcColor clWindow = TfcColor::role(QPalette::Window);
inline constexpr TfcColor clWindowText = TfcColor::role(QPalette::WindowText);
inline constexpr TfcColor clHighlight = TfcColor::role(QPalette::Highlight);
}  // namespace fcColors

#pragma once
// A label that draws its caption through the three-dimensional text engine and can size
// itself to its text.

#include "controls/FcText.h"
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

class TfcCustomLabel : public QWidget, public TfcTextOwner {
    Q_OBJECT
public:
    explicit TfcCustomLabel(QWidget* parent = nullptr);
    ~TfcCustomLabel() override;

    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v);
    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& c);
    // The background of an opaque label; by default the parent's colour.
    TfcColor Color() const { return color_; }
    void SetColor(TfcColor c);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool v);
    QWidget* FocusControl() const { return focusControl_; }
    void SetFocusControl(QWidget* w);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    TfcCaptionText& TextOptions() { return *text_; }
    const TfcCaptionText& TextOptions() const { return *text_; }

    // Sizes the label to its text (while `AutoSize`); a right-justified label keeps its
    // right edge.
    void AdjustBounds();

    std::function<void()> OnClick;
    std::function<void()> OnDblClick;
    std::function<void()> OnMouseEnter;
    std::function<void()> OnMouseLeave;

    // TfcTextOwner
    QFont fcTextFont() const override { return font(); }
    QColor fcTextColor() const override { return palette().color(foregroundRole()); }
    QPalette fcTextPalette() const override { return palette(); }
    bool fcTextEnabled() const override { return isEnabled(); }
    void fcTextChanged(bool refit) override;

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void changeEvent(QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;

private:
    void updateAccelerator();

    std::unique_ptr<TfcCaptionText> text_;
    QString caption_;
    bool autoSize_ = true;
    TfcColor color_ = fcColors::clWindow;
    bool parentColor_ = true;
    bool transparent_ = false;
    QPointer<QWidget> focusControl_;
    int shortcutId_ = 0;
    bool pressed_ = false;
};

#pragma once
// The behaviour of the application's push buttons: caption and glyph, the standard
// kinds, groups of toggles, default and cancel roles, the mouse and keyboard handling
// of a push button, and painting from an off-screen image that the subclasses draw.

#include "controls/FcButtonTypes.h"
#include "controls/FcText.h"
#include <QPixmap>
#include <QWidget>
#include <memory>

class TfcCustomBitBtn : public QWidget, public TfcTextOwner {
    Q_OBJECT
public:
    explicit TfcCustomBitBtn(QWidget* parent = nullptr);
    ~TfcCustomBitBtn() override;

    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool v);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool v) { cancel_ = v; }
    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& c);
    TfcColor Color() const { return color_; }
    void SetColor(TfcColor c);
    bool Default() const { return default_; }
    void SetDefault(bool v);
    bool Down() const { return down_; }
    // Only grouped buttons can be put down from code.
    void SetDown(bool v);
    const QPixmap& Glyph() const { return glyph_; }
    void SetGlyph(const QPixmap& g);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int v);
    // Reads back as bkCustom once Default, Cancel or ModalResult no longer match.
    TBitBtnKind Kind() const;
    void SetKind(TBitBtnKind k);
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout v);
    int Margin() const { return margin_; }
    void SetMargin(int v);
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int v) { modalResult_ = v; }
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int v);
    TfcButtonOptions Options() const { return options_; }
    void SetOptions(TfcButtonOptions v);
    TfcImgDownOffsets& Offsets() { return offsets_; }
    // Kept for compatibility with window descriptions: Qt always clips child widgets.
    bool ParentClipping() const { return parentClipping_; }
    void SetParentClipping(bool v) { parentClipping_ = v; }
    TfcShadeColors& ShadeColors() { return shadeColors_; }
    TfcShadeStyle ShadeStyle() const { return shadeStyle_; }
    void SetShadeStyle(TfcShadeStyle v);
    bool SmoothFont() const { return smoothFont_; }
    void SetSmoothFont(bool v);
    int Spacing() const { return spacing_; }
    void SetSpacing(int v);
    TButtonStyle Style() const { return style_; }
    void SetStyle(TButtonStyle v) { style_ = v; }
    TfcCaptionText& TextOptions() { return *text_; }

    // Presses the button from code: hands ModalResult to the parent dialog and fires
    // OnClick (a bkClose button closes its window instead, bkHelp shows help).
    virtual void Click();

    // The look of the moment: pressed (or down) and whether the bevel shows.
    bool IsPressedLook() const { return pressedLook_ || down_; }
    bool IsBevelShown() const;
    // Whether a point (in the button's coordinates) lies inside the shape.
    bool IsInsideShape(const QPoint& p) const;
    // The caption and glyph rectangles of the last paint.
    QRect CaptionRect() const { return captionRect_; }
    QRect GlyphRect() const { return glyphRect_; }

    std::function<void()> OnClick;
    std::function<void()> OnSelChange;
    std::function<void()> OnMouseEnter;
    std::function<void()> OnMouseLeave;
    std::function<void()> OnEnter;
    std::function<void()> OnExit;

    // TfcTextOwner
    QFont fcTextFont() const override;
    QColor fcTextColor() const override { return palette().color(QPalette::ButtonText); }
    QPalette fcTextPalette() const override { return palette(); }
    bool fcTextEnabled() const override { return isEnabled(); }
    void fcTextChanged(bool refit) override;

signals:
    void clicked();

protected:
    // Draws the button's face (and its bevel when `bevel`) into `img`, which has the
    // button's size.
    virtual void DrawButtonImage(QImage& img, bool down, bool bevel) = 0;
    // The pixels the window covers for a state; all of it by default.
    virtual QRegion ButtonRegion(bool down);
    // Re-creates the window's shape after a change of shape or size.
    void RecreateRegion();
    // The colour that marks pixels outside the shape in the drawn image.
    QColor KeyColor() const;
    bool IsFocusedOrDefault() const { return hasFocus() || default_; }
    // The window region of the moment (rebuilt when the size has changed).
    const QRegion& CurrentRegion() const;
    bool IsHovered() const { return hovered_; }

    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void setPressedLook(bool v);
    void toggleByUser();
    void userClick();
    void updateAccelerator();
    void updateFocusPolicy();
    void layoutGlyphAndCaption(QPainter& p, bool down);
    QPixmap glyphSlice() const;

    std::unique_ptr<TfcCaptionText> text_;
    QString caption_;
    TfcColor color_ = fcColors::clBtnFace;
    QPixmap glyph_;
    bool allowAllUp_ = false, cancel_ = false, default_ = false, down_ = false;
    int groupIndex_ = 0;
    TBitBtnKind kind_ = bkCustom;
    TButtonLayout layout_ = blGlyphLeft;
    int margin_ = -1;
    int modalResult_ = 0;
    int numGlyphs_ = 1;
    TfcButtonOptions options_;
    TfcImgDownOffsets offsets_;
    bool parentClipping_ = false;
    TfcShadeColors shadeColors_;
    TfcShadeStyle shadeStyle_ = fbsHighlight;
    bool smoothFont_ = false;
    int spacing_ = 4;
    TButtonStyle style_ = bsAutoDetect;

    QRegion region_;
    QSize regionSize_{-1, -1};  // size the region was made for
    bool pressedLook_ = false;
    bool mousePress_ = false;
    bool spacePress_ = false;
    bool hovered_ = false;
    bool clicking_ = false;
    int shortcutId_ = 0;
    QRect captionRect_, glyphRect_;
};

#pragma once
// The text engine of the visual controls: draws an owner's caption with alignment, word
// wrap, extra spacing between explicit lines and a three-dimensional style (lowered,
// raised, outlined), optionally with a drop shadow, an extruded gradient and rotation.
// The owner sets the drawing rectangle before every measurement or drawing.

#include "controls/FcTextEffects.h"
#include <QFlags>
#include <QFont>
#include <QRect>
#include <QString>
#include <QStringList>

class QPainter;

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TfcVAlignment { vaTop, vaVCenter, vaBottom };
enum TfcLabelStyle { fclsDefault, fclsLowered, fclsRaised, fclsOutline };
enum TfcTextOption { toShowAccel = 0x1, toShowEllipsis = 0x2 };
Q_DECLARE_FLAGS(TfcTextOptions, TfcTextOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TfcTextOptions)

// What the text engine needs from the control that owns it.
class TfcTextOwner {
public:
    virtual ~TfcTextOwner() = default;
    virtual QFont fcTextFont() const = 0;
    virtual QColor fcTextColor() const = 0;      // the font colour
    virtual QPalette fcTextPalette() const = 0;  // resolves role colours
    virtual bool fcTextEnabled() const = 0;
    // A setting changed: re-fit the owner's size first when `refit`, then repaint.
    virtual void fcTextChanged(bool refit) = 0;
};

class TfcText {
public:
    explicit TfcText(TfcTextOwner* owner);
    TfcText(const TfcText&) = delete;
    TfcText& operator=(const TfcText&) = delete;
    virtual ~TfcText() = default;

    TAlignment Alignment() const { return alignment_; }
    TfcDisabledColors& DisabledColors() { return disabled_; }
    const TfcDisabledColors& DisabledColors() const { return disabled_; }
    TfcExtrudeEffects& ExtrudeEffects() { return extrude_; }
    const TfcExtrudeEffects& ExtrudeEffects() const { return extrude_; }
    TfcColor HighlightColor() const { return highlight_; }
    int LineSpacing() const { return lineSpacing_; }
    TfcTextOptions Options() const { return options_; }
    TfcColor OutlineColor() const { return outline_; }
    int Rotation() const { return rotation_; }
    TfcColor ShadeColor() const { return shade_; }
    TfcShadowEffects& Shadow() { return shadow_; }
    const TfcShadowEffects& Shadow() const { return shadow_; }
    TfcLabelStyle Style() const { return style_; }
    TfcVAlignment VAlignment() const { return vAlignment_; }
    bool WordWrap() const { return wordWrap_; }

    void SetAlignment(TAlignment v) { assign(alignment_, v, false); }
    void SetHighlightColor(TfcColor v) { assign(highlight_, v, false); }
    void SetLineSpacing(int v) { assign(lineSpacing_, v, true); }
    void SetOptions(TfcTextOptions v) { assign(options_, v, true); }
    void SetOutlineColor(TfcColor v) { assign(outline_, v, false); }
    // Stored modulo 360; a negative angle becomes 360 − (|angle| mod 360). Always
    // notifies the owner, even when the value is unchanged.
    void SetRotation(int degrees);
    void SetShadeColor(TfcColor v) { assign(shade_, v, false); }
    void SetStyle(TfcLabelStyle v) { assign(style_, v, true); }
    void SetVAlignment(TfcVAlignment v) { assign(vAlignment_, v, false); }
    void SetWordWrap(bool v) { assign(wordWrap_, v, false); }

    // The owner's caption; setting it does not notify (the owner re-fits itself).
    const QString& Text() const { return text_; }
    void SetText(const QString& t) { text_ = t; }
    QRect DrawRect() const { return drawRect_; }
    void SetDrawRect(const QRect& r) { drawRect_ = r; }
    // The text rectangle of the last measurement or drawing.
    QRect TextRect() const { return textRect_; }

    // Pieces of the text cut at every CR LF pair; none for an empty text.
    QStringList Pieces() const;
    // Width and height of the text block without effects.
    QSize TextBlockSize() const;
    // The block with shadow, extrusion and outline, as the bounding box of its rotation;
    // clamped to the drawing rectangle when `clamp`.
    QSize EffectsSize(bool clamp) const;
    // The shadow offset that enlarges the block: zero unless enabled, and with an
    // extrusion only the components that point the same way as its step.
    QPoint EffectiveShadowOffset() const;
    // Places the block (its rotated origin) centred in the drawing rectangle.
    QRect CalcTextRect(bool clamp);

    // Draws the text into the drawing rectangle with the alignments and the style.
    void Draw(QPainter& p);

    // Copies all settings and the text from another engine.
    void Assign(const TfcText& other);

protected:
    virtual void DrawStandard(QPainter& p);
    virtual void DrawOutline(QPainter& p);
    virtual void DrawEmbossed(QPainter& p, bool lowered);
    void DrawExtrusion(QPainter& p);
    void DrawShadow(QPainter& p);
    // Draws every piece in one colour starting at `r` (a none colour draws nothing).
    void DrawLines(QPainter& p, QRect r, std::optional<QColor> color);
    void Changed(bool refit);

private:
    template <class T> void assign(T& field, const T& value, bool refit) {
        if (field == value) return;
        field = value;
        Changed(refit);
    }
    QFont DrawingFont() const;
    int TextFlags() const;
    QSize PieceSize(const QFontMetrics& fm, const QString& piece, int width) const;
    QString PreparePiece(const QString& piece) const;
    void DrawCopies(QPainter& p, const QList<QPair<QPoint, std::optional<QColor>>>& copies);
    QColor color(TfcColor c, const QColor& fallback) const;
    std::optional<QColor> opt(TfcColor c) const;

    TfcTextOwner* owner_;
    TAlignment alignment_ = taLeftJustify;
    TfcDisabledColors disabled_;
    TfcExtrudeEffects extrude_;
    TfcColor highlight_ = fcColors::clBtnHighlight;
    int lineSpacing_ = 5;
    TfcTextOptions options_ = toShowAccel;
    TfcColor outline_ = Qt::black;
    int rotation_ = 0;
    TfcColor shade_ = fcColors::clBtnShadow;
    TfcShadowEffects shadow_;
    TfcLabelStyle style_ = fclsDefault;
    TfcVAlignment vAlignment_ = vaTop;
    bool wordWrap_ = false;

    QString text_;
    QRect drawRect_;
    QRect textRect_;
    bool rotatedDraw_ = false;  // centre and right flags dropped for this drawing
};

// The published form that controls expose as their `TextOptions`.
class TfcCaptionText : public TfcText {
public:
    using TfcText::TfcText;
};

#pragma once
// One panel of the status bar: a text drawn with the three-dimensional text options, or
// an automatic content (lock-key state, date and time, hint, user or computer name, the
// caret of a linked rich-edit control, an image, an embedded control).

#include "controls/FcCollection.h"
#include "controls/FcLockKeys.h"
#include "controls/FcText.h"
#include <QDateTime>
#include <QMenu>
#include <QPointer>
#include <QWidget>


class QPainter;
class TfcCustomStatusBar;
class TfcStatusPanels;

enum TfcStatusPanelBevel { pbNone, pbLowered, pbRaised };
enum TfcStatusPanelStyle {
    psTextOnly, psControl, psOverWrite, psCapsLock, psNumLock, psDateTime, psDate, psTime,
    psGlyph, psRichEditStatus, psHint, psUserName, psComputerName, psScrollLock,
};

class TfcStatusPanel : public TfcCollectionItem, public TfcTextOwner {
public:
    explicit TfcStatusPanel(TfcStatusPanels* panels);
    ~TfcStatusPanel() override;

    TfcStatusPanelBevel Bevel() const { return bevel_; }
    void SetBevel(TfcStatusPanelBevel v);
    TfcColor Color() const { return color_; }
    void SetColor(TfcColor v);
    QWidget* Component() const { return component_; }
    // Raises EInvalidOperation for the bar itself; a rich-edit control makes the style
    // psRichEditStatus, another control psControl, none psTextOnly.
    void SetComponent(QWidget* w);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    const QFont& Font() const { return font_; }
    void SetFont(const QFont& f);
    TfcColor FontColor() const { return fontColor_; }
    void SetFontColor(TfcColor c);
    const QString& Hint() const { return hint_; }
    void SetHint(const QString& h);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int v);
    int Indent() const { return indent_; }
    void SetIndent(int v);
    int Margin() const { return margin_; }
    void SetMargin(int v);
    const QString& Name() const { return name_; }
    // Raises EInvalidOperation when another panel of the bar has the name.
    void SetName(const QString& n);
    QMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(QMenu* m) { popupMenu_ = m; }
    TfcStatusPanelStyle Style() const { return style_; }
    void SetStyle(TfcStatusPanelStyle s);
    int Tag() const { return tag_; }
    void SetTag(int v) { tag_ = v; }
    const QString& Text() const { return text_; }
    void SetText(const QString& t);
    TfcCaptionText& TextOptions() { return *textOptions_; }
    const QString& Width() const { return width_; }
    // An integer ("350") or an integer followed by "%" ("50%"); anything else raises
    // EInvalidOperation and keeps the old value.
    void SetWidth(const QString& w);

    // The computed pixel width and whether `Width` is a percentage.
    int PixelWidth() const { return pixelWidth_; }
    void SetPixelWidth(int w) { pixelWidth_ = w; }
    bool IsPercent() const { return width_.endsWith(QLatin1Char('%')); }
    TfcCustomStatusBar* StatusBar() const;
    // Whether the text was drawn enabled the last time.
    bool TextDrawnEnabled() const { return drawEnabled_; }

    // Paints the panel's interior; `r` is the rectangle inside the part's bevel.
    void Paint(QPainter& p, const QRect& r);
    // Places the embedded control inside the panel rectangle `r`.
    void PlaceControl(const QRect& r);
    // The text the date and time styles show now (empty for other styles).
    QString DateTimeText() const;
    // Refreshes a date/time panel's text; answers whether the shown text changed.
    bool RefreshDateTime();
    // The date/time text shown by the last paint.
    const QString& LastDateTime() const { return lastDateTime_; }
    bool IsDateTimeStyle() const { return style_ == psDateTime || style_ == psDate || style_ == psTime; }
    bool IsLockKeyStyle() const;
    TfcLockKey LockKey() const;
    // Repaints the panel's part of the bar.
    void Invalidate();
    // The caret line and column of the linked rich-edit control, from 1.
    int CaretLine() const { return caretLine_; }
    int CaretColumn() const { return caretColumn_; }

    std::function<void(TfcStatusPanel*)> OnClick;
    std::function<void(TfcStatusPanel*)> OnDblClick;
    std::function<void(TfcStatusPanel*, Qt::MouseButton, Qt::KeyboardModifiers, QPoint)> OnMouseDown;
    std::function<void(TfcStatusPanel*, Qt::KeyboardModifiers, QPoint)> OnMouseMove;
    std::function<void(TfcStatusPanel*, Qt::MouseButton, Qt::KeyboardModifiers, QPoint)> OnMouseUp;
    std::function<void(TfcStatusPanel*, QString& text, bool& enabled)> OnDrawText;
    std::function<void(TfcStatusPanel*, const QString& text)> OnTextChanged;

    // TfcTextOwner
    QFont fcTextFont() const override { return font_; }
    QColor fcTextColor() const override;
    QPalette fcTextPalette() const override;
    bool fcTextEnabled() const override { return drawEnabled_; }
    void fcTextChanged(bool refit) override;

private:
    void DrawText(QPainter& p, QString text, QRect r, bool enabled);
    void PaintLockKey(QPainter& p, const QRect& r);
    void PaintGlyph(QPainter& p, const QRect& r);
    void PaintCaret(QPainter& p, const QRect& r);
    void changed(bool allParts = false);
    void caretMoved();
    void detachComponent();
    int TextWidth();

    TfcStatusPanels* panels_;
    std::unique_ptr<TfcCaptionText> textOptions_;
    TfcStatusPanelBevel bevel_ = pbLowered;
    TfcColor color_ = fcColors::clBtnFace;
    QPointer<QWidget> component_;
    QMetaObject::Connection caretConnection_;
    bool enabled_ = true;
    QFont font_;
    TfcColor fontColor_ = fcColors::clWindowText;
    QString hint_;
    int imageIndex_ = 0;
    int indent_ = 0;
    int margin_ = 0;
    QString name_;
    QPointer<QMenu> popupMenu_;
    TfcStatusPanelStyle style_ = psTextOnly;
    int tag_ = 0;
    QString text_;
    QString width_ = QStringLiteral("50");

    int pixelWidth_ = 50;
    QString lastDateTime_;
    QString lastReported_;
    int caretLine_ = 1, caretColumn_ = 1;
    bool drawEnabled_ = true;
    bool notify_ = true;
    bool drawing_ = false;
};

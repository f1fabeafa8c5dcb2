#include "controls/FcStatusPanel.h"

#include "controls/EInvalidOperation.h"
#include "controls/FcCustomStatusBar.h"
#include "controls/FcSystemInfo.h"

#include <QLocale>
#include <QPainter>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOption>
#include <QTextEdit>

namespace {

// Restores a flag when a handler throws or returns.
struct FlagScope {
    bool& flag;
    bool saved;
    FlagScope(bool& f, bool value) : flag(f), saved(f) { flag = value; }
    ~FlagScope() { flag = saved; }
};

QString longTimeFormat(const QLocale& loc) {
    // Qt's long format carries the time zone; the panel shows the clock time only.
    QString f = loc.timeFormat(QLocale::LongFormat);
    f.remove(QRegularExpression(QStringLiteral("\\s*\\bt+\\b")));
    return f.trimmed();
}

}  // namespace

TfcStatusPanel::TfcStatusPanel(TfcStatusPanels* panels) : panels_(panels) {
    FlagScope quiet(notify_, false);
    textOptions_ = std::make_unique<TfcCaptionText>(this);
    textOptions_->SetVAlignment(vaVCenter);
    if (TfcCustomStatusBar* bar = StatusBar()) font_ = bar->font();
    for (int n = 0;; ++n) {
        QString candidate = QStringLiteral("Panel%1").arg(n);
        if (!panels_->FindPanel(candidate)) {
            name_ = candidate;
            break;
        }
    }
}

TfcStatusPanel::~TfcStatusPanel() { QObject::disconnect(caretConnection_); }

TfcCustomStatusBar* TfcStatusPanel::StatusBar() const { return panels_ ? panels_->StatusBar() : nullptr; }

void TfcStatusPanel::changed(bool allParts) {
    if (!notify_ || Index() < 0) return;
    if (TfcCustomStatusBar* bar = StatusBar()) bar->PanelChanged(this, allParts);
    NotifyChange();
}

void TfcStatusPanel::Invalidate() { changed(false); }

void TfcStatusPanel::SetBevel(TfcStatusPanelBevel v) {
    if (bevel_ == v) return;
    bevel_ = v;
    changed();
}

void TfcStatusPanel::SetColor(TfcColor v) {
    if (color_ == v) return;
    color_ = v;
    changed();
}

void TfcStatusPanel::SetEnabled(bool v) {
    if (enabled_ == v) return;
    enabled_ = v;
    if (style_ == psControl && component_) component_->setEnabled(v);
    changed();
}

void TfcStatusPanel::SetFont(const QFont& f) {
    if (font_ == f) return;
    font_ = f;
    if (style_ == psControl && component_) component_->setFont(f);
    changed();
}

void TfcStatusPanel::SetFontColor(TfcColor c) {
    if (fontColor_ == c) return;
    fontColor_ = c;
    changed();
}

void TfcStatusPanel::SetHint(const QString& h) {
    if (hint_ == h) return;
    hint_ = h;
    if (style_ == psControl && component_) component_->setToolTip(h);
}

void TfcStatusPanel::SetImageIndex(int v) {
    if (imageIndex_ == v) return;
    imageIndex_ = v;
    changed();
}

void TfcStatusPanel::SetIndent(int v) {
    if (indent_ == v) return;
    indent_ = v;
    changed();
}

void TfcStatusPanel::SetMargin(int v) {
    if (margin_ == v) return;
    margin_ = v;
    changed(style_ == psControl);
}

void TfcStatusPanel::SetName(const QString& n) {
    if (name_ == n) return;
    for (int i = 0; i < panels_->Count(); ++i)
        if (panels_->Items(i) != this && panels_->Items(i)->Name() == n)
            throw EInvalidOperation(QStringLiteral("A panel named %1 already exists.").arg(n).toStdString());
    name_ = n;
}

void TfcStatusPanel::SetStyle(TfcStatusPanelStyle s) {
    if (style_ == s) return;
    style_ = s;
    if (IsDateTimeStyle()) RefreshDateTime();
    if (TfcCustomStatusBar* bar = StatusBar()) bar->UpdateTimers();
    changed(true);
}

void TfcStatusPanel::SetText(const QString& t) {
    if (text_ == t) return;
    text_ = t;
    if (OnTextChanged) OnTextChanged(this, t);
    if (IsDateTimeStyle() && DateTimeText() == lastDateTime_) return;
    changed(style_ == psControl);
}

void TfcStatusPanel::SetWidth(const QString& w) {
    static const QRegularExpression valid(QStringLiteral("^[0-9]{1,9}%?$"));
    if (!valid.match(w).hasMatch())
        throw EInvalidOperation(
            "Width must be a valid, positive integer, or must be an integer followed by a \"%\" sign.");
    if (width_ == w) return;
    width_ = w;
    pixelWidth_ = IsPercent() ? 0 : w.toInt();
    changed(true);
}

bool TfcStatusPanel::IsLockKeyStyle() const {
    return style_ == psOverWrite || style_ == psCapsLock || style_ == psNumLock || style_ == psScrollLock;
}

TfcLockKey TfcStatusPanel::LockKey() const {
    switch (style_) {
    case psCapsLock: return lkCapsLock;
    case psNumLock: return lkNumLock;
    case psScrollLock: return lkScrollLock;
    default: return lkInsert;
    }
}

QColor TfcStatusPanel::fcTextColor() const { return fontColor_.resolveOr(fcTextPalette(), Qt::black); }

QPalette TfcStatusPanel::fcTextPalette() const {
    TfcCustomStatusBar* bar = StatusBar();
    return bar ? bar->palette() : QPalette();
}

void TfcStatusPanel::fcTextChanged(bool) { changed(); }

QString TfcStatusPanel::DateTimeText() const {
    TfcCustomStatusBar* bar = StatusBar();
    const QDateTime now = bar ? bar->Now() : QDateTime::currentDateTime();
    const QLocale loc;
    const QString date = loc.toString(now.date(), QLocale::ShortFormat);
    const QString time = loc.toString(now.time(), longTimeFormat(loc));
    switch (style_) {
    case psDateTime: return date + QLatin1Char(' ') + time;
    case psDate: return date;
    case psTime: return time;
    default: return {};
    }
}

bool TfcStatusPanel::RefreshDateTime() {
    const QString s = DateTimeText();
    text_ = s;
    const bool differs = s != lastDateTime_;
    lastDateTime_ = s;
    return differs;
}

void TfcStatusPanel::Paint(QPainter& p, const QRect& r) {
    if (IsDateTimeStyle()) RefreshDateTime();
    if (style_ != psControl) p.fillRect(r, color_.resolveOr(fcTextPalette(), fcTextPalette().color(QPalette::Button)));
    switch (style_) {
    case psOverWrite:
    case psCapsLock:
    case psNumLock:
    case psScrollLock: PaintLockKey(p, r); break;
    case psGlyph: PaintGlyph(p, r); break;
    case psRichEditStatus: PaintCaret(p, r); break;
    case psHint: DrawText(p, TfcApplicationHint::Current(), r, enabled_); break;
    case psUserName: {
        const QString user = fcUserName();
        if (!user.isEmpty()) DrawText(p, user, r, enabled_);
        break;
    }
    case psComputerName: DrawText(p, fcComputerName(), r, enabled_); break;
    case psControl:
        if (!text_.isEmpty()) DrawText(p, text_, r, enabled_);
        break;
    default: DrawText(p, text_, r, enabled_); break;
    }
}

void TfcStatusPanel::DrawText(QPainter& p, QString text, QRect r, bool enabled) {
    if (drawing_) return;
    FlagScope inside(drawing_, true);
    r.adjust(2, 0, -2, 0);
    r.setLeft(r.left() + indent_);
    if (OnDrawText) {
        FlagScope quiet(notify_, false);
        OnDrawText(this, text, enabled);
    }
    {
        FlagScope quiet(notify_, false);
        textOptions_->SetText(text);
        drawEnabled_ = enabled;
        textOptions_->SetDrawRect(r);
        p.setBrush(Qt::NoBrush);
        textOptions_->Draw(p);
    }
    // Report a drawn text other than Text once, not on every repaint.
    if (text != text_ && text != lastReported_ && OnTextChanged) OnTextChanged(this, text);
    lastReported_ = text;
}

void TfcStatusPanel::PaintLockKey(QPainter& p, const QRect& r) {
    TfcCustomStatusBar* bar = StatusBar();
    if (!bar) return;
    const TfcStatusBarText& t = bar->StatusBarText();
    QString text = style_ == psCapsLock ? t.CapsLock()
                 : style_ == psNumLock  ? t.NumLock()
                 : style_ == psScrollLock ? t.ScrollLock()
                                          : t.Overwrite();
    text_.clear();
    const bool on = TfcLockKeys::Source().IsOn(LockKey());
    if (bar->OnDrawKeyboardState) bar->OnDrawKeyboardState(bar, this, on, r, text);
    DrawText(p, text, r, on);
}

void TfcStatusPanel::PaintGlyph(QPainter& p, const QRect& r) {
    TfcCustomStatusBar* bar = StatusBar();
    QRect textRect = r;
    if (bar && imageIndex_ >= 0 && imageIndex_ < bar->Images().size()) {
        QPixmap pix = bar->Images()[imageIndex_];
        if (!enabled_) {
            QStyleOption opt;
            opt.initFrom(bar);
            pix = bar->style()->generatedIconPixmap(QIcon::Disabled, pix, &opt);
        }
        const QSize s = pix.deviceIndependentSize().toSize();
        p.drawPixmap(r.left() + margin_, r.top() + (r.height() - s.height()) / 2, pix);
        textRect.setLeft(r.left() + s.width() + 5);
    }
    DrawText(p, text_, textRect, enabled_);
}

void TfcStatusPanel::PaintCaret(QPainter& p, const QRect& r) {
    DrawText(p, QStringLiteral("Ln: %1, Col: %2").arg(caretLine_).arg(caretColumn_), r, enabled_);
}

void TfcStatusPanel::caretMoved() {
    QTextCursor c;
    if (auto* rich = qobject_cast<QTextEdit*>(component_)) c = rich->textCursor();
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(component_)) c = plain->textCursor();
    else return;
    const int line = c.blockNumber() + 1, column = c.positionInBlock() + 1;
    if (line == caretLine_ && column == caretColumn_) return;
    caretLine_ = line;
    caretColumn_ = column;
    changed();
}

void TfcStatusPanel::detachComponent() {
    QObject::disconnect(caretConnection_);
    caretConnection_ = {};
    QWidget* old = component_;
    component_ = nullptr;
    if (old && style_ == psControl) {
        // The control goes back to the bar's window.
        TfcCustomStatusBar* bar = StatusBar();
        QWidget* form = bar ? bar->window() : nullptr;
        old->setParent(form != bar ? form : nullptr);
        old->show();
    }
}

void TfcStatusPanel::SetComponent(QWidget* w) {
    TfcCustomStatusBar* bar = StatusBar();
    if (w && w == bar) throw EInvalidOperation("Control cannot equal parent StatusBar");
    if (w == component_) return;
    detachComponent();
    if (!w) {
        style_ = psTextOnly;
        if (bar) bar->UpdateTimers();
        changed(true);
        return;
    }
    component_ = w;
    if (qobject_cast<QTextEdit*>(w) || qobject_cast<QPlainTextEdit*>(w)) {
        style_ = psRichEditStatus;
        if (auto* rich = qobject_cast<QTextEdit*>(w))
            caretConnection_ = QObject::connect(rich, &QTextEdit::cursorPositionChanged, [this] { caretMoved(); });
        else
            caretConnection_ = QObject::connect(qobject_cast<QPlainTextEdit*>(w),
                                                &QPlainTextEdit::cursorPositionChanged, [this] { caretMoved(); });
        caretLine_ = caretColumn_ = 0;
        caretMoved();
    } else {
        // A control lives in one panel only.
        for (TfcCustomStatusBar* other : TfcCustomStatusBar::Registered())
            for (int i = 0; i < other->Panels().Count(); ++i) {
                TfcStatusPanel* p = other->Panels().Items(i);
                if (p != this && p->component_ == w) {
                    p->component_ = nullptr;
                    p->style_ = psTextOnly;
                    p->changed(true);
                }
            }
        style_ = psControl;
        if (bar) w->setParent(bar);
        w->setEnabled(enabled_);
        w->setFont(font_);
        if (!hint_.isEmpty()) w->setToolTip(hint_);
        w->show();
    }
    if (bar) bar->UpdateTimers();
    changed(true);
}

int TfcStatusPanel::TextWidth() {
    if (text_.isEmpty()) return 0;
    FlagScope quiet(notify_, false);
    textOptions_->SetText(text_);
    return textOptions_->TextBlockSize().width() + 4 + indent_;
}

void TfcStatusPanel::PlaceControl(const QRect& r) {
    if (style_ != psControl || !component_) return;
    QRect cr = r;
    textOptions_->SetDrawRect(r);
    if (textOptions_->Alignment() == taLeftJustify) cr.setLeft(r.left() + TextWidth());
    else if (textOptions_->Alignment() == taRightJustify) cr.setRight(r.right() - TextWidth());
    cr.adjust(margin_, margin_, -margin_, -margin_);
    if (cr.isEmpty()) return;
    if (component_->geometry() != cr) component_->setGeometry(cr);
    component_->update();
}

#include "controls/FcCustomBitBtn.h"

#include "controls/FcButtonKinds.h"
#include "controls/FcDialogKeys.h"

#include <QDialog>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QShortcutEvent>
#include <QStyle>
#include <QStyleOption>
#include <QWhatsThis>

TfcCustomBitBtn::TfcCustomBitBtn(QWidget* parent)
    : QWidget(parent), text_(std::make_unique<TfcCaptionText>(this)) {
    text_->SetAlignment(taCenter);
    text_->SetVAlignment(vaVCenter);
    auto repaint = [this] { update(); };
    offsets_.SetOnChange(repaint);
    shadeColors_.SetOnChange(repaint);
    resize(75, 25);
    updateFocusPolicy();
    if (parent) fcWatchDialogKeys(parent->window());
}

TfcCustomBitBtn::~TfcCustomBitBtn() {
    if (shortcutId_) releaseShortcut(shortcutId_);
}

void TfcCustomBitBtn::SetAllowAllUp(bool v) {
    if (allowAllUp_ == v) return;
    allowAllUp_ = v;
    // The whole group shares the setting.
    if (groupIndex_ && parentWidget())
        for (auto* b : parentWidget()->findChildren<TfcCustomBitBtn*>(Qt::FindDirectChildrenOnly))
            if (b != this && b->groupIndex_ == groupIndex_) b->allowAllUp_ = v;
}

void TfcCustomBitBtn::SetCaption(const QString& c) {
    if (caption_ == c) return;
    caption_ = c;
    text_->SetText(c);
    updateAccelerator();
    update();
}

void TfcCustomBitBtn::SetColor(TfcColor c) {
    if (color_ == c) return;
    color_ = c;
    RecreateRegion();
    update();
}

void TfcCustomBitBtn::SetDefault(bool v) {
    if (default_ == v) return;
    default_ = v;
    update();
}

void TfcCustomBitBtn::SetDown(bool v) {
    if (groupIndex_ == 0 || down_ == v) return;
    if (v) {
        for (auto* b : parentWidget() ? parentWidget()->findChildren<TfcCustomBitBtn*>(Qt::FindDirectChildrenOnly)
                                      : QList<TfcCustomBitBtn*>())
            if (b != this && b->groupIndex_ == groupIndex_ && b->down_) {
                b->down_ = false;
                b->update();
            }
    }
    down_ = v;
    update();
}

void TfcCustomBitBtn::SetGlyph(const QPixmap& g) {
    glyph_ = g;
    update();
}

void TfcCustomBitBtn::SetGroupIndex(int v) {
    if (groupIndex_ == v) return;
    groupIndex_ = v;
    if (v == 0 && down_) {
        down_ = false;
        update();
    }
}

TBitBtnKind TfcCustomBitBtn::Kind() const {
    if (kind_ == bkCustom) return bkCustom;
    if (default_ != fcKindIsDefault(kind_) || cancel_ != fcKindIsCancel(kind_) ||
        modalResult_ != fcKindModalResult(kind_))
        return bkCustom;
    return kind_;
}

void TfcCustomBitBtn::SetKind(TBitBtnKind k) {
    kind_ = k;
    if (k == bkCustom) return;
    SetDefault(fcKindIsDefault(k));
    cancel_ = fcKindIsCancel(k);
    modalResult_ = fcKindModalResult(k);
    SetCaption(fcKindCaption(k));
    glyph_ = fcKindGlyph(k);
    numGlyphs_ = 2;
    update();
}

void TfcCustomBitBtn::SetLayout(TButtonLayout v) {
    if (layout_ == v) return;
    layout_ = v;
    update();
}

void TfcCustomBitBtn::SetMargin(int v) {
    v = std::max(v, -1);
    if (margin_ == v) return;
    margin_ = v;
    update();
}

void TfcCustomBitBtn::SetNumGlyphs(int v) {
    v = std::clamp(v, 1, 4);
    if (numGlyphs_ == v) return;
    numGlyphs_ = v;
    update();
}

void TfcCustomBitBtn::SetOptions(TfcButtonOptions v) {
    if (options_ == v) return;
    options_ = v;
    updateFocusPolicy();
    update();
}

void TfcCustomBitBtn::SetShadeStyle(TfcShadeStyle v) {
    if (shadeStyle_ == v) return;
    shadeStyle_ = v;
    RecreateRegion();
    update();
}

void TfcCustomBitBtn::SetSmoothFont(bool v) {
    if (smoothFont_ == v) return;
    smoothFont_ = v;
    update();
}

void TfcCustomBitBtn::SetSpacing(int v) {
    if (spacing_ == v) return;
    spacing_ = v;
    update();
}

void TfcCustomBitBtn::updateFocusPolicy() { setFocusPolicy(options_ & boFocusable ? Qt::StrongFocus : Qt::NoFocus); }

void TfcCustomBitBtn::updateAccelerator() {
    if (shortcutId_) releaseShortcut(shortcutId_);
    shortcutId_ = 0;
    if (!(text_->Options() & toShowAccel)) return;
    QKeySequence seq = QKeySequence::mnemonic(caption_);
    if (!seq.isEmpty()) shortcutId_ = grabShortcut(seq);
}

QFont TfcCustomBitBtn::fcTextFont() const {
    QFont f = font();
    if ((options_ & boAutoBold) && down_) f.setBold(true);
    if (smoothFont_) f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

void TfcCustomBitBtn::fcTextChanged(bool) {
    updateAccelerator();
    update();
}

bool TfcCustomBitBtn::IsBevelShown() const {
    if (shadeStyle_ != fbsFlat || clicking_) return true;
    return hovered_ || IsPressedLook();
}

QColor TfcCustomBitBtn::KeyColor() const {
    QColor face = color_.resolveOr(palette(), palette().color(QPalette::Button));
    return face.rgb() == qRgb(255, 0, 0) ? QColor(0, 0, 255) : QColor(255, 0, 0);
}

QRegion TfcCustomBitBtn::ButtonRegion(bool) { return QRegion(rect()); }

void TfcCustomBitBtn::RecreateRegion() {
    region_ = width() > 0 && height() > 0 ? ButtonRegion(IsPressedLook()) : QRegion();
    regionSize_ = size();
    if (region_.isEmpty() || region_ == QRegion(rect())) clearMask();
    else setMask(region_);
}

const QRegion& TfcCustomBitBtn::CurrentRegion() const {
    if (regionSize_ != size()) const_cast<TfcCustomBitBtn*>(this)->RecreateRegion();
    return region_;
}

bool TfcCustomBitBtn::IsInsideShape(const QPoint& p) const { return CurrentRegion().contains(p); }

void TfcCustomBitBtn::setPressedLook(bool v) {
    if (pressedLook_ == v) return;
    pressedLook_ = v;
    update();
}

void TfcCustomBitBtn::toggleByUser() {
    if (groupIndex_ == 0) return;
    if (down_) {
        if (!allowAllUp_) return;
        down_ = false;
        update();
    } else {
        SetDown(true);
    }
    if (OnSelChange) OnSelChange();
}

void TfcCustomBitBtn::userClick() {
    QPointer<TfcCustomBitBtn> self(this);
    Click();
    if (self) update();
}

void TfcCustomBitBtn::Click() {
    QPointer<TfcCustomBitBtn> self(this);
    struct Guard {
        QPointer<TfcCustomBitBtn>& b;
        ~Guard() {
            if (b) {
                b->clicking_ = false;
                b->update();
            }
        }
    } guard{self};
    clicking_ = true;
    const TBitBtnKind kind = Kind();
    if (kind == bkHelp) {
        for (QWidget* w = this; w; w = w->parentWidget())
            if (!w->whatsThis().isEmpty()) {
                QWhatsThis::showText(mapToGlobal(rect().center()), w->whatsThis(), this);
                return;
            }
        return;
    }
    if (kind == bkClose) {
        window()->close();
        return;
    }
    if (modalResult_ != 0) {
        if (auto* dialog = qobject_cast<QDialog*>(window())) dialog->done(modalResult_);
        else window()->setProperty("ModalResult", modalResult_);
    }
    emit clicked();
    if (self && OnClick) OnClick();
}

QPixmap TfcCustomBitBtn::glyphSlice() const {
    if (glyph_.isNull()) return {};
    const int w = glyph_.width() / numGlyphs_;
    int index = 0;
    if (!isEnabled()) index = 1;
    else if (IsPressedLook()) index = 2;
    else if (hovered_) index = 3;
    if (index >= numGlyphs_) index = 0;
    QPixmap slice = glyph_.copy(index * w, 0, w, glyph_.height());
    if (!isEnabled() && index == 0) {
        QStyleOption opt;
        opt.initFrom(this);
        slice = style()->generatedIconPixmap(QIcon::Disabled, slice, &opt);
    }
    return slice;
}

void TfcCustomBitBtn::layoutGlyphAndCaption(QPainter& p, bool down) {
    const QRect client = rect();
    text_->SetDrawRect(client.adjusted(2, 2, -2, -2));
    const QSize cs = caption_.isEmpty() ? QSize(0, 0) : text_->CalcTextRect(false).size();
    const QPixmap g = glyphSlice();
    const QSize gs = g.isNull() ? QSize(0, 0) : g.deviceIndependentSize().toSize();
    const int sp = (!g.isNull() && !cs.isEmpty()) ? spacing_ : 0;
    const bool across = layout_ == blGlyphLeft || layout_ == blGlyphRight;
    const QSize block = across ? QSize(gs.width() + sp + cs.width(), std::max(gs.height(), cs.height()))
                               : QSize(std::max(gs.width(), cs.width()), gs.height() + sp + cs.height());
    const int m = margin_ < 0 ? 4 : margin_;
    int cx = client.width() / 2;
    if (text_->Alignment() == taLeftJustify) cx = m + block.width() / 2;
    else if (text_->Alignment() == taRightJustify) cx = client.width() - m - block.width() / 2;
    const QPoint o(cx - block.width() / 2, client.height() / 2 - block.height() / 2);
    QPoint gp, cp;
    switch (layout_) {
    case blGlyphLeft:
        gp = o + QPoint(0, (block.height() - gs.height()) / 2);
        cp = o + QPoint(gs.width() + sp, (block.height() - cs.height()) / 2);
        break;
    case blGlyphRight:
        cp = o + QPoint(0, (block.height() - cs.height()) / 2);
        gp = o + QPoint(cs.width() + sp, (block.height() - gs.height()) / 2);
        break;
    case blGlyphTop:
        gp = o + QPoint((block.width() - gs.width()) / 2, 0);
        cp = o + QPoint((block.width() - cs.width()) / 2, gs.height() + sp);
        break;
    case blGlyphBottom:
        cp = o + QPoint((block.width() - cs.width()) / 2, 0);
        gp = o + QPoint((block.width() - gs.width()) / 2, cs.height() + sp);
        break;
    }
    gp += QPoint(offsets_.GlyphX(), offsets_.GlyphY());
    cp += QPoint(offsets_.TextX(), offsets_.TextY());
    if (down) {
        const QPoint d(offsets_.TextDownX(), offsets_.TextDownY());
        gp += d;
        cp += d;
    }
    glyphRect_ = g.isNull() ? QRect() : QRect(gp, gs);
    captionRect_ = cs.isEmpty() ? QRect() : QRect(cp, cs) & client;
    if (!g.isNull()) p.drawPixmap(gp, g);
    if (!captionRect_.isEmpty()) {
        text_->SetDrawRect(captionRect_);
        text_->Draw(p);
    }
    if ((options_ & boFocusRect) && (options_ & boFocusable) && hasFocus()) {
        QRect f = (captionRect_ | glyphRect_).adjusted(-2, -2, 2, 2);
        QPen pen(shadeColors_.BtnFocus().resolveOr(palette(), Qt::black), 1, Qt::DotLine);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawRect(f.adjusted(0, 0, -1, -1));
    }
}

void TfcCustomBitBtn::paintEvent(QPaintEvent*) {
    CurrentRegion();
    QImage img(size(), QImage::Format_ARGB32_Premultiplied);
    const bool down = IsPressedLook();
    DrawButtonImage(img, down, IsBevelShown());
    {
        QPainter p(&img);
        layoutGlyphAndCaption(p, down);
    }
    QPainter w(this);
    w.setClipRegion(region_);
    w.drawImage(0, 0, img);
    if (smoothFont_ && !captionRect_.isEmpty()) {
        w.setRenderHint(QPainter::TextAntialiasing);
        text_->SetDrawRect(captionRect_);
        text_->Draw(w);
    }
}

void TfcCustomBitBtn::resizeEvent(QResizeEvent* e) {
    RecreateRegion();
    QWidget::resizeEvent(e);
}

void TfcCustomBitBtn::showEvent(QShowEvent* e) {
    fcWatchDialogKeys(window());
    CurrentRegion();
    QWidget::showEvent(e);
}

void TfcCustomBitBtn::changeEvent(QEvent* e) {
    switch (e->type()) {
    case QEvent::EnabledChange:
    case QEvent::FontChange:
    case QEvent::PaletteChange: update(); break;
    case QEvent::ParentChange: fcWatchDialogKeys(window()); break;
    default: break;
    }
    QWidget::changeEvent(e);
}

bool TfcCustomBitBtn::event(QEvent* e) {
    if (e->type() == QEvent::Shortcut && static_cast<QShortcutEvent*>(e)->shortcutId() == shortcutId_) {
        if (isEnabled()) {
            toggleByUser();
            userClick();
        }
        return true;
    }
    return QWidget::event(e);
}

void TfcCustomBitBtn::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || !IsInsideShape(e->position().toPoint())) {
        e->ignore();
        return;
    }
    mousePress_ = true;
    const bool toggleOnUp = groupIndex_ && (options_ & boToggleOnUp);
    if (!toggleOnUp) {
        if (options_ & boFocusable) setFocus(Qt::MouseFocusReason);
        setPressedLook(true);
    }
}

void TfcCustomBitBtn::mouseMoveEvent(QMouseEvent* e) {
    if (!mousePress_) return;
    const bool toggleOnUp = groupIndex_ && (options_ & boToggleOnUp);
    if (!toggleOnUp) setPressedLook(IsInsideShape(e->position().toPoint()));
}

void TfcCustomBitBtn::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || !mousePress_) {
        e->ignore();
        return;
    }
    mousePress_ = false;
    setPressedLook(false);
    if (IsInsideShape(e->position().toPoint())) {
        toggleByUser();
        userClick();
    }
}

void TfcCustomBitBtn::keyPressEvent(QKeyEvent* e) {
    if (e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) {
        QWidget::keyPressEvent(e);
        return;
    }
    switch (e->key()) {
    case Qt::Key_Space:
        if (!e->isAutoRepeat()) {
            spacePress_ = true;
            setPressedLook(true);
        }
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        toggleByUser();
        userClick();
        break;
    default: QWidget::keyPressEvent(e); return;
    }
}

void TfcCustomBitBtn::keyReleaseEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Space && !e->isAutoRepeat() && spacePress_) {
        spacePress_ = false;
        setPressedLook(false);
        toggleByUser();
        userClick();
        return;
    }
    QWidget::keyReleaseEvent(e);
}

void TfcCustomBitBtn::focusInEvent(QFocusEvent* e) {
    update();
    if (OnEnter) OnEnter();
    QWidget::focusInEvent(e);
}

void TfcCustomBitBtn::focusOutEvent(QFocusEvent* e) {
    if (spacePress_) {
        spacePress_ = false;
        setPressedLook(false);
    }
    update();
    if (OnExit) OnExit();
    QWidget::focusOutEvent(e);
}

void TfcCustomBitBtn::enterEvent(QEnterEvent* e) {
    hovered_ = true;
    if (shadeStyle_ == fbsFlat || numGlyphs_ == 4) update();
    if (OnMouseEnter) OnMouseEnter();
    QWidget::enterEvent(e);
}

void TfcCustomBitBtn::leaveEvent(QEvent* e) {
    hovered_ = false;
    if (shadeStyle_ == fbsFlat || numGlyphs_ == 4) update();
    if (OnMouseLeave) OnMouseLeave();
    QWidget::leaveEvent(e);
}

#include "controls/FcCustomLabel.h"

#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>

TfcCustomLabel::TfcCustomLabel(QWidget* parent) : QWidget(parent), text_(std::make_unique<TfcCaptionText>(this)) {
    resize(65, 17);
}

TfcCustomLabel::~TfcCustomLabel() {
    if (shortcutId_) releaseShortcut(shortcutId_);
}

void TfcCustomLabel::SetAutoSize(bool v) {
    if (autoSize_ == v) return;
    autoSize_ = v;
    AdjustBounds();
}

void TfcCustomLabel::SetCaption(const QString& c) {
    if (caption_ == c) return;
    caption_ = c;
    text_->SetText(c);
    AdjustBounds();
    updateAccelerator();
    update();
}

void TfcCustomLabel::SetColor(TfcColor c) {
    parentColor_ = false;
    if (color_ == c) return;
    color_ = c;
    if (!transparent_) update();
}

void TfcCustomLabel::SetParentColor(bool v) {
    if (parentColor_ == v) return;
    parentColor_ = v;
    if (v) {
        color_ = fcColors::clWindow;
        if (!transparent_) update();
    }
}

void TfcCustomLabel::SetFocusControl(QWidget* w) {
    if (focusControl_ == w) return;
    focusControl_ = w;
    updateAccelerator();
}

void TfcCustomLabel::SetTransparent(bool v) {
    if (transparent_ == v) return;
    transparent_ = v;
    update();
}

void TfcCustomLabel::AdjustBounds() {
    if (!autoSize_) return;
    text_->SetDrawRect(QRect(0, 0, width(), height()));
    QSize s = text_->CalcTextRect(false).size();
    if (s == size()) return;
    int x = text_->Alignment() == taRightJustify ? geometry().right() + 1 - s.width() : this->x();
    setGeometry(x, y(), s.width(), s.height());
}

void TfcCustomLabel::fcTextChanged(bool refit) {
    if (refit) AdjustBounds();
    updateAccelerator();
    update();
}

// The accelerator is the Alt + letter shortcut of the caption, live only while there is
// a control to focus and "&" marks accelerators.
void TfcCustomLabel::updateAccelerator() {
    QKeySequence seq;
    if (focusControl_ && (text_->Options() & toShowAccel)) seq = QKeySequence::mnemonic(caption_);
    if (shortcutId_) releaseShortcut(shortcutId_);
    shortcutId_ = seq.isEmpty() ? 0 : grabShortcut(seq);
}

bool TfcCustomLabel::event(QEvent* e) {
    if (e->type() == QEvent::Shortcut && static_cast<QShortcutEvent*>(e)->shortcutId() == shortcutId_) {
        QWidget* target = focusControl_;
        if (target && isEnabled() && (text_->Options() & toShowAccel) && target->isEnabled() &&
            target->isVisible() && target->focusPolicy() != Qt::NoFocus)
            target->setFocus(Qt::ShortcutFocusReason);
        e->accept();
        return true;
    }
    return QWidget::event(e);
}

void TfcCustomLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!transparent_) p.fillRect(rect(), color_.resolveOr(palette(), palette().color(QPalette::Window)));
    text_->SetDrawRect(rect());
    text_->Draw(p);
}

void TfcCustomLabel::changeEvent(QEvent* e) {
    switch (e->type()) {
    case QEvent::FontChange:
        AdjustBounds();
        update();
        break;
    case QEvent::EnabledChange:
    case QEvent::PaletteChange: update(); break;
    default: break;
    }
    QWidget::changeEvent(e);
}

void TfcCustomLabel::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) pressed_ = true;
    QWidget::mousePressEvent(e);
}

void TfcCustomLabel::mouseReleaseEvent(QMouseEvent* e) {
    bool click = pressed_ && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
    if (e->button() == Qt::LeftButton) pressed_ = false;
    if (click && OnClick) OnClick();
    QWidget::mouseReleaseEvent(e);
}

void TfcCustomLabel::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && OnDblClick) OnDblClick();
    QWidget::mouseDoubleClickEvent(e);
}

void TfcCustomLabel::enterEvent(QEnterEvent* e) {
    if (OnMouseEnter) OnMouseEnter();
    QWidget::enterEvent(e);
}

void TfcCustomLabel::leaveEvent(QEvent* e) {
    if (OnMouseLeave) OnMouseLeave();
    QWidget::leaveEvent(e);
}

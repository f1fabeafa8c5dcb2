#include "app/RadioGroup.h"

#include <QEvent>
#include <QFontMetrics>
#include <QKeyEvent>

TRadioGroup::TRadioGroup(QWidget* parent) : QGroupBox(parent) {
    group_.setExclusive(true);
    connect(&group_, &QButtonGroup::idClicked, this, [this](int) { emit clicked(); });
}

void TRadioGroup::SetItems(const QStringList& items) {
    for (QRadioButton* b : buttons_) {
        group_.removeButton(b);
        delete b;
    }
    buttons_.clear();
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], this);
        b->setObjectName(QStringLiteral("RadioItem%1").arg(i));
        group_.addButton(b, i);
        b->installEventFilter(this);
        buttons_.append(b);
        b->show();
    }
    arrange();
}

int TRadioGroup::ItemIndex() const { return group_.checkedId(); }

void TRadioGroup::SetItemIndex(int i) {
    if (i >= 0 && i < buttons_.size()) {
        buttons_[i]->setChecked(true);
        return;
    }
    // An exclusive group keeps one item checked; let go of it for a moment.
    group_.setExclusive(false);
    for (QRadioButton* b : buttons_) b->setChecked(false);
    group_.setExclusive(true);
}

void TRadioGroup::FocusItem() {
    const int i = ItemIndex();
    if (QRadioButton* b = Item(i >= 0 ? i : 0)) b->setFocus(Qt::OtherFocusReason);
}

void TRadioGroup::resizeEvent(QResizeEvent* e) {
    QGroupBox::resizeEvent(e);
    arrange();
}

void TRadioGroup::changeEvent(QEvent* e) {
    QGroupBox::changeEvent(e);
    if (e->type() == QEvent::FontChange) arrange();
}

bool TRadioGroup::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() != QEvent::KeyPress) return QGroupBox::eventFilter(watched, e);
    const int from = buttons_.indexOf(static_cast<QRadioButton*>(watched));
    const int count = int(buttons_.size());
    if (from < 0 || count == 0) return QGroupBox::eventFilter(watched, e);
    const auto* key = static_cast<QKeyEvent*>(e);
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return QGroupBox::eventFilter(watched, e);
    int to = -1;
    switch (key->key()) {
        case Qt::Key_Up:
        case Qt::Key_Left: to = (from + count - 1) % count; break;
        case Qt::Key_Down:
        case Qt::Key_Right: to = (from + 1) % count; break;
        default: return QGroupBox::eventFilter(watched, e);
    }
    QRadioButton* b = buttons_[to];
    b->setFocus(Qt::TabFocusReason);
    b->setChecked(true);
    emit clicked();
    return true;
}

void TRadioGroup::arrange() {
    const int count = int(buttons_.size());
    if (count == 0) return;
    const int textHeight = QFontMetrics(font()).height();
    const int room = height() - textHeight - 5;
    const int rowHeight = room / count;
    const int top = textHeight + 1 + (room % count) / 2;
    for (int i = 0; i < count; ++i) buttons_[i]->setGeometry(8, top + i * rowHeight, width() - 10, rowHeight);
}

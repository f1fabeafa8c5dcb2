#include "controls/FcCustomStatusBar.h"

#include "controls/FcSystemInfo.h"

#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QSizeGrip>
#include <QStyle>
#include <QToolTip>

namespace {

const int kMaxParts = 128;
const int kPartGap = 2;
const int kTopBorder = 2;

QList<TfcCustomStatusBar*>& registry() {
    static QList<TfcCustomStatusBar*> bars;
    return bars;
}

// The key watch and the hint watch talk to every registered bar.
void installWatches() {
    static bool done = false;
    if (done) return;
    done = true;
    TfcLockKeys::InstallKeyboardWatch();
    TfcLockKeys::SetListener([](TfcLockKey key) {
        for (TfcCustomStatusBar* bar : registry()) bar->LockKeyChanged(key);
    });
    TfcApplicationHint::InstallWatch();
    TfcApplicationHint::SetListener([] {
        for (TfcCustomStatusBar* bar : registry())
            for (int i = 0; i < bar->Panels().Count(); ++i)
                if (bar->Panels()[i]->Style() == psHint) bar->Panels()[i]->Invalidate();
    });
}

}  // namespace

TfcCustomStatusBar::TfcCustomStatusBar(QWidget* parent) : QWidget(parent), panels_(this), statusBarText_(this) {
    // A width-only resize repaints just the right end, as decided in resizeEvent().
    setAttribute(Qt::WA_StaticContents);
    resize(parent ? parent->width() : 200, 20);
    registry().append(this);
    installWatches();
    dateTimer_.setInterval(1000);
    connect(&dateTimer_, &QTimer::timeout, this, &TfcCustomStatusBar::DateTimeTick);
    grip_ = new QSizeGrip(this);
    grip_->hide();
    setMouseTracking(true);
    if (parent) {
        watchedParent_ = parent;
        parent->installEventFilter(this);
        dock();
    }
}

TfcCustomStatusBar::~TfcCustomStatusBar() {
    dateTimer_.stop();
    registry().removeAll(this);
}

const QList<TfcCustomStatusBar*>& TfcCustomStatusBar::Registered() { return registry(); }

void TfcCustomStatusBar::SetImages(const QList<QPixmap>& images) {
    images_ = images;
    update();
}

void TfcCustomStatusBar::SetSimplePanel(bool v) {
    if (simplePanel_ == v) return;
    simplePanel_ = v;
    update();
}

void TfcCustomStatusBar::SetSimpleText(const QString& t) {
    if (simpleText_ == t) return;
    simpleText_ = t;
    if (simplePanel_) update(PartRect(0));
}

void TfcCustomStatusBar::SetSizeGrip(bool v) {
    if (sizeGrip_ == v) return;
    sizeGrip_ = v;
    placeSizeGrip();
    update();
}

void TfcCustomStatusBar::SetAlignBottom(bool v) {
    alignBottom_ = v;
    dock();
}

void TfcCustomStatusBar::dock() {
    QWidget* parent = parentWidget();
    if (!alignBottom_ || !parent) return;
    setGeometry(0, parent->height() - height(), parent->width(), height());
}

bool TfcCustomStatusBar::SizeGripShown() const {
    QWidget* parent = parentWidget();
    if (!sizeGrip_ || !parent || !parent->isWindow()) return false;
    if (parent->windowFlags() & Qt::MSWindowsFixedSizeDialogHint) return false;
    return parent->minimumSize() != parent->maximumSize();
}

void TfcCustomStatusBar::placeSizeGrip() {
    const bool shown = SizeGripShown();
    grip_->setVisible(shown);
    if (!shown) return;
    const QSize s = grip_->sizeHint();
    grip_->setGeometry(width() - s.width(), height() - s.height(), s.width(), s.height());
}

int TfcCustomStatusBar::PartCount() const {
    if (simplePanel_ || panels_.Count() == 0) return 1;
    return std::min(panels_.Count(), kMaxParts);
}

QRect TfcCustomStatusBar::PartRect(int i) const {
    const int count = PartCount();
    if (i < 0 || i >= count) return {};
    const QRect whole(0, kTopBorder, width(), height() - kTopBorder);
    if (simplePanel_ || panels_.Count() == 0) return whole;
    int left = 0;
    for (int k = 0; k < i; ++k) left += panels_[k]->PixelWidth();
    if (i == count - 1) return QRect(left, whole.top(), std::max(0, width() - left), whole.height());
    const int w = panels_[i]->PixelWidth() - kPartGap;
    return QRect(left, whole.top(), std::max(0, w), whole.height());
}

QRect TfcCustomStatusBar::PanelRect(int i) const {
    QRect r = PartRect(i).adjusted(1, 1, -1, -1);
    if (SizeGripShown() && i == PartCount() - 1)
        r.setRight(r.right() - std::min(23, style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 1));
    return r;
}

TfcStatusPanel* TfcCustomStatusBar::PanelAt(QPoint p) const {
    if (simplePanel_) return nullptr;
    for (int i = 0; i < std::min(panels_.Count(), kMaxParts); ++i)
        if (PartRect(i).contains(p)) return panels_[i];
    return nullptr;
}

TfcStatusPanel* TfcCustomStatusBar::PanelAt() const { return PanelAt(mapFromGlobal(QCursor::pos())); }

void TfcCustomStatusBar::UpdatePanelWidths() {
    computeWidths();
    placeControls();
    update();
}

void TfcCustomStatusBar::computeWidths() {
    const int barWidth = width();
    if (barWidth > 0) {
        const int count = std::min(panels_.Count(), kMaxParts);
        int used = 0;
        for (int i = 0; i < count; ++i) {
            TfcStatusPanel* p = panels_[i];
            if (p->IsPercent()) continue;
            const int w = std::min(barWidth - used, p->Width().toInt());
            p->SetPixelWidth(w);
            used += w;
        }
        // Every percentage is of the width the fixed panels leave.
        const int free = barWidth - used;
        for (int i = 0; i < count; ++i) {
            TfcStatusPanel* p = panels_[i];
            if (p->IsPercent()) p->SetPixelWidth(free > 0 ? p->Width().chopped(1).toInt() * free / 100 : 0);
        }
    }
}

void TfcCustomStatusBar::PanelChanged(TfcStatusPanel* panel, bool allParts) {
    if (allParts) {
        UpdatePanelWidths();
        return;
    }
    if (simplePanel_ || !panel || panel->Index() >= PartCount()) return;
    update(PartRect(panel->Index()));
}

void TfcCustomStatusBar::LockKeyChanged(TfcLockKey key) {
    for (int i = 0; i < panels_.Count(); ++i)
        if (panels_[i]->IsLockKeyStyle() && panels_[i]->LockKey() == key) panels_[i]->Invalidate();
}

void TfcCustomStatusBar::UpdateTimers() {
    bool need = false;
    for (int i = 0; i < panels_.Count() && !need; ++i) need = panels_[i]->IsDateTimeStyle();
    if (need && !dateTimer_.isActive()) dateTimer_.start();
    else if (!need) dateTimer_.stop();
}

void TfcCustomStatusBar::DateTimeTick() {
    for (int i = 0; i < panels_.Count(); ++i) {
        TfcStatusPanel* p = panels_[i];
        if (p->IsDateTimeStyle() && p->DateTimeText() != p->LastDateTime()) p->Invalidate();
    }
}

void TfcCustomStatusBar::placeControls() {
    if (simplePanel_) return;
    for (int i = 0; i < std::min(panels_.Count(), kMaxParts); ++i) panels_[i]->PlaceControl(PanelRect(i));
}

void TfcCustomStatusBar::paintBevel(QPainter& p, const QRect& r, TfcStatusPanelBevel bevel) {
    if (bevel == pbNone || r.width() < 2 || r.height() < 2) return;
    const QColor dark = palette().color(QPalette::Dark), light = palette().color(QPalette::Light);
    const QColor& topLeft = bevel == pbLowered ? dark : light;
    const QColor& bottomRight = bevel == pbLowered ? light : dark;
    p.setPen(topLeft);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(bottomRight);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
}

void TfcCustomStatusBar::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    p.fillRect(e->rect(), palette().color(QPalette::Button));
    if (simplePanel_ || panels_.Count() == 0) {
        const QRect r = PartRect(0);
        paintBevel(p, r, pbLowered);
        if (simplePanel_ && !simpleText_.isEmpty()) {
            p.setPen(palette().color(QPalette::WindowText));
            p.setFont(font());
            p.drawText(PanelRect(0).adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter, simpleText_);
        }
        return;
    }
    for (int i = 0; i < PartCount(); ++i) {
        const QRect part = PartRect(i);
        if (!e->rect().intersects(part)) continue;
        TfcStatusPanel* panel = panels_[i];
        paintBevel(p, part, panel->Bevel());
        const QRect inner = PanelRect(i);
        if (inner.width() < 1 || inner.height() < 1) continue;
        p.save();
        p.setClipRect(inner);
        p.setFont(font());
        p.setBrush(palette().color(QPalette::Button));
        panel->Paint(p, inner);
        p.restore();
        if (OnDrawPanel) OnDrawPanel(this, panel, inner);
    }
}

void TfcCustomStatusBar::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    if (width() <= 0) return;
    const QSize old = recordedSize_;
    computeWidths();
    placeControls();
    placeSizeGrip();
    bool anyPercent = false;
    for (int i = 0; i < panels_.Count(); ++i) anyPercent = anyPercent || panels_[i]->IsPercent();
    if (!old.isValid() || old.height() != height() || anyPercent || simplePanel_) {
        update();
    } else if (old.width() != width()) {
        // Only the right end changes: the last part's edge and the grip.
        const int from = (width() > old.width() ? old.width() : width()) - 25;
        update(QRect(from, 0, width() - from, height()));
    }
    recordedSize_ = size();
}

void TfcCustomStatusBar::changeEvent(QEvent* e) {
    if (e->type() == QEvent::ParentChange) {
        if (watchedParent_) watchedParent_->removeEventFilter(this);
        watchedParent_ = parentWidget();
        if (watchedParent_) watchedParent_->installEventFilter(this);
        dock();
        placeSizeGrip();
    } else if (e->type() == QEvent::FontChange || e->type() == QEvent::PaletteChange) {
        update();
    }
    QWidget::changeEvent(e);
}

bool TfcCustomStatusBar::eventFilter(QObject* watched, QEvent* e) {
    if (watched == watchedParent_ && e->type() == QEvent::Resize) dock();
    return QWidget::eventFilter(watched, e);
}

void TfcCustomStatusBar::showEvent(QShowEvent* e) {
    placeSizeGrip();
    QWidget::showEvent(e);
}

void TfcCustomStatusBar::mousePressEvent(QMouseEvent* e) {
    TfcStatusPanel* panel = PanelAt(e->position().toPoint());
    if (!panel) return QWidget::mousePressEvent(e);
    if (e->button() == Qt::RightButton && panel->PopupMenu()) panel->PopupMenu()->popup(e->globalPosition().toPoint());
    if (panel->OnMouseDown) panel->OnMouseDown(panel, e->button(), e->modifiers(), e->position().toPoint());
}

void TfcCustomStatusBar::mouseMoveEvent(QMouseEvent* e) {
    TfcStatusPanel* panel = PanelAt(e->position().toPoint());
    if (!panel) return QWidget::mouseMoveEvent(e);
    if (panel->Hint() != toolTip()) {
        QToolTip::hideText();
        setToolTip(panel->Hint());
    }
    if (panel->OnMouseMove) panel->OnMouseMove(panel, e->modifiers(), e->position().toPoint());
}

void TfcCustomStatusBar::mouseReleaseEvent(QMouseEvent* e) {
    TfcStatusPanel* panel = PanelAt(e->position().toPoint());
    if (!panel) return QWidget::mouseReleaseEvent(e);
    if (panel->OnMouseUp) panel->OnMouseUp(panel, e->button(), e->modifiers(), e->position().toPoint());
    if (e->button() == Qt::LeftButton && panel->OnClick) panel->OnClick(panel);
}

void TfcCustomStatusBar::mouseDoubleClickEvent(QMouseEvent* e) {
    TfcStatusPanel* panel = PanelAt(e->position().toPoint());
    if (!panel) return QWidget::mouseDoubleClickEvent(e);
    if (e->button() != Qt::LeftButton) return;
    if (panel->IsLockKeyStyle()) TfcLockKeys::Source().Toggle(panel->LockKey());
    if (panel->OnDblClick) panel->OnDblClick(panel);
}

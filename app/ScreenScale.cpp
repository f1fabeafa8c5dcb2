#include "app/ScreenScale.h"

#include "controls/FcCustomLabel.h"
#include "controls/FcCustomStatusBar.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTableView>
#include <QVariant>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <numeric>

namespace {

const char* const kScaleNum = "kazScaleNum";
const char* const kScaleDen = "kazScaleDen";
const char* const kDesignItemHeight = "kazDesignItemHeight";

ScreenMetricsFn& CurrentSource() {
    static ScreenMetricsFn source;
    return source;
}

ScaleRatio Reduced(int64_t num, int64_t den) {
    const int64_t g = std::gcd(num, den);
    return g > 1 ? ScaleRatio{num / g, den / g} : ScaleRatio{num, den};
}

// Whether a < b.
bool Less(ScaleRatio a, ScaleRatio b) { return a.num * b.den < b.num * a.den; }

QFont ScaledFont(QFont f, ScaleRatio r) {
    if (f.pixelSize() > 0)
        f.setPixelSize(std::max(1, ScaleValue(f.pixelSize(), r)));
    else if (f.pointSizeF() > 0)
        f.setPointSizeF(f.pointSizeF() * r.Value());
    return f;
}

void ScaleStatusBar(TfcCustomStatusBar* bar, ScaleRatio r) {
    for (int i = 0; i < bar->Panels().Count(); ++i) {
        TfcStatusPanel* panel = bar->Panels()[i];
        panel->SetFont(ScaledFont(panel->Font(), r));
        if (!panel->IsPercent()) panel->SetWidth(QString::number(ScaleValue(panel->Width().toInt(), r)));
    }
    bar->UpdatePanelWidths();
}

void ScaleTable(QTableView* view, ScaleRatio r) {
    QHeaderView* h = view->horizontalHeader();
    h->setFont(ScaledFont(h->font(), r));
    for (int c = 0; c < h->count(); ++c) h->resizeSection(c, ScaleValue(h->sectionSize(c), r));
    QHeaderView* v = view->verticalHeader();
    v->setFont(ScaledFont(v->font(), r));
    v->setDefaultSectionSize(ScaleValue(v->defaultSectionSize(), r));
    v->setMinimumWidth(ScaleValue(v->minimumWidth(), r));
}

}  // namespace

// The drop-down list of a combo box is a window of its own, which does not take the
// box's font: it gets the box's font and its scaled item height here.
void ApplyComboListLook(QComboBox* combo) {
    QAbstractItemView* view = combo->view();
    if (!view) return;
    view->setFont(combo->font());
    const int design = combo->property(kDesignItemHeight).toInt();
    if (design > 0) {
        const int h = ScaleValue(design, FormScale(combo->window()));
        view->setStyleSheet(QStringLiteral("QListView::item { height: %1px; }").arg(h));
    }
}

void SetComboItemHeight(QComboBox* combo, int designHeight) {
    combo->setProperty(kDesignItemHeight, designHeight);
    ApplyComboListLook(combo);
}

void FitLabelToText(TfcCustomLabel* label, int maxBottom) {
    if (!label) return;
    if (label->AutoSize()) {
        label->AdjustBounds();
        return;
    }
    TfcCaptionText& text = label->TextOptions();
    text.SetDrawRect(QRect(0, 0, label->width(), label->height()));
    const QSize need = text.EffectsSize(false);
    int w = label->width(), h = label->height();
    const QWidget* parent = label->parentWidget();
    if (!text.WordWrap() && need.width() > w && parent) w = std::max(w, std::min(need.width(), parent->width() - label->x()));
    if (need.height() > h) h = std::max(h, std::min(need.height(), maxBottom - label->y()));
    if (w != label->width() || h != label->height()) label->resize(w, h);
}

ScreenMetricsFn SetScreenMetrics(ScreenMetricsFn fn) {
    ScreenMetricsFn old = std::move(CurrentSource());
    CurrentSource() = std::move(fn);
    return old;
}

ScreenMetrics CurrentScreenMetrics() {
    if (CurrentSource()) return CurrentSource()();
    ScreenMetrics s;
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        s.width = screen->size().width();
        s.height = screen->size().height();
        s.dpi = int(screen->logicalDotsPerInch() + 0.5);
        s.availableWidth = screen->availableGeometry().width();
        s.availableHeight = screen->availableGeometry().height();
    }
    return s;
}

int ScaleFactorFor(int width, int dpi) {
    if (dpi == 96) {
        if (width == 640) return 97;
        if (width == 800) return 122;
        if (width == 1024) return 158;
    } else if (dpi == 120) {
        if (width == 800) return 108;
        if (width == 1024) return 138;
    }
    return 100;
}

int ScaleValue(int value, int m) { return ScaleValue(value, ScaleRatio{m, 100}); }

int ScaleValue(int value, ScaleRatio r) {
    const long long p = static_cast<long long>(value) * r.num;
    const long long q = (std::llabs(p) * 2 + r.den) / (2 * r.den);
    return static_cast<int>(p < 0 ? -q : q);
}

FrameRoom EstimatedFrameRoom(int dpi) {
    // A title bar and thin borders at 96 pixels per inch, in proportion elsewhere.
    const int d = dpi > 0 ? dpi : 96;
    return {ScaleValue(16, ScaleRatio{d, 96}), ScaleValue(40, ScaleRatio{d, 96})};
}

ScaleRatio FormScaleFor(const ScreenMetrics& screen, int designWidth, int designHeight) {
    const int dpi = screen.dpi > 0 ? screen.dpi : kDesignDpi;
    ScaleRatio r = Reduced(int64_t(dpi) * ScaleFactorFor(screen.width, screen.dpi), int64_t(kDesignDpi) * 100);
    if (screen.width <= 0 || screen.height <= 0 || designWidth <= 0 || designHeight <= 0) return r;
    const int availW = screen.availableWidth > 0 ? screen.availableWidth : screen.width;
    const int availH = screen.availableHeight > 0 ? screen.availableHeight : screen.height;
    const FrameRoom room = EstimatedFrameRoom(dpi);
    const ScaleRatio byWidth{std::max(1, availW - room.width), designWidth};
    const ScaleRatio byHeight{std::max(1, availH - room.height), designHeight};
    if (Less(byWidth, r)) r = byWidth;
    if (Less(byHeight, r)) r = byHeight;
    return Reduced(r.num, r.den);
}

ScaleRatio FormScale(const QWidget* form) {
    if (!form) return {};
    const qlonglong num = form->property(kScaleNum).toLongLong();
    const qlonglong den = form->property(kScaleDen).toLongLong();
    return num > 0 && den > 0 ? ScaleRatio{num, den} : ScaleRatio{};
}

QRect ScaleRect(const QRect& design, ScaleRatio r) {
    // By its edges, so that controls that meet or end at the window's edge still do.
    const int left = ScaleValue(design.x(), r), top = ScaleValue(design.y(), r);
    return QRect(left, top, ScaleValue(design.x() + design.width(), r) - left,
                 ScaleValue(design.y() + design.height(), r) - top);
}

void PlaceScaled(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(ScaleRect(QRect(left, top, width, height), FormScale(w->window())));
}

void ScaleFormBy(QWidget* form, int m) { ScaleFormBy(form, ScaleRatio{m, 100}); }

void ScaleFormBy(QWidget* form, ScaleRatio r) {
    if (!form || r.IsOne() || r.num <= 0 || r.den <= 0) return;
    const ScaleRatio before = FormScale(form);
    const ScaleRatio after = Reduced(before.num * r.num, before.den * r.den);
    form->setProperty(kScaleNum, qlonglong(after.num));
    form->setProperty(kScaleDen, qlonglong(after.den));
    const QList<QWidget*> controls = form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    form->setFont(ScaledFont(form->font(), r));
    for (QWidget* w : controls) {
        if (w->isWindow()) continue;
        const QRect g = w->geometry();
        w->setFont(ScaledFont(w->font(), r));
        w->setGeometry(ScaleRect(g, r));
        if (auto* bar = qobject_cast<TfcCustomStatusBar*>(w)) ScaleStatusBar(bar, r);
        if (auto* view = qobject_cast<QTableView*>(w)) ScaleTable(view, r);
        if (auto* combo = qobject_cast<QComboBox*>(w)) ApplyComboListLook(combo);
    }
    const QSize size(ScaleValue(form->width(), r), ScaleValue(form->height(), r));
    if (form->minimumSize() == form->maximumSize())
        form->setFixedSize(size);
    else
        form->resize(size);
    // The fallback font's lines are taller than the design's font at some sizes: a label
    // takes the room its text needs rather than cut it.
    for (QWidget* w : controls)
        if (auto* label = qobject_cast<TfcCustomLabel*>(w)) FitLabelToText(label, size.height());
}

void ScaleFormToScreen(QWidget* form) {
    if (!form) return;
    ScaleFormBy(form, FormScaleFor(CurrentScreenMetrics(), form->width(), form->height()));
}

#include "app/ScreenScale.h"

#include "controls/FcCustomStatusBar.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTableView>
#include <QWidget>
#include <cstdlib>

namespace {

ScreenMetricsFn& CurrentSource() {
    static ScreenMetricsFn source;
    return source;
}

QFont ScaledFont(QFont f, int m) {
    if (f.pixelSize() > 0)
        f.setPixelSize(ScaleValue(f.pixelSize(), m));
    else if (f.pointSizeF() > 0)
        f.setPointSizeF(f.pointSizeF() * m / 100.0);
    return f;
}

void ScaleStatusBar(TfcCustomStatusBar* bar, int m) {
    for (int i = 0; i < bar->Panels().Count(); ++i) {
        TfcStatusPanel* panel = bar->Panels()[i];
        panel->SetFont(ScaledFont(panel->Font(), m));
        if (!panel->IsPercent()) panel->SetWidth(QString::number(ScaleValue(panel->Width().toInt(), m)));
    }
    bar->UpdatePanelWidths();
}

void ScaleTable(QTableView* view, int m) {
    QHeaderView* h = view->horizontalHeader();
    for (int c = 0; c < h->count(); ++c) h->resizeSection(c, ScaleValue(h->sectionSize(c), m));
    view->verticalHeader()->setDefaultSectionSize(ScaleValue(view->verticalHeader()->defaultSectionSize(), m));
    view->verticalHeader()->setMinimumWidth(ScaleValue(view->verticalHeader()->minimumWidth(), m));
}

}  // namespace

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
        s.dpi = int(screen->logicalDotsPerInch() + 0.5);
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

int ScaleValue(int value, int m) {
    long long p = static_cast<long long>(value) * m;
    long long q = (std::llabs(p) + 50) / 100;
    return static_cast<int>(p < 0 ? -q : q);
}

void ScaleFormBy(QWidget* form, int m) {
    if (!form || m == 100) return;
    const QList<QWidget*> controls = form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    form->setFont(ScaledFont(form->font(), m));
    for (QWidget* w : controls) {
        if (w->isWindow()) continue;
        const QRect g = w->geometry();
        w->setFont(ScaledFont(w->font(), m));
        w->setGeometry(ScaleValue(g.x(), m), ScaleValue(g.y(), m), ScaleValue(g.width(), m),
                       ScaleValue(g.height(), m));
        if (auto* bar = qobject_cast<TfcCustomStatusBar*>(w)) ScaleStatusBar(bar, m);
        if (auto* view = qobject_cast<QTableView*>(w)) ScaleTable(view, m);
    }
    const QSize size(ScaleValue(form->width(), m), ScaleValue(form->height(), m));
    if (form->minimumSize() == form->maximumSize())
        form->setFixedSize(size);
    else
        form->resize(size);
}

void ScaleFormToScreen(QWidget* form) {
    const ScreenMetrics s = CurrentScreenMetrics();
    ScaleFormBy(form, ScaleFactorFor(s.width, s.dpi));
}

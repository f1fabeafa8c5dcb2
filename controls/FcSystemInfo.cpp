#include "controls/FcSystemInfo.h"

#include <QApplication>
#include <QStatusTipEvent>
#include <pwd.h>
#include <unistd.h>

QString fcUserName() {
    if (passwd* pw = getpwuid(geteuid()); pw && pw->pw_name) return QString::fromLocal8Bit(pw->pw_name);
    return qEnvironmentVariable("USER");
}

QString fcComputerName() {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0) return {};
    return QString::fromLocal8Bit(name);
}

namespace {

QString& hint() {
    static QString h;
    return h;
}

std::function<void()>& listener() {
    static std::function<void()> fn;
    return fn;
}

class StatusTipWatch : public QObject {
public:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::StatusTip) TfcApplicationHint::Set(static_cast<QStatusTipEvent*>(e)->tip());
        return false;
    }
};

}  // namespace

namespace TfcApplicationHint {

QString Current() { return hint(); }

void Set(const QString& h) {
    if (hint() == h) return;
    hint() = h;
    if (listener()) listener()();
}

void SetListener(std::function<void()> fn) { listener() = std::move(fn); }

void InstallWatch() {
    static StatusTipWatch* watch = nullptr;
    if (watch || !qApp) return;
    watch = new StatusTipWatch;
    watch->setParent(qApp);
    qApp->installEventFilter(watch);
}

}  // namespace TfcApplicationHint

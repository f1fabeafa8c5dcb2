#include "app/ModalRunner.h"

#include <QDialog>

namespace {
ModalRunnerFn& CurrentRunner() {
    static ModalRunnerFn runner;
    return runner;
}
}  // namespace

ModalRunnerFn SetModalRunner(ModalRunnerFn fn) {
    ModalRunnerFn old = std::move(CurrentRunner());
    CurrentRunner() = std::move(fn);
    return old;
}

void ShowModal(QDialog& dialog) {
    if (CurrentRunner()) {
        CurrentRunner()(dialog);
        return;
    }
    dialog.exec();
}

#include "app/SaveFileChooser.h"

#include <QFileDialog>

namespace {
SaveFileChooserFn& CurrentChooser() {
    static SaveFileChooserFn chooser;
    return chooser;
}
}  // namespace

SaveFileChooserFn SetSaveFileChooser(SaveFileChooserFn fn) {
    SaveFileChooserFn old = std::move(CurrentChooser());
    CurrentChooser() = std::move(fn);
    return old;
}

QString ChooseSaveFile(QWidget* parent, const QString& caption, const QString& proposed, const QString& filter) {
    if (CurrentChooser()) return CurrentChooser()(parent, caption, proposed, filter);
    return QFileDialog::getSaveFileName(parent, caption, proposed, filter);
}

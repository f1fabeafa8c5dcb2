#include "app/ErrorBox.h"

#include <QApplication>
#include <QMessageBox>
#include <exception>

namespace {

ErrorBoxFn& CurrentBox() {
    static ErrorBoxFn box;
    return box;
}

void StandardBox(const QString& text) {
    QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationName(), text);
}

}  // namespace

ErrorBoxFn SetErrorBox(ErrorBoxFn fn) {
    ErrorBoxFn old = std::move(CurrentBox());
    CurrentBox() = std::move(fn);
    return old;
}

void ShowErrorBox(const QString& text) {
    if (CurrentBox())
        CurrentBox()(text);
    else
        StandardBox(text);
}

void ReportCurrentException() {
    QString text;
    try {
        throw;
    } catch (const std::exception& e) {
        text = QString::fromUtf8(e.what());
    } catch (...) {
        text = QStringLiteral("Unknown error");
    }
    // A box of its own must not let a second error escape either.
    try {
        ShowErrorBox(text);
    } catch (...) {
    }
}

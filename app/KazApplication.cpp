#include "app/KazApplication.h"

#include "app/ErrorBox.h"

TKazApplication::TKazApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TKazApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ReportCurrentException();
        return false;
    }
}

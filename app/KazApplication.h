#pragma once
// The application object. Any error that reaches the event loop is shown in the error
// box, and the program goes on with the next event.

#include <QApplication>

class TKazApplication : public QApplication {
    Q_OBJECT
public:
    TKazApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

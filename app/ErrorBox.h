#pragma once
// The standard error box that shows any error raised in a handler, and the guard every
// handler runs under. The box can be replaced (tests record the texts instead).

#include <QString>
#include <functional>

using ErrorBoxFn = std::function<void(const QString& text)>;

// Installs `fn` as the error box (empty restores the standard one); answers the previous.
ErrorBoxFn SetErrorBox(ErrorBoxFn fn);
void ShowErrorBox(const QString& text);

// Shows the exception being handled in the error box. Call only from a catch block.
void ReportCurrentException();

// Runs one handler; an error it raises is shown in the error box and goes no further.
// Answers whether the handler ran to its end.
template <class F> bool RunHandler(F&& handler) {
    try {
        handler();
        return true;
    } catch (...) {
        ReportCurrentException();
        return false;
    }
}

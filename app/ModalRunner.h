#pragma once
// How the program shows a window modally. By default the window runs its own modal loop
// and the call returns when it closes; tests may install a runner that only shows it.

#include <functional>

class QDialog;

using ModalRunnerFn = std::function<void(QDialog& dialog)>;

// Installs `fn` (empty restores the modal loop); answers the previous runner.
ModalRunnerFn SetModalRunner(ModalRunnerFn fn);
void ShowModal(QDialog& dialog);

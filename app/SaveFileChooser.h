#pragma once
// The standard save dialog through which the program asks where to write a file. Tests
// install a chooser that answers a path of their own (an empty answer is a cancel).

#include <QString>
#include <functional>

class QWidget;

using SaveFileChooserFn =
    std::function<QString(QWidget* parent, const QString& caption, const QString& proposed, const QString& filter)>;

// Installs `fn` (empty restores the standard dialog); answers the previous chooser.
SaveFileChooserFn SetSaveFileChooser(SaveFileChooserFn fn);
QString ChooseSaveFile(QWidget* parent, const QString& caption, const QString& proposed, const QString& filter);

#pragma once
// The gallery's sheets: each builds a window of samples and saves a picture of it.

#include <QString>

class QWidget;

// Saves a picture of `sheet` as `folder`/`name`; false when it cannot be written.
bool saveSheet(QWidget& sheet, const QString& folder, const QString& name);
// Adds a small grey note under a sample.
void note(QWidget* sheet, int x, int y, const QString& text);

bool labelSheet(const QString& folder);
bool buttonSheet(const QString& folder);
bool kindSheet(const QString& folder);
bool statusSheet(const QString& folder);

#pragma once
// A walk through the program that saves pictures of its windows, for people to look at
// (scripts/screenshots.sh). It starts when KAZTEST_SCREENSHOT_DIR names a folder: the
// main window, a question of a scored test, the final message, a question of the review
// and the results window are saved there as PNG files, and the program then ends.

#include <QString>

// Starts the walk if the environment asks for it; answers whether it did.
bool StartScreenshotTourFromEnvironment();

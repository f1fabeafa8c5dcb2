#pragma once
// Start-up and shut-down of the program's windows.

// Creates the four windows in order: main window, message dialog, test window, results
// window (each runs its creation handler). Tables are found in the working directory.
void CreateForms();
// Destroys them in reverse order (closing the main window's tables).
void DestroyForms();
// The whole program: the application object, its title, the windows, the message loop.
int RunProgram(int argc, char** argv);

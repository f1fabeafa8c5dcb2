#pragma once
// What the program's standard streams are connected to.

namespace platform {

// Whether standard error is a terminal (progress displays are drawn only there).
bool StandardErrorIsTerminal();

}  // namespace platform

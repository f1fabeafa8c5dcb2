#pragma once
// The calling thread's last error value, as the engine's status table numbers it.

namespace platform {

int GetLastError();
void SetLastError(int code);

}  // namespace platform

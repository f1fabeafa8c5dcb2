#include "engine/platform/LastError.h"

namespace platform {

namespace {
thread_local int tLastError = 0;
}

int GetLastError() { return tLastError; }
void SetLastError(int code) { tLastError = code; }

}  // namespace platform

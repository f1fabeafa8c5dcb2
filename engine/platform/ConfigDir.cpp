#include "engine/platform/ConfigDir.h"

#include <mutex>

namespace platform {

namespace {
std::mutex gMutex;
std::string& Dir() {
    static std::string dir = "/etc";
    return dir;
}
}  // namespace

std::string ConfigDirectory() {
    std::lock_guard<std::mutex> g(gMutex);
    return Dir();
}

void SetConfigDirectory(const std::string& dir) {
    std::lock_guard<std::mutex> g(gMutex);
    Dir() = dir;
}

}  // namespace platform

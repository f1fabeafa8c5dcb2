#include "engine/platform/ReplaceFile.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

#include "engine/platform/Paths.h"
#include "engine/platform/SystemCodes.h"

namespace platform {

int ReplaceFile(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) != 0) return TranslateErrno(errno);
    return kOk;
}

std::string TemporarySibling(const std::string& path) {
    static std::atomic<unsigned> serial{0};
    return DirectoryPart(path) + "." + FileNamePart(path) + ".new-" +
           std::to_string(static_cast<long>(::getpid())) + "-" + std::to_string(serial++);
}

}  // namespace platform

#include "engine/platform/FileIdentity.h"

#include <sys/stat.h>

namespace platform {

FileIdentity IdentifyFile(const std::string& resolvedPath) {
    FileIdentity id;
    id.path = resolvedPath;
    struct stat st{};
    if (stat(resolvedPath.c_str(), &st) == 0) {
        id.exists = true;
        id.device = static_cast<uint64_t>(st.st_dev);
        id.inode = static_cast<uint64_t>(st.st_ino);
    }
    return id;
}

}  // namespace platform

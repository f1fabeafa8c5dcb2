#pragma once
// Which file a path means. Two paths mean the same file exactly when they lead to the
// same existing file (its device and inode, whatever the spelling, links included), or,
// for a file that does not exist yet, when their resolved paths are the same bytes. Two
// files whose names differ only in case are two files.

#include <cstdint>
#include <string>

namespace platform {

struct FileIdentity {
    bool exists = false;
    uint64_t device = 0;
    uint64_t inode = 0;
    std::string path;  // the resolved path it was taken from

    bool SameFile(const FileIdentity& other) const {
        if (exists != other.exists) return false;
        return exists ? device == other.device && inode == other.inode : path == other.path;
    }
};

// The identity of the file at `resolvedPath` (a path as found on disk, see ResolveCase).
FileIdentity IdentifyFile(const std::string& resolvedPath);

}  // namespace platform

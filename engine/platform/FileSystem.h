#pragma once
// The file system the whole process uses: every file operation of the engine (open,
// create, rename, remove, what lies at a path, directory listing, and through the open
// SysFile every transfer, size, truncation, sync and lock) goes through the one installed
// here. The POSIX file system is installed by default; tests install one that injects
// faults (FaultFileSystem.h).

#include <memory>
#include <string>
#include <vector>

#include "engine/platform/SysFile.h"

namespace platform {

enum class EntryKind { Missing, File, Directory, Other };

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Opens an existing file. Exclusive use (shared false) fails with 32 while any other
    // handle has the file open, and keeps every later opener out until closed.
    virtual int Open(const std::string& path, bool readWrite, bool shared,
                     std::unique_ptr<SysFile>& out) = 0;
    // Creates the file, or empties an existing one, and closes it again.
    virtual int Create(const std::string& path) = 0;
    // Renames a file; refuses (183) when the target already exists.
    virtual int Rename(const std::string& from, const std::string& to) = 0;
    virtual int Remove(const std::string& path) = 0;
    // What lies at `path`; with followLinks false a symbolic link is itself an entry.
    virtual EntryKind Kind(const std::string& path, bool followLinks) = 0;
    // The names in directory `dir` ("." and ".." included as the system gives them).
    virtual int ListDirectory(const std::string& dir, std::vector<std::string>& names) = 0;
};

// The file system in use.
FileSystem& Files();
// The operating system's own.
FileSystem& PosixFiles();
// Installs `fs` for the whole process (null puts the POSIX one back) and answers the one
// it replaces. The caller keeps `fs` alive while it is installed and installs nothing
// while files are open.
FileSystem* InstallFileSystem(FileSystem* fs);

// Shorthands for the installed file system.
inline int RenameFile(const std::string& from, const std::string& to) {
    return Files().Rename(from, to);
}
inline int RemoveFile(const std::string& path) { return Files().Remove(path); }
// Reads a whole (small) file, shared and read-only, into `out`; 0 or a system code.
int ReadWholeFile(const std::string& path, std::string& out);

}  // namespace platform

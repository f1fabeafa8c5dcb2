#pragma once
// An open operating-system file: positioned transfers with 64-bit offsets, non-waiting
// byte-range locks that conflict between every pair of handles (open-file-description
// locks), and share modes enforced between processes. Every operation returns 0 or a
// system code of SystemCodes.h.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// The byte whose lock carries a handle's share mode (write lock: exclusive, read lock:
// shared). It lies above every 32-bit lock region of the lock protocols.
constexpr uint64_t kShareLockOffset = 0x100000000ull;

class SysFile {
public:
    ~SysFile();
    SysFile(const SysFile&) = delete;
    SysFile& operator=(const SysFile&) = delete;

    // Opens an existing file. Exclusive use (shared false) fails with 32 while any other
    // handle has the file open, and keeps every later opener out until closed.
    static int Open(const std::string& path, bool readWrite, bool shared,
                    std::unique_ptr<SysFile>& out);
    // Creates the file, or empties an existing one, and closes it again.
    static int Create(const std::string& path);

    int ReadAt(int64_t offset, void* buffer, size_t length, size_t& transferred);
    int WriteAt(int64_t offset, const void* buffer, size_t length);
    int Size(int64_t& size);
    int Truncate(int64_t size);
    int Sync();
    // Locks [offset, offset + length) without waiting; 33 when another handle holds any
    // part of it. A zero length locks nothing and succeeds.
    int LockRange(uint64_t offset, uint64_t length);
    int UnlockRange(uint64_t offset, uint64_t length);

    bool Writable() const { return writable_; }

private:
    SysFile(int fd, bool writable) : fd_(fd), writable_(writable) {}
    int fd_;
    bool writable_;
};

// Renames a file; refuses (183) when the target already exists.
int RenameFile(const std::string& from, const std::string& to);
// Removes a file; 0 or a system code.
int RemoveFile(const std::string& path);

}  // namespace platform

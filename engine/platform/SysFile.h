#pragma once
// An open file as the file system layer hands it out: positioned transfers with 64-bit
// offsets, non-waiting byte-range locks that conflict between every pair of handles, and
// a flag telling whether it was opened for writing. Every operation returns 0 or a
// system code of SystemCodes.h. Files come from the installed FileSystem.

#include <cstddef>
#include <cstdint>

namespace platform {

// The byte whose lock carries a handle's share mode (write lock: exclusive, read lock:
// shared). It lies above every 32-bit lock region of the lock protocols.
constexpr uint64_t kShareLockOffset = 0x100000000ull;

class SysFile {
public:
    virtual ~SysFile() = default;

    // Reads up to `length` bytes; `transferred` tells how many arrived (fewer only at
    // the end of the file).
    virtual int ReadAt(int64_t offset, void* buffer, size_t length, size_t& transferred) = 0;
    // Writes all `length` bytes or fails; after a failure any part of them may have
    // reached the file.
    virtual int WriteAt(int64_t offset, const void* buffer, size_t length) = 0;
    virtual int Size(int64_t& size) = 0;
    virtual int Truncate(int64_t size) = 0;
    // Makes what was written durable.
    virtual int Sync() = 0;
    // Locks [offset, offset + length) without waiting; 33 when another handle holds any
    // part of it. A zero length locks nothing and succeeds.
    virtual int LockRange(uint64_t offset, uint64_t length) = 0;
    virtual int UnlockRange(uint64_t offset, uint64_t length) = 0;
    virtual bool Writable() const = 0;
};

}  // namespace platform

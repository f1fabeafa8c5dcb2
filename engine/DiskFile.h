#pragma once
// GSO_DiskFile: the base of every file the engine opens (tables, memo files, index
// files). It opens a file by path with a read-write and a share flag, reads and writes at
// explicit offsets, takes one byte-range lock region at a time, and reports every
// operating-system failure through the error handler. Objects that open the same file in
// one process, by whatever spelling of its path, share one handle and one critical
// section.

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "engine/platform/FileIdentity.h"

namespace platform {
class SysFile;
}

// Files are limited to 2 GiB: no transfer may reach past this offset.
constexpr int64_t gsMaxFileOffset = 0x7FFFFFFF;
// The longest path (identity) a disk file takes.
constexpr size_t gsMaxPathLength = 259;

class GSO_DiskFile {
public:
    GSO_DiskFile(const std::string& path, bool readWrite, bool shared);
    virtual ~GSO_DiskFile();
    GSO_DiskFile(const GSO_DiskFile&) = delete;
    GSO_DiskFile& operator=(const GSO_DiskFile&) = delete;

    // The operations, in their slot order.
    virtual bool Close();                                                              // 0
    [[noreturn]] virtual void ReportError(int code, int subcode, const std::string& detail);  // 1
    virtual int64_t FileSize();                                                        // 2
    virtual void Flush();                                                              // 3
    virtual bool LockWholeFile();                                                      // 4
    virtual bool LockRegion(uint32_t offset, uint32_t length);                         // 5
    virtual int32_t ReadAt(int64_t offset, void* buffer, int32_t length);              // 6
    virtual bool Rename(const std::string& newPath);                                   // 7
    virtual void Open();                                                               // 8
    virtual void CreateNew();                                                          // 9
    virtual void StatusReport(int stat1, int stat2, int stat3);                        // 10
    virtual void TruncateAt(int64_t offset);                                           // 11
    virtual bool UnlockRegion();                                                       // 12
    virtual void WriteAt(int64_t offset, const void* buffer, int32_t length);          // 13

    // Reads exactly `length` bytes at `offset`. When the file ends first (ReadAt leaves
    // 221 in the last error) the short read is reported as error 221 with `subcode` and
    // the path; other failures are reported by ReadAt itself.
    void ReadExactly(int64_t offset, void* buffer, int32_t length, int subcode);

    // The full path in upper case, as messages show it and names are compared by.
    const std::string& Path() const { return path_; }
    // Which file this object has open (or, closed, last had or will create).
    const platform::FileIdentity& Identity() const { return identity_; }
    // The path the operating system gets (as found on disk once opened).
    const std::string& RealPath() const { return realPath_; }
    int LastError() const { return lastError_; }
    bool Existed() const { return existed_; }
    int64_t Position() const { return position_; }
    bool IsShared() const { return shared_; }
    bool IsReadWrite() const { return readWrite_; }
    int32_t BytesMoved() const { return bytesMoved_; }
    int LockCount() const { return lockCount_; }
    uint32_t LockOffset() const { return lockOffset_; }
    uint32_t LockLength() const { return lockLength_; }
    bool IsWritten() const { return written_; }
    bool IsClosed() const { return closed_; }
    // Whether the handle this object uses was opened for writing.
    bool HandleWritable() const;

    // Exclusive handles read through a 64 KiB buffer, which suits sequential passes;
    // files read in scattered pages (index files) turn it off for their handle.
    void SetBufferedReads(bool on);

    // Releases the operating-system lock of a positive lock count, keeping the count;
    // used when the program ends.
    void ReleaseSystemLock();

protected:
    // Reports a non-zero last error with the operation's subcode and the path as detail.
    void IOCheck(int subcode);
    void SetLastErrorCode(int code) { lastError_ = code; }
    // A lock of the operating system on the shared handle, outside the one-region
    // bookkeeping of LockRegion (0 or a system code; always 0 when not shared). Used for
    // the append lock while the object holds a record lock.
    int SystemLockRange(uint32_t offset, uint32_t length);
    int SystemUnlockRange(uint32_t offset, uint32_t length);
    // The critical section of this path's handle (held across a read-modify-write).
    std::recursive_mutex& CriticalSection();
    // Refuses (error 223) a transfer that would reach past the 2 GiB limit.
    bool OffsetAllowed(int64_t offset, int64_t length);
    // Finds the real path before an open or a creation. False (with the last error set)
    // when a name without its exact spelling on disk fits two or more entries.
    bool ResolveRealPath();

private:
    struct Share;  // the handle and critical section shared by the objects of one path

    std::string path_;
    std::string realPath_;
    platform::FileIdentity identity_;
    std::string errorDetail_;  // the detail of the next report instead of the path
    std::shared_ptr<Share> share_;
    int lastError_ = 0;
    bool existed_ = false;
    int64_t position_ = 0;
    bool shared_;
    bool readWrite_;
    int32_t bytesMoved_ = 0;
    int lockCount_ = 0;
    uint32_t lockOffset_ = 0;
    uint32_t lockLength_ = 0;
    bool written_ = false;
    bool closed_ = true;
};

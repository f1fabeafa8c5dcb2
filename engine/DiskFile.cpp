#include "engine/DiskFile.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/ErrorCodes.h"
#include "engine/ErrorHandler.h"
#include "engine/FileColl.h"
#include "engine/platform/LastError.h"
#include "engine/platform/Paths.h"
#include "engine/platform/FileSystem.h"
#include "engine/platform/SystemCodes.h"

// The handle of one path and what goes with it. A handle opened for exclusive use also
// keeps a read buffer: no other program can open the file meanwhile and every write in
// this process goes through this handle, so the buffer is updated by the writes and
// stays true to the file. Shared handles read the file itself every time.
struct GSO_DiskFile::Share {
    std::unique_ptr<platform::SysFile> file;
    std::recursive_mutex cs;
    bool buffered = false;
    std::vector<uint8_t> buffer;
    int64_t bufferStart = -1;  // file offset of buffer[0]; -1 when empty
    int64_t bufferValid = 0;   // bytes of the buffer that hold file data

    static constexpr size_t kBufferSize = 65536;
    static constexpr int32_t kLargestBufferedRead = 16384;
    // A refill that does not go on from the bytes held (a jump, as a seek makes) reads
    // only this much: reading the whole buffer for one record costs more than it saves.
    // A pass that goes on reading reaches the end of it and refills in full.
    static constexpr size_t kJumpRead = 512;

    // Serves a read from the buffer, refilling it at `offset` when needed. Returns the
    // system code; `got` is the number of bytes copied.
    int BufferedRead(int64_t offset, void* out, size_t length, size_t& got) {
        got = 0;
        if (bufferStart < 0 || offset < bufferStart ||
            offset + static_cast<int64_t>(length) > bufferStart + bufferValid) {
            buffer.resize(kBufferSize);
            const bool goesOn = bufferStart < 0 || offset == bufferStart + bufferValid;
            const size_t want = goesOn ? kBufferSize : std::max(kJumpRead, length);
            size_t filled = 0;
            bufferStart = -1;
            int rc = file->ReadAt(offset, buffer.data(), want, filled);
            if (rc != 0) return rc;
            bufferStart = offset;
            bufferValid = static_cast<int64_t>(filled);
        }
        int64_t available = bufferStart + bufferValid - offset;
        got = static_cast<size_t>(std::max<int64_t>(0, std::min<int64_t>(available, length)));
        if (got) std::memcpy(out, buffer.data() + (offset - bufferStart), got);
        return 0;
    }

    // Keeps the buffer true after a successful write of [offset, offset + length).
    void Written(int64_t offset, const void* data, size_t length) {
        if (bufferStart < 0) return;
        const int64_t end = offset + static_cast<int64_t>(length);
        const int64_t validEnd = bufferStart + bufferValid;
        if (end <= bufferStart || offset >= bufferStart + static_cast<int64_t>(buffer.size())) return;
        if (offset >= bufferStart && end <= validEnd) {
            std::memcpy(buffer.data() + (offset - bufferStart), data, length);
        } else {
            bufferStart = -1;  // the write reaches past what the buffer holds
        }
    }

    void Forget() { bufferStart = -1; }
};

namespace {
constexpr uint32_t kWholeFileLength = 0x7FFFFFFFu;
constexpr int kFileNotOpen = 103;
}  // namespace

GSO_DiskFile::GSO_DiskFile(const std::string& path, bool readWrite, bool shared)
    : shared_(shared), readWrite_(readWrite) {
    realPath_ = platform::ExpandPath(path);
    path_ = platform::IdentityKey(realPath_);
    existed_ = platform::FileExists(realPath_);
}

GSO_DiskFile::~GSO_DiskFile() {
    try {
        GSO_DiskFile::Close();
    } catch (...) {
        // A destructor cannot report; Close itself raises nothing.
    }
}

void GSO_DiskFile::SetBufferedReads(bool on) {
    if (!share_) return;
    std::lock_guard<std::recursive_mutex> g(share_->cs);
    share_->buffered = on && !shared_;
    share_->Forget();
}

bool GSO_DiskFile::HandleWritable() const { return share_ && share_->file->Writable(); }

bool GSO_DiskFile::Close() {
    if (closed_) return true;
    GSobjFileColl& coll = GSobjFileColl::Instance();
    std::shared_ptr<Share> keep = share_;
    std::lock_guard<std::recursive_mutex> collGuard(coll.Guard());
    {
        std::lock_guard<std::recursive_mutex> g(keep->cs);
        if (lockCount_ > 0) {
            lockCount_ = 1;
            UnlockRegion();
            lockCount_ = 0;
        }
        lastError_ = 0;
        coll.Remove(this);
        if (coll.FindSameFile(identity_, this) && written_) {
            int rc = keep->file->Sync();
            (void)rc;  // the other objects still hold the handle and will see any error
            written_ = false;
        }
        share_.reset();
        closed_ = true;
        position_ = 0;
    }
    return true;
}

void GSO_DiskFile::ReportError(int code, int subcode, const std::string& detail) {
    ReportEngineError(code, subcode, detail);
}

void GSO_DiskFile::IOCheck(int subcode) {
    if (lastError_ == 0) return;
    platform::SetLastError(lastError_);
    std::string detail = errorDetail_.empty() ? realPath_ : errorDetail_;
    errorDetail_.clear();
    ReportError(lastError_, subcode, detail);
}

bool GSO_DiskFile::ResolveRealPath() {
    platform::PathLookup found = platform::LookUpPath(realPath_);
    if (found.Ambiguous()) {
        lastError_ = gsErr::kAmbiguousName;
        errorDetail_ = platform::AmbiguityText(realPath_, found);
        return false;
    }
    realPath_ = found.path;
    identity_ = platform::IdentifyFile(realPath_);
    return true;
}

bool GSO_DiskFile::OffsetAllowed(int64_t offset, int64_t length) {
    if (offset < 0 || length < 0 || offset > gsMaxFileOffset - length) {
        lastError_ = platform::kFileTooLarge;
        return false;
    }
    return true;
}

int64_t GSO_DiskFile::FileSize() {
    lastError_ = share_ ? 0 : kFileNotOpen;
    int64_t size = 0;
    if (share_) {
        std::lock_guard<std::recursive_mutex> g(share_->cs);
        lastError_ = share_->file->Size(size);
    }
    IOCheck(gsSub::kSize);
    return size;
}

void GSO_DiskFile::Flush() {
    if (closed_) return;
    {
        std::lock_guard<std::recursive_mutex> g(share_->cs);
        lastError_ = share_->file->Sync();
    }
    written_ = false;
    IOCheck(gsSub::kFlush);
}

bool GSO_DiskFile::LockWholeFile() {
    if (!shared_) return true;
    return LockRegion(0, kWholeFileLength);
}

bool GSO_DiskFile::LockRegion(uint32_t offset, uint32_t length) {
    if (!shared_) {
        lastError_ = 0;
        ++lockCount_;
        lockOffset_ = offset;
        lockLength_ = length;
        return true;
    }
    if (lockCount_ > 0) {
        if (offset == lockOffset_ && length == lockLength_) {
            lastError_ = 0;
            ++lockCount_;
            return true;
        }
        lastError_ = platform::kLockViolation;
        return false;
    }
    if (!share_) {
        lastError_ = kFileNotOpen;
        return false;
    }
    lockOffset_ = offset;
    lockLength_ = length;
    int rc;
    {
        std::lock_guard<std::recursive_mutex> g(share_->cs);
        rc = share_->file->LockRange(offset, length);
    }
    lastError_ = rc;
    if (rc != 0) return false;
    ++lockCount_;
    return true;
}

bool GSO_DiskFile::UnlockRegion() {
    lastError_ = 0;
    if (lockCount_ > 0) {
        if (shared_ && lockCount_ == 1 && share_) {
            std::lock_guard<std::recursive_mutex> g(share_->cs);
            lastError_ = share_->file->UnlockRange(lockOffset_, lockLength_);
        }
        if (lastError_ == 0) --lockCount_;
    }
    return lastError_ == 0;
}

void GSO_DiskFile::ReleaseSystemLock() {
    if (lockCount_ > 0 && shared_ && share_) {
        std::lock_guard<std::recursive_mutex> g(share_->cs);
        share_->file->UnlockRange(lockOffset_, lockLength_);
    }
}

int GSO_DiskFile::SystemLockRange(uint32_t offset, uint32_t length) {
    if (!shared_) return 0;
    if (!share_) return kFileNotOpen;
    std::lock_guard<std::recursive_mutex> g(share_->cs);
    return share_->file->LockRange(offset, length);
}

int GSO_DiskFile::SystemUnlockRange(uint32_t offset, uint32_t length) {
    if (!shared_ || !share_) return 0;
    std::lock_guard<std::recursive_mutex> g(share_->cs);
    return share_->file->UnlockRange(offset, length);
}

std::recursive_mutex& GSO_DiskFile::CriticalSection() {
    static std::recursive_mutex closedFile;
    return share_ ? share_->cs : closedFile;
}

int32_t GSO_DiskFile::ReadAt(int64_t offset, void* buffer, int32_t length) {
    lastError_ = 0;
    size_t got = 0;
    if (!share_) {
        lastError_ = kFileNotOpen;
    } else if (OffsetAllowed(offset, length)) {
        std::lock_guard<std::recursive_mutex> g(share_->cs);
        if (share_->buffered && length <= Share::kLargestBufferedRead) {
            lastError_ = share_->BufferedRead(offset, buffer, static_cast<size_t>(length), got);
        } else {
            lastError_ = share_->file->ReadAt(offset, buffer, static_cast<size_t>(length), got);
        }
        if (lastError_ == 0) position_ = offset + static_cast<int64_t>(got);
    }
    bytesMoved_ = static_cast<int32_t>(got);
    IOCheck(gsSub::kRead);
    if (bytesMoved_ < length) lastError_ = platform::kShortRead;
    return bytesMoved_;
}

void GSO_DiskFile::ReadExactly(int64_t offset, void* buffer, int32_t length, int subcode) {
    const int32_t got = ReadAt(offset, buffer, length);
    if (got < length && lastError_ == platform::kShortRead) {
        platform::SetLastError(lastError_);
        ReportError(lastError_, subcode, realPath_);
    }
}

void GSO_DiskFile::WriteAt(int64_t offset, const void* buffer, int32_t length) {
    lastError_ = 0;
    bytesMoved_ = 0;
    if (!share_) {
        lastError_ = kFileNotOpen;
    } else if (OffsetAllowed(offset, length)) {
        std::lock_guard<std::recursive_mutex> g(share_->cs);
        lastError_ = share_->file->WriteAt(offset, buffer, static_cast<size_t>(length));
        if (lastError_ != 0) {
            share_->Forget();  // part of it may have reached the file
        } else {
            share_->Written(offset, buffer, static_cast<size_t>(length));
            position_ = offset + length;
            bytesMoved_ = length;
        }
    }
    if (lastError_ == 0) written_ = true;
    IOCheck(gsSub::kWrite);
}

void GSO_DiskFile::TruncateAt(int64_t offset) {
    lastError_ = 0;
    if (!share_) {
        lastError_ = kFileNotOpen;
    } else {
        std::lock_guard<std::recursive_mutex> g(share_->cs);
        bool wholeLocked = lockCount_ > 0 && lockOffset_ == 0 && lockLength_ == kWholeFileLength;
        if (!share_->file->Writable() || (shared_ && !wholeLocked)) {
            lastError_ = platform::kAccessDenied;
        } else if (OffsetAllowed(offset, 0)) {
            share_->Forget();
            lastError_ = share_->file->Truncate(offset);
            if (lastError_ == 0) position_ = offset;
        }
    }
    IOCheck(gsSub::kTruncate);
}

void GSO_DiskFile::Open() {
    if (!closed_) Close();
    lastError_ = 0;
    {
        GSobjFileColl& coll = GSobjFileColl::Instance();
        std::lock_guard<std::recursive_mutex> g(coll.Guard());
        GSO_DiskFile* other = nullptr;
        if (path_.size() > gsMaxPathLength) {
            lastError_ = platform::kFileNameTooLong;
        } else if (!ResolveRealPath()) {
            // two files fit the name
        } else if ((other = coll.FindSameFile(identity_, this)) != nullptr) {
            shared_ = other->shared_;
            share_ = other->share_;
        } else {
            std::unique_ptr<platform::SysFile> file;
            lastError_ = platform::Files().Open(realPath_, readWrite_, shared_, file);
            if (lastError_ == 0) {
                share_ = std::make_shared<Share>();
                share_->file = std::move(file);
                share_->buffered = !shared_;
            }
        }
        if (lastError_ == 0) {
            position_ = 0;
            coll.Add(this);
            closed_ = false;
        }
    }
    IOCheck(gsSub::kOpen);
}

void GSO_DiskFile::CreateNew() {
    lastError_ = 0;
    {
        GSobjFileColl& coll = GSobjFileColl::Instance();
        std::lock_guard<std::recursive_mutex> g(coll.Guard());
        if (path_.size() > gsMaxPathLength) {
            lastError_ = platform::kFileNameTooLong;
        } else if (!ResolveRealPath()) {
            // two files fit the name
        } else if (coll.FindSameFile(identity_, this)) {
            lastError_ = platform::kInvalidAccess;
        } else {
            if (!closed_) Close();
            lastError_ = platform::Files().Create(realPath_);
        }
    }
    IOCheck(gsSub::kCreate);
    Open();
}

void GSO_DiskFile::StatusReport(int, int, int) {}

bool GSO_DiskFile::Rename(const std::string& newPath) {
    lastError_ = 0;
    Close();
    std::string expanded = platform::ExpandPath(newPath);
    std::string dir = platform::DirectoryPart(expanded);
    std::string target =
        (dir.empty() ? std::string() : platform::ResolveCase(dir)) + platform::FileNamePart(expanded);
    int rc = platform::RenameFile(realPath_, target);
    if (rc == 0) {
        realPath_ = target;
        path_ = platform::IdentityKey(expanded);
    }
    Open();
    lastError_ = rc;
    IOCheck(gsSub::kRename);
    return true;
}

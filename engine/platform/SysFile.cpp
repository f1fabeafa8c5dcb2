#include "engine/platform/SysFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "engine/platform/Paths.h"
#include "engine/platform/SystemCodes.h"

namespace platform {

namespace {

bool ParentMissing(const std::string& path) {
    std::string dir = DirectoryPart(path);
    if (dir.empty()) return false;
    struct stat st{};
    return stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode);
}

int PathError(int err, const std::string& path) {
    return TranslateErrno(err, err == ENOENT && ParentMissing(path));
}

int SetLock(int fd, short type, uint64_t offset, uint64_t length) {
    struct flock fl{};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = static_cast<off_t>(offset);
    fl.l_len = static_cast<off_t>(length);
    fl.l_pid = 0;
    while (fcntl(fd, F_OFD_SETLK, &fl) != 0) {
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EACCES) return kLockViolation;
        return TranslateErrno(errno);
    }
    return kOk;
}

int OpenFd(const std::string& path, int flags, int& fd) {
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    return fd < 0 ? PathError(errno, path) : kOk;
}

}  // namespace

SysFile::~SysFile() {
    if (fd_ >= 0) ::close(fd_);
}

int SysFile::Open(const std::string& path, bool readWrite, bool shared,
                  std::unique_ptr<SysFile>& out) {
    out.reset();
    int fd = -1;
    bool writable = readWrite;
    int rc;
    if (!readWrite && !shared) {
        // Keeping others out takes a write lock, which needs a descriptor open for
        // writing; a file we may only read falls back to a read lock.
        rc = OpenFd(path, O_RDWR, fd);
        if (rc != kOk) rc = OpenFd(path, O_RDONLY, fd);
    } else {
        rc = OpenFd(path, readWrite ? O_RDWR : O_RDONLY, fd);
    }
    if (rc != kOk) return rc;
    struct stat st{};
    if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        return kAccessDenied;
    }
    int accmode = fcntl(fd, F_GETFL) & O_ACCMODE;
    short shareType = (shared || accmode == O_RDONLY) ? F_RDLCK : F_WRLCK;
    rc = SetLock(fd, shareType, kShareLockOffset, 1);
    if (rc != kOk) {
        ::close(fd);
        return rc == kLockViolation ? kSharingViolation : rc;
    }
    out.reset(new SysFile(fd, writable));
    return kOk;
}

int SysFile::Create(const std::string& path) {
    int fd = -1;
    int rc = OpenFd(path, O_RDWR | O_CREAT, fd);
    if (rc != kOk) return rc;
    // Emptying a file that another handle has open would pull it from under them.
    rc = SetLock(fd, F_WRLCK, kShareLockOffset, 1);
    if (rc == kOk && ftruncate(fd, 0) != 0) rc = TranslateErrno(errno);
    ::close(fd);
    return rc == kLockViolation ? kSharingViolation : rc;
}

int SysFile::ReadAt(int64_t offset, void* buffer, size_t length, size_t& transferred) {
    transferred = 0;
    auto* p = static_cast<unsigned char*>(buffer);
    while (transferred < length) {
        ssize_t n = ::pread(fd_, p + transferred, length - transferred,
                            static_cast<off_t>(offset + static_cast<int64_t>(transferred)));
        if (n < 0) {
            if (errno == EINTR) continue;
            return TranslateErrno(errno);
        }
        if (n == 0) break;
        transferred += static_cast<size_t>(n);
    }
    return kOk;
}

int SysFile::WriteAt(int64_t offset, const void* buffer, size_t length) {
    if (!writable_) return kAccessDenied;
    const auto* p = static_cast<const unsigned char*>(buffer);
    size_t done = 0;
    while (done < length) {
        ssize_t n = ::pwrite(fd_, p + done, length - done,
                             static_cast<off_t>(offset + static_cast<int64_t>(done)));
        if (n < 0) {
            if (errno == EINTR) continue;
            return TranslateErrno(errno);
        }
        if (n == 0) return kDiskFull;
        done += static_cast<size_t>(n);
    }
    return kOk;
}

int SysFile::Size(int64_t& size) {
    struct stat st{};
    if (fstat(fd_, &st) != 0) return TranslateErrno(errno);
    size = static_cast<int64_t>(st.st_size);
    return kOk;
}

int SysFile::Truncate(int64_t size) {
    if (!writable_) return kAccessDenied;
    while (ftruncate(fd_, static_cast<off_t>(size)) != 0) {
        if (errno != EINTR) return TranslateErrno(errno);
    }
    return kOk;
}

int SysFile::Sync() {
    if (!writable_) return kOk;
    while (fdatasync(fd_) != 0) {
        if (errno != EINTR) return errno == EINVAL ? kOk : TranslateErrno(errno);
    }
    return kOk;
}

int SysFile::LockRange(uint64_t offset, uint64_t length) {
    if (length == 0) return kOk;
    return SetLock(fd_, writable_ ? F_WRLCK : F_RDLCK, offset, length);
}

int SysFile::UnlockRange(uint64_t offset, uint64_t length) {
    if (length == 0) return kOk;
    return SetLock(fd_, F_UNLCK, offset, length);
}

int RenameFile(const std::string& from, const std::string& to) {
    if (from == to) return kOk;
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return kOk;
    if (errno != EINVAL && errno != ENOSYS) return PathError(errno, from);
    // File systems without the no-replace flag: check, then rename.
    struct stat st{};
    if (lstat(to.c_str(), &st) == 0) return kAlreadyExists;
    if (::rename(from.c_str(), to.c_str()) != 0) return PathError(errno, from);
    return kOk;
}

int RemoveFile(const std::string& path) {
    if (::unlink(path.c_str()) != 0) return PathError(errno, path);
    return kOk;
}

}  // namespace platform

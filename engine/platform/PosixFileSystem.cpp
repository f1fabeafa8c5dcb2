// The operating system's file system: descriptors, pread/pwrite, open-file-description locks.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

#include "engine/platform/FileSystem.h"

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

// A descriptor of the operating system.
class PosixFile final : public SysFile {
public:
    PosixFile(int fd, bool writable) : fd_(fd), writable_(writable) {}
    ~PosixFile() override {
        if (fd_ >= 0) ::close(fd_);
    }
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    int ReadAt(int64_t offset, void* buffer, size_t length, size_t& transferred) override;
    int WriteAt(int64_t offset, const void* buffer, size_t length) override;
    int Size(int64_t& size) override;
    int Truncate(int64_t size) override;
    int Sync() override;
    int LockRange(uint64_t offset, uint64_t length) override;
    int UnlockRange(uint64_t offset, uint64_t length) override;
    bool Writable() const override { return writable_; }

private:
    int fd_;
    bool writable_;
};

class PosixFileSystem final : public FileSystem {
public:
    int Open(const std::string& path, bool readWrite, bool shared,
             std::unique_ptr<SysFile>& out) override;
    int Create(const std::string& path) override;
    int Rename(const std::string& from, const std::string& to) override;
    int Remove(const std::string& path) override;
    EntryKind Kind(const std::string& path, bool followLinks) override;
    int ListDirectory(const std::string& dir, std::vector<std::string>& names) override;
};

}  // namespace

int PosixFileSystem::Open(const std::string& path, bool readWrite, bool shared,
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
    out = std::make_unique<PosixFile>(fd, writable);
    return kOk;
}

int PosixFileSystem::Create(const std::string& path) {
    int fd = -1;
    int rc = OpenFd(path, O_RDWR | O_CREAT, fd);
    if (rc != kOk) return rc;
    // Emptying a file that another handle has open would pull it from under them.
    rc = SetLock(fd, F_WRLCK, kShareLockOffset, 1);
    if (rc == kOk && ftruncate(fd, 0) != 0) rc = TranslateErrno(errno);
    ::close(fd);
    return rc == kLockViolation ? kSharingViolation : rc;
}

int PosixFile::ReadAt(int64_t offset, void* buffer, size_t length, size_t& transferred) {
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

int PosixFile::WriteAt(int64_t offset, const void* buffer, size_t length) {
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

int PosixFile::Size(int64_t& size) {
    struct stat st{};
    if (fstat(fd_, &st) != 0) return TranslateErrno(errno);
    size = static_cast<int64_t>(st.st_size);
    return kOk;
}

int PosixFile::Truncate(int64_t size) {
    if (!writable_) return kAccessDenied;
    while (ftruncate(fd_, static_cast<off_t>(size)) != 0) {
        if (errno != EINTR) return TranslateErrno(errno);
    }
    return kOk;
}

int PosixFile::Sync() {
    if (!writable_) return kOk;
    while (fdatasync(fd_) != 0) {
        if (errno != EINTR) return errno == EINVAL ? kOk : TranslateErrno(errno);
    }
    return kOk;
}

int PosixFile::LockRange(uint64_t offset, uint64_t length) {
    if (length == 0) return kOk;
    return SetLock(fd_, writable_ ? F_WRLCK : F_RDLCK, offset, length);
}

int PosixFile::UnlockRange(uint64_t offset, uint64_t length) {
    if (length == 0) return kOk;
    return SetLock(fd_, F_UNLCK, offset, length);
}

int PosixFileSystem::Rename(const std::string& from, const std::string& to) {
    if (from == to) return kOk;
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return kOk;
    if (errno != EINVAL && errno != ENOSYS) return PathError(errno, from);
    // File systems without the no-replace flag: check, then rename.
    struct stat st{};
    if (lstat(to.c_str(), &st) == 0) return kAlreadyExists;
    if (::rename(from.c_str(), to.c_str()) != 0) return PathError(errno, from);
    return kOk;
}

int PosixFileSystem::Remove(const std::string& path) {
    if (::unlink(path.c_str()) != 0) return PathError(errno, path);
    return kOk;
}

EntryKind PosixFileSystem::Kind(const std::string& path, bool followLinks) {
    struct stat st{};
    const int rc = followLinks ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st);
    if (rc != 0) return EntryKind::Missing;
    if (S_ISDIR(st.st_mode)) return EntryKind::Directory;
    if (S_ISREG(st.st_mode)) return EntryKind::File;
    return EntryKind::Other;
}

int PosixFileSystem::ListDirectory(const std::string& dir, std::vector<std::string>& names) {
    names.clear();
    DIR* d = opendir(dir.empty() ? "/" : dir.c_str());
    if (d == nullptr) return PathError(errno, dir);
    while (dirent* e = readdir(d)) names.emplace_back(e->d_name);
    closedir(d);
    return kOk;
}

namespace {
std::atomic<FileSystem*> installed{nullptr};
}  // namespace

FileSystem& PosixFiles() {
    static PosixFileSystem posix;
    return posix;
}

FileSystem& Files() {
    FileSystem* fs = installed.load(std::memory_order_acquire);
    return fs != nullptr ? *fs : PosixFiles();
}

int ReadWholeFile(const std::string& path, std::string& out) {
    out.clear();
    std::unique_ptr<SysFile> file;
    int rc = Files().Open(path, false, true, file);
    int64_t size = 0;
    if (rc == kOk) rc = file->Size(size);
    if (rc != kOk) return rc;
    out.resize(static_cast<size_t>(size));
    size_t got = 0;
    rc = file->ReadAt(0, out.data(), out.size(), got);
    out.resize(got);
    return rc;
}

FileSystem* InstallFileSystem(FileSystem* fs) {
    FileSystem* previous = installed.exchange(fs, std::memory_order_acq_rel);
    return previous != nullptr ? previous : &PosixFiles();
}

}  // namespace platform

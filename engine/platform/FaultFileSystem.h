#pragma once
// A file system for tests: it passes everything to another one (the POSIX one by
// default) and injects what a failing disk or machine does. The n-th write or sync fails,
// with nothing or only the first half of the bytes written; byte-range locks are refused;
// a simulated crash brings every file back to what its last sync made durable. Install it
// with InstallFileSystem (FaultFileSystem::Installed does it for a scope).

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "engine/platform/FileSystem.h"
#include "engine/platform/SystemCodes.h"

namespace platform {

class FaultFileSystem : public FileSystem {
public:
    enum class WriteFault {
        Fail,   // nothing of the write reaches the file
        Short,  // the first half of it does
    };

    explicit FaultFileSystem(FileSystem& base = PosixFiles());

    // Arms a fault at the n-th write from now (1: the next one). Writes are the WriteAt
    // and Truncate calls of every file. With `sticky` every later write fails too (a disk
    // that stays full); otherwise only that one does.
    void FailWrite(int n, WriteFault how = WriteFault::Fail, bool sticky = false);
    // The same for the n-th sync; a failed sync makes nothing durable.
    void FailSync(int n, bool sticky = false);
    // Refuses every byte-range lock (33) until called with false. The share-mode lock an
    // opening takes is not affected.
    void RefuseLocks(bool on);
    // Fails every read with the fail code until called with false (a disk that stops
    // answering). Reads made to remember bytes for a crash are not affected.
    void FailReads(bool on);
    // The code failed writes and syncs answer (112, the disk is full, by default).
    void SetFailCode(int code);
    // Disarms every fault and zeroes the counters.
    void Reset();

    int Writes() const;
    int Syncs() const;
    // How many writes, syncs and locks were made to fail since the last Reset.
    int FaultsInjected() const;

    // A crash of the machine: every file goes back to its content at its last successful
    // sync (or as it was when first opened or created through this file system). Handles
    // open before the crash are dead: every operation on them answers 6. Close the
    // engine's files first; answers 0 or the code of a file that could not be restored.
    int Crash();

    int Open(const std::string& path, bool readWrite, bool shared,
             std::unique_ptr<SysFile>& out) override;
    int Create(const std::string& path) override;
    int Rename(const std::string& from, const std::string& to) override;
    int Remove(const std::string& path) override;
    EntryKind Kind(const std::string& path, bool followLinks) override;
    int ListDirectory(const std::string& dir, std::vector<std::string>& names) override;

    // Installs a fault file system for the life of the object.
    class Installed {
    public:
        explicit Installed(FaultFileSystem& fs) : previous_(InstallFileSystem(&fs)) {}
        ~Installed() { InstallFileSystem(previous_); }
        Installed(const Installed&) = delete;
        Installed& operator=(const Installed&) = delete;

    private:
        FileSystem* previous_;
    };

private:
    friend class FaultFile;
    enum class Verdict { Pass, Fail, Short };
    // The bytes and the size a write or truncation is about to replace.
    struct Undo {
        int64_t offset;
        std::string bytes;
        int64_t size;
    };

    Verdict NextWrite();
    Verdict NextSync();
    bool LockRefused();
    bool ReadFails();
    void Remember(const std::string& path, Undo undo);
    void Synced(const std::string& path);
    unsigned Generation() const;

    FileSystem& base_;
    mutable std::mutex mu_;
    int writes_ = 0;
    int syncs_ = 0;
    int faults_ = 0;
    int failWriteAt_ = 0;
    WriteFault writeHow_ = WriteFault::Fail;
    bool writeSticky_ = false;
    bool writeFailing_ = false;
    int failSyncAt_ = 0;
    bool syncSticky_ = false;
    bool syncFailing_ = false;
    bool refuseLocks_ = false;
    bool failReads_ = false;
    int failCode_ = kDiskFull;
    unsigned generation_ = 0;
    std::map<std::string, std::vector<Undo>> unsynced_;
};

}  // namespace platform

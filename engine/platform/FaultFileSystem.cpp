#include "engine/platform/FaultFileSystem.h"

#include <algorithm>

namespace platform {

// A file of the base file system seen through the faults.
class FaultFile final : public SysFile {
public:
    FaultFile(FaultFileSystem& fs, std::string path, std::unique_ptr<SysFile> base)
        : fs_(fs), path_(std::move(path)), base_(std::move(base)), generation_(fs.Generation()) {}

    int ReadAt(int64_t offset, void* buffer, size_t length, size_t& transferred) override {
        transferred = 0;
        if (Dead()) return kInvalidHandle;
        if (fs_.ReadFails()) return fs_.failCode_;
        return base_->ReadAt(offset, buffer, length, transferred);
    }

    int WriteAt(int64_t offset, const void* buffer, size_t length) override {
        if (Dead()) return kInvalidHandle;
        if (!base_->Writable()) return base_->WriteAt(offset, buffer, length);
        const FaultFileSystem::Verdict verdict = fs_.NextWrite();
        if (verdict == FaultFileSystem::Verdict::Fail) return fs_.failCode_;
        FaultFileSystem::Undo undo{offset, {}, 0};
        int rc = base_->Size(undo.size);
        if (rc != kOk) return rc;
        if (offset < undo.size) {
            undo.bytes.resize(static_cast<size_t>(std::min<int64_t>(
                static_cast<int64_t>(length), undo.size - offset)));
            size_t got = 0;
            rc = base_->ReadAt(offset, undo.bytes.data(), undo.bytes.size(), got);
            if (rc != kOk) return rc;
            undo.bytes.resize(got);
        }
        fs_.Remember(path_, std::move(undo));
        if (verdict == FaultFileSystem::Verdict::Short) {
            rc = base_->WriteAt(offset, buffer, length / 2);
            return rc != kOk ? rc : fs_.failCode_;
        }
        return base_->WriteAt(offset, buffer, length);
    }

    int Size(int64_t& size) override {
        size = 0;
        if (Dead()) return kInvalidHandle;
        return base_->Size(size);
    }

    int Truncate(int64_t size) override {
        if (Dead()) return kInvalidHandle;
        if (!base_->Writable()) return base_->Truncate(size);
        if (fs_.NextWrite() != FaultFileSystem::Verdict::Pass) return fs_.failCode_;
        FaultFileSystem::Undo undo{size, {}, 0};
        int rc = base_->Size(undo.size);
        if (rc != kOk) return rc;
        if (size < undo.size) {
            undo.bytes.resize(static_cast<size_t>(undo.size - size));
            size_t got = 0;
            rc = base_->ReadAt(size, undo.bytes.data(), undo.bytes.size(), got);
            if (rc != kOk) return rc;
            undo.bytes.resize(got);
        }
        fs_.Remember(path_, std::move(undo));
        return base_->Truncate(size);
    }

    int Sync() override {
        if (Dead()) return kInvalidHandle;
        if (!base_->Writable()) return base_->Sync();
        if (fs_.NextSync() != FaultFileSystem::Verdict::Pass) return fs_.failCode_;
        const int rc = base_->Sync();
        if (rc == kOk) fs_.Synced(path_);
        return rc;
    }

    int LockRange(uint64_t offset, uint64_t length) override {
        if (Dead()) return kInvalidHandle;
        if (length != 0 && fs_.LockRefused()) return kLockViolation;
        return base_->LockRange(offset, length);
    }

    int UnlockRange(uint64_t offset, uint64_t length) override {
        if (Dead()) return kInvalidHandle;
        return base_->UnlockRange(offset, length);
    }

    bool Writable() const override { return base_->Writable(); }

private:
    bool Dead() const { return generation_ != fs_.Generation(); }

    FaultFileSystem& fs_;
    std::string path_;
    std::unique_ptr<SysFile> base_;
    unsigned generation_;
};

FaultFileSystem::FaultFileSystem(FileSystem& base) : base_(base) {}

void FaultFileSystem::FailWrite(int n, WriteFault how, bool sticky) {
    std::lock_guard<std::mutex> g(mu_);
    failWriteAt_ = n > 0 ? writes_ + n : 0;
    writeHow_ = how;
    writeSticky_ = sticky;
    writeFailing_ = false;
}

void FaultFileSystem::FailSync(int n, bool sticky) {
    std::lock_guard<std::mutex> g(mu_);
    failSyncAt_ = n > 0 ? syncs_ + n : 0;
    syncSticky_ = sticky;
    syncFailing_ = false;
}

void FaultFileSystem::RefuseLocks(bool on) {
    std::lock_guard<std::mutex> g(mu_);
    refuseLocks_ = on;
}

void FaultFileSystem::FailReads(bool on) {
    std::lock_guard<std::mutex> g(mu_);
    failReads_ = on;
}

void FaultFileSystem::SetFailCode(int code) {
    std::lock_guard<std::mutex> g(mu_);
    failCode_ = code;
}

void FaultFileSystem::Reset() {
    std::lock_guard<std::mutex> g(mu_);
    writes_ = syncs_ = faults_ = 0;
    failWriteAt_ = failSyncAt_ = 0;
    writeSticky_ = writeFailing_ = syncSticky_ = syncFailing_ = refuseLocks_ = failReads_ = false;
}

int FaultFileSystem::Writes() const {
    std::lock_guard<std::mutex> g(mu_);
    return writes_;
}

int FaultFileSystem::Syncs() const {
    std::lock_guard<std::mutex> g(mu_);
    return syncs_;
}

int FaultFileSystem::FaultsInjected() const {
    std::lock_guard<std::mutex> g(mu_);
    return faults_;
}

unsigned FaultFileSystem::Generation() const {
    std::lock_guard<std::mutex> g(mu_);
    return generation_;
}

FaultFileSystem::Verdict FaultFileSystem::NextWrite() {
    std::lock_guard<std::mutex> g(mu_);
    ++writes_;
    if (writes_ == failWriteAt_) writeFailing_ = true;
    if (!writeFailing_) return Verdict::Pass;
    const bool first = writes_ == failWriteAt_;
    if (!writeSticky_) writeFailing_ = false;
    ++faults_;
    return first && writeHow_ == WriteFault::Short ? Verdict::Short : Verdict::Fail;
}

FaultFileSystem::Verdict FaultFileSystem::NextSync() {
    std::lock_guard<std::mutex> g(mu_);
    ++syncs_;
    if (syncs_ == failSyncAt_) syncFailing_ = true;
    if (!syncFailing_) return Verdict::Pass;
    if (!syncSticky_) syncFailing_ = false;
    ++faults_;
    return Verdict::Fail;
}

bool FaultFileSystem::LockRefused() {
    std::lock_guard<std::mutex> g(mu_);
    if (refuseLocks_) ++faults_;
    return refuseLocks_;
}

bool FaultFileSystem::ReadFails() {
    std::lock_guard<std::mutex> g(mu_);
    if (failReads_) ++faults_;
    return failReads_;
}

void FaultFileSystem::Remember(const std::string& path, Undo undo) {
    std::lock_guard<std::mutex> g(mu_);
    unsynced_[path].push_back(std::move(undo));
}

void FaultFileSystem::Synced(const std::string& path) {
    std::lock_guard<std::mutex> g(mu_);
    unsynced_.erase(path);
}

int FaultFileSystem::Crash() {
    std::lock_guard<std::mutex> g(mu_);
    ++generation_;
    int result = kOk;
    for (auto& [path, undos] : unsynced_) {
        std::unique_ptr<SysFile> file;
        int rc = base_.Open(path, true, true, file);
        for (auto it = undos.rbegin(); rc == kOk && it != undos.rend(); ++it) {
            if (!it->bytes.empty()) rc = file->WriteAt(it->offset, it->bytes.data(), it->bytes.size());
            if (rc == kOk) rc = file->Truncate(it->size);
        }
        if (rc == kOk) rc = file->Sync();
        if (rc != kOk && result == kOk) result = rc;
    }
    unsynced_.clear();
    return result;
}

int FaultFileSystem::Open(const std::string& path, bool readWrite, bool shared,
                          std::unique_ptr<SysFile>& out) {
    std::unique_ptr<SysFile> file;
    const int rc = base_.Open(path, readWrite, shared, file);
    if (rc != kOk) {
        out.reset();
        return rc;
    }
    out = std::make_unique<FaultFile>(*this, path, std::move(file));
    return kOk;
}

int FaultFileSystem::Create(const std::string& path) {
    const int rc = base_.Create(path);
    if (rc == kOk) Synced(path);  // a new, empty file counts as durable
    return rc;
}

int FaultFileSystem::Rename(const std::string& from, const std::string& to) {
    const int rc = base_.Rename(from, to);
    if (rc == kOk) {
        std::lock_guard<std::mutex> g(mu_);
        auto it = unsynced_.find(from);
        if (it != unsynced_.end()) {
            unsynced_[to] = std::move(it->second);
            unsynced_.erase(it);
        }
    }
    return rc;
}

int FaultFileSystem::Remove(const std::string& path) {
    const int rc = base_.Remove(path);
    if (rc == kOk) Synced(path);
    return rc;
}

EntryKind FaultFileSystem::Kind(const std::string& path, bool followLinks) {
    return base_.Kind(path, followLinks);
}

int FaultFileSystem::ListDirectory(const std::string& dir, std::vector<std::string>& names) {
    return base_.ListDirectory(dir, names);
}

}  // namespace platform

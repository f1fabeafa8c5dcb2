#include "index/core/GSobjIndexFile.h"

#include <cctype>

#include "engine/ErrorCodes.h"
#include "engine/ErrorHandler.h"
#include "engine/Exception.h"
#include "engine/LockProtocol.h"
#include "engine/dBaseFld.h"
#include "engine/platform/Paths.h"
#include "engine/platform/SystemCodes.h"

namespace {
std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}
}  // namespace

GSobjIndexFile::GSobjIndexFile(GSO_dBaseFld* table, const std::string& path,
                               const std::string& defaultExtension, bool overwrite, bool create,
                               bool shared, bool readWrite)
    : table_(table) {
    std::string full = path;
    if (platform::ExtensionPart(full).empty()) full += defaultExtension;
    name_ = Upper(platform::FileNamePart(full));
    exactMatch_ = table ? table->ExactMatch() : true;
    const bool exists = platform::FileExists(platform::ResolveCase(platform::ExpandPath(full)));
    if (!exists && !create) return;
    disk_ = std::make_unique<GSO_DiskFile>(full, readWrite, shared);
    if (create && (overwrite || !exists)) {
        disk_->CreateNew();
    } else {
        disk_->Open();
    }
    // Index pages are read one at a time from all over the file.
    disk_->SetBufferedReads(false);
    // No other program changes a file opened exclusively: its pages may stay in memory,
    // in the lines every object of this file in this program shares.
    // (A file this program already holds open keeps the share mode it was opened with.)
    if (!disk_->IsShared()) {
        const platform::FileIdentity& id = disk_->Identity();
        pageCache_ = TgsPageCache::ForFile(id.exists ? std::to_string(id.device) + ":" + std::to_string(id.inode)
                                                     : id.path);
        if (create && (overwrite || !exists)) pageCache_->Clear();
    }
    opened_ = true;
}

GSobjIndexFile::~GSobjIndexFile() {
    // The tags write back their paths before the disk file closes.
    tags_.clear();
    if (locked_ && disk_) disk_->UnlockRegion();
}

GSobjIndexTag* GSobjIndexFile::CreateTag(const std::string&, const std::string&, const std::string&,
                                         bool, bool) {
    return nullptr;
}

bool GSobjIndexFile::DeleteTag(const std::string&) { return false; }

void GSobjIndexFile::ReportError(int code, int subcode, const std::string& text) {
    if (table_) table_->ReportError(code, subcode, text);
    ReportEngineError(code, subcode, text);
}

void GSobjIndexFile::ReportInvalid() {
    headerRejected_ = true;
    ReportError(gsErr::kIndexInvalid, gsSub::kNone, disk_ ? disk_->RealPath() : name_);
    // An overriding report routine may not raise; the damaged file must stop here.
    throw ERidedezError(BuildErrorMessage(gsErr::kIndexInvalid, gsSub::kNone, name_));
}

int32_t GSobjIndexFile::AllocatePage() { return -1; }

int32_t GSobjIndexFile::ReadPageCount() { return -1; }

bool GSobjIndexFile::ReadBlock(int64_t position, void* buffer, int32_t size) {
    if (!disk_ || position < 0) return false;
    if (pageCache_) {
        GSO_DiskFile* disk = disk_.get();
        return pageCache_->Read(position, buffer, size, [disk](int64_t at, void* into, int32_t n) {
            return disk->ReadAt(at, into, n);
        });
    }
    return disk_->ReadAt(position, buffer, size) == size;
}

const uint8_t* GSobjIndexFile::ViewBlock(int64_t position, int32_t size, uint8_t* buffer) {
    if (!disk_ || position < 0) return nullptr;
    if (pageCache_) {
        GSO_DiskFile* disk = disk_.get();
        const uint8_t* view = pageCache_->View(position, size, [disk](int64_t at, void* into, int32_t n) {
            return disk->ReadAt(at, into, n);
        });
        if (view) return view;
    }
    return GSobjIndexFile::ReadBlock(position, buffer, size) ? buffer : nullptr;
}

uint64_t GSobjIndexFile::PageChanges() const { return pageCache_ ? pageCache_->Changes() : 0; }

void GSobjIndexFile::KeepPagesWhileMarkHolds() {
    if (!disk_ || !disk_->IsShared() || checksMark_) return;
    pageCache_ = std::make_shared<TgsPageCache>();
    checksMark_ = true;
    pagesMarkKnown_ = false;
}

bool GSobjIndexFile::ReadChangeMark(uint32_t&) { return false; }

void GSobjIndexFile::CheckKeptPages() {
    if (!checksMark_) return;
    uint32_t mark = 0;
    const bool known = ReadChangeMark(mark);
    if (known && pagesMarkKnown_ && mark == pagesMark_) return;
    // Pages read from here on are read under this mark.
    pageCache_->Clear();
    pagesMarkKnown_ = known;
    pagesMark_ = mark;
}

void GSobjIndexFile::MarkMovedByUs(uint32_t before, uint32_t after) {
    if (checksMark_ && pagesMarkKnown_ && pagesMark_ == before) pagesMark_ = after;
}

bool GSobjIndexFile::WriteBlock(int64_t position, const void* buffer, int32_t size) {
    if (!disk_) return false;
    if (pageCache_) {
        try {
            disk_->WriteAt(position, buffer, size);
        } catch (...) {
            pageCache_->Forget(position, size);
            throw;
        }
        if (disk_->LastError() != 0) {
            pageCache_->Forget(position, size);
        } else {
            pageCache_->Wrote(position, buffer, size);
        }
    } else {
        disk_->WriteAt(position, buffer, size);
    }
    if (knownEnd_ >= 0 && position + size > knownEnd_) knownEnd_ = position + size;
    return true;
}

bool GSobjIndexFile::BlockInFile(int64_t position, int64_t size) {
    if (!disk_ || position < 0 || size < 0) return false;
    if (knownEnd_ >= 0 && position + size <= knownEnd_) return true;
    knownEnd_ = disk_->FileSize();
    return position + size <= knownEnd_;
}

void GSobjIndexFile::TruncateFile(int64_t size) {
    if (pageCache_) pageCache_->Clear();
    disk_->TruncateAt(size);
    knownEnd_ = -1;
}

void GSobjIndexFile::Reindex() {}

bool GSobjIndexFile::RenameFile(const std::string& newTableName) {
    if (!disk_) return false;
    std::string ext = platform::ExtensionPart(disk_->RealPath());
    std::string target = platform::ChangeExtension(newTableName, ext);
    disk_->Rename(target);
    name_ = Upper(platform::FileNamePart(target));
    return true;
}

bool GSobjIndexFile::UpdateTagsForRecord(int32_t record, bool isAppend) {
    // Another program sharing the file may have added pages since; a file opened
    // exclusively grows only through this object's own allocations.
    if (!disk_ || disk_->IsShared()) ForgetPageCount();
    bool changed = false;
    for (auto& tag : tags_) changed = tag->UpdateForRecord(record, isAppend) || changed;
    return changed;
}

bool GSobjIndexFile::ChangedByOthers() { return false; }

TgsIndexLockPlace IndexLockPlace(int protocol) {
    switch (static_cast<TgsLokProtocol>(protocol)) {
        case TgsLokProtocol::DB4Lock: return {0xEFFFFFFEu, 2};
        case TgsLokProtocol::ClipLock: return {1000000000u, 1};
        case TgsLokProtocol::FoxLock:
        case TgsLokProtocol::Default:
        default: return {0x7FFFFFFDu, 1};
    }
}

void GSobjIndexFile::SetLockProtocol(int protocol) {
    protocol_ = protocol;
    TgsIndexLockPlace place = IndexLockPlace(protocol);
    lockOffset_ = place.offset;
    lockLength_ = place.length;
}

void GSobjIndexFile::ResetFile() {}

GSobjIndexTag* GSobjIndexFile::FindTag(const std::string& name) const {
    const std::string wanted = Upper(name);
    for (const auto& tag : tags_)
        if (Upper(tag->Name()) == wanted) return tag.get();
    return nullptr;
}

bool GSobjIndexFile::LockIndexFile() {
    if (!disk_ || !disk_->IsShared()) return true;
    if (locked_) return true;
    if (WaitForLock([this] { return disk_->LockRegion(lockOffset_, lockLength_); })) {
        locked_ = true;
        return true;
    }
    const std::string code = std::to_string(disk_->LastError());
    throw ERidedezError("Error " + code + " in Lock of " + name_);
}

void GSobjIndexFile::UnlockIndexFile() {
    if (!locked_ || !disk_) return;
    struct LetGo {
        GSobjIndexFile* f;
        ~LetGo() {
            f->disk_->UnlockRegion();
            f->locked_ = false;
        }
    } letGo{this};
    BeforeLetGo();
}

bool GSobjIndexFile::NamedLikeTable() const {
    if (!table_ || !disk_) return false;
    const std::string mine = platform::ExpandPath(disk_->RealPath());
    const std::string its = platform::ExpandPath(table_->RealPath());
    return platform::DirectoryPart(mine) == platform::DirectoryPart(its) &&
           platform::NamesMatch(platform::BaseNamePart(mine), platform::BaseNamePart(its));
}

void GSobjIndexFile::SetProductionMark(bool on) {
    if (!NamedLikeTable() || table_->HasProductionIndex() == on) return;
    table_->SetProductionIndex(on);
}

std::string GSobjIndexFile::TagNameOfFile(const std::string& fileName) {
    std::string base = platform::BaseNamePart(fileName);
    for (char& c : base) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return base;
}

void GSobjIndexFile::WithWholeFileInPlaceOfIndexLock(const std::function<void()>& work) {
    const bool hadIndexLock = locked_;
    if (hadIndexLock) UnlockIndexFile();
    {
        if (!disk_->LockWholeFile()) ReportError(platform::kLockViolation, gsSub::kNone, name_);
        struct Unlock {
            GSO_DiskFile* d;
            ~Unlock() { d->UnlockRegion(); }
        } unlock{disk_.get()};
        try {
            work();
        } catch (...) {
            try {
                BeforeLetGo();
            } catch (...) {
                // The work's own error is the one to report.
            }
            throw;
        }
        BeforeLetGo();
    }
    if (hadIndexLock) LockIndexFile();
}

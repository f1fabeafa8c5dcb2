// The table's order: its index file slots, the selected tag, key seeks and ranges, the
// locking of the index files around writes, and the production index opened with the
// table.

#include <cctype>

#include "engine/ErrorCodes.h"
#include "engine/Exception.h"
#include "engine/dBHandler.h"
#include "engine/platform/LastError.h"
#include "engine/platform/Paths.h"
#include "engine/platform/SystemCodes.h"
#include "index/core/GSobjIndexFile.h"
#include "index/core/GSobjIndexTag.h"
#include "index/core/IndexFileFactory.h"

namespace {

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) return std::string();
    size_t e = s.find_last_not_of(' ');
    return s.substr(b, e - b + 1);
}

// The names of an index list: blanks, commas and semicolons separate them outside double
// quotes; the quotes themselves are dropped.
std::vector<std::string> SplitIndexList(std::string list) {
    while (!list.empty() && (list.back() == ' ' || list.back() == ',' || list.back() == ';')) list.pop_back();
    std::vector<std::string> names;
    std::string name;
    bool quoted = false;
    for (char c : list) {
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && (c == ' ' || c == ',' || c == ';')) {
            if (!name.empty()) names.push_back(name);
            name.clear();
        } else {
            name.push_back(c);
        }
    }
    if (!name.empty()) names.push_back(name);
    return names;
}

}  // namespace

// ---- the slots ------------------------------------------------------------------------

GSobjIndexFile* GSO_dBHandler::IndexFile(int slot) const {
    if (slot < 1 || slot > gsMaxIndexFiles) return nullptr;
    return slots_[static_cast<size_t>(slot - 1)].get();
}

int GSO_dBHandler::IndexFileCount() const {
    int n = 0;
    for (const auto& f : slots_) n += f ? 1 : 0;
    return n;
}

bool GSO_dBHandler::HasIndexFiles() { return slots_[0] != nullptr; }

int GSO_dBHandler::IndexFileSlot(const std::string& path) const {
    const std::string trimmed = Trim(path);
    if (trimmed.empty()) return 0;
    std::string full = trimmed;
    if (platform::DirectoryPart(full).empty()) full = platform::DirectoryPart(RealPath()) + full;
    if (platform::ExtensionPart(full).empty()) full += ".NDX";
    const platform::FileIdentity id = platform::IdentifyFile(platform::ResolveCase(platform::ExpandPath(full)));
    for (int slot = 1; slot <= gsMaxIndexFiles; ++slot) {
        GSobjIndexFile* f = IndexFile(slot);
        if (f && f->Disk() && f->Disk()->Identity().SameFile(id)) return slot;
    }
    return 0;
}

int GSO_dBHandler::OpenIndexFile(const std::string& path) {
    const std::string trimmed = Trim(path);
    if (trimmed.empty() || IndexFileSlot(trimmed) != 0) return gsIndexNothingOpened;
    std::string full = trimmed;
    if (platform::DirectoryPart(full).empty()) full = platform::DirectoryPart(RealPath()) + full;
    if (platform::ExtensionPart(full).empty()) full += ".NDX";
    const std::string shown = platform::IdentityKey(platform::ExpandPath(full));
    int free = 0;
    for (int slot = 1; slot <= gsMaxIndexFiles && free == 0; ++slot)
        if (!IndexFile(slot)) free = slot;
    if (free == 0) ReportError(platform::kTooManyOpenFiles, gsSub::kNone, shown);
    std::unique_ptr<GSobjIndexFile> file =
        OpenIndexFileOfFormat(platform::ExtensionPart(full), this, full, IsShared(), IsReadWrite());
    if (!file || !file->Opened()) ReportError(platform::kFileNotFound, gsSub::kNone, shown);
    file->SetLockProtocol(LockProtocol());
    slots_[static_cast<size_t>(free - 1)] = std::move(file);
    return gsIndexOpened;
}

int GSO_dBHandler::OpenIndexList(const std::string& list, const std::string& tag) {
    CloseIndexFiles();
    const std::vector<std::string> names = SplitIndexList(list);
    if (names.empty()) return gsIndexNothingOpened;
    for (const std::string& name : names) {
        const int result = OpenIndexFile(name);
        if (result != gsIndexOpened) return result;
    }
    SelectTag(tag, true);
    return gsIndexOpened;
}

void GSO_dBHandler::CloseIndexFiles() {
    DeselectTag();
    for (auto& f : slots_) f.reset();
}

void GSO_dBHandler::OpenProductionIndex() {
    if (!(FlagBits() & 1)) return;
    // FoxPro tables keep a .CDX beside them, dBase IV tables an .MDX; a table that names
    // one but has the other (Harbour writes CDX files for dBase III tables) uses that.
    const uint8_t v = Version();
    const bool fox = v == 0x30 || v == 0x31 || v == 0x32 || v == 0xF5;
    const char* order[2] = {fox ? ".CDX" : ".MDX", fox ? ".MDX" : ".CDX"};
    for (const char* ext : order) {
        const std::string path = platform::SiblingPath(RealPath(), ext);
        if (!platform::FileExists(path)) continue;
        // A production index of a format not read yet is left closed.
        if (!IndexFormatKnown(ext)) return;
        OpenIndexFile(path);
        return;
    }
    const std::string missing = platform::IdentityKey(platform::ChangeExtension(Path(), order[0]));
    ReportError(platform::kFileNotFound, gsSub::kNone, missing);
}

// ---- the selected tag ------------------------------------------------------------------

void GSO_dBHandler::DeselectTag() {
    if (!tag_) return;
    GSobjIndexTag* tag = tag_;
    tag_ = nullptr;
    tagName_.clear();
    tag->ClearRange();
    tag->ReleasePath();
}

int GSO_dBHandler::SelectTag(const std::string& name, bool keepPosition) {
    const std::string wanted = Upper(Trim(name));
    if (wanted.empty()) {
        // Back to the physical order, read ahead; a table that had no tag keeps its cache
        // setting (shared tables are read without it to see other programs' writes).
        if (tag_) {
            DeselectTag();
            SetReadAhead(true);
        }
        if (!keepPosition) GoRecord(gsMoveTop);
        return 0;
    }
    GSobjIndexTag* found = nullptr;
    int slot = 0;
    for (int s = 1; s <= gsMaxIndexFiles && !found; ++s) {
        if (GSobjIndexFile* f = IndexFile(s)) {
            found = f->FindTag(wanted);
            slot = s;
        }
    }
    if (!found) return -1;
    DeselectTag();
    SetReadAhead(false);
    tagName_ = wanted;
    tag_ = found;
    tag_->Reload(gsReloadCurrentRecord);
    if (keepPosition && RecordNumber() >= 1 && RecordNumber() <= RecordCount()) {
        GoRecord(RecordNumber());
    } else if (!keepPosition) {
        GoRecord(gsMoveTop);
    }
    return slot;
}

GSobjIndexTag* GSO_dBHandler::TagByNumber(int n) const {
    if (n <= 0) return nullptr;
    for (const auto& f : slots_) {
        if (!f) continue;
        if (static_cast<size_t>(n) <= f->TagCount()) return f->Tag(static_cast<size_t>(n - 1));
        n -= static_cast<int>(f->TagCount());
    }
    return nullptr;
}

void GSO_dBHandler::SyncTagPosition() {
    const int32_t rec = RecordNumber();
    if (rec < 1 || rec > RecordCount()) return;
    if (tag_->CurrentEntry().link == rec && tag_->RootNode() && !IsShared()) return;
    // Another program may have changed the file, the path was written back, or the table
    // was moved by record number: find the record's key again.
    tag_->Reload(gsReloadCurrentRecord);
}

int32_t GSO_dBHandler::TagMovement(int32_t code, int32_t direction) {
    if (ReadAheadActive()) SetReadAhead(false);
    if (code == gsMoveNext || code == gsMovePrior || code == gsMoveReread) SyncTagPosition();
    int32_t r = tag_->MoveTo(code);
    for (;;) {
        if (tag_->Eof() || tag_->Bof()) {
            SetEof(tag_->Eof());
            SetBof(tag_->Bof());
            return 0;
        }
        // An entry naming no record is damage, not a place to go.
        if (r < 1) tag_->ReportInvalid();
        if (!FilterActive() || FilterBit(r)) return r;
        r = tag_->MoveTo(direction == 0 ? gsMoveNext : direction);
    }
}

// ---- rebuilding ------------------------------------------------------------------------

void GSO_dBHandler::Reindex() {
    const std::string name = tagName_;
    DeselectTag();
    const bool cacheWas = ReadAheadActive();
    SetMode(gsModeBulk);
    SetReadAhead(true);
    struct Restore {
        GSO_dBHandler* t;
        bool cache;
        ~Restore() {
            t->SetMode(gsModeNormal);
            t->SetReadAhead(cache);
        }
    };
    {
        Restore restore{this, cacheWas};
        for (auto& f : slots_)
            if (f) f->Reindex();
    }
    if (!name.empty()) {
        for (int s = 1; s <= gsMaxIndexFiles && !tag_; ++s) {
            if (GSobjIndexFile* f = IndexFile(s)) tag_ = f->FindTag(name);
        }
        if (tag_) {
            tagName_ = name;
            SetReadAhead(false);
            tag_->Reload(gsReloadFirst);
        }
    }
    GoRecord(gsMoveTop);
}

// ---- seeking ---------------------------------------------------------------------------

bool GSO_dBHandler::SeekKey(const std::string& key) {
    found_ = false;
    if (RecordCount() == 0) RefreshHeader();
    if (RecordCount() == 0) return false;
    const bool clip = LockProtocol() == static_cast<int>(TgsLokProtocol::ClipLock);
    if (clip && !LockIndexFiles()) return false;
    struct Unlocker {
        GSO_dBHandler* t;
        bool on;
        ~Unlocker() {
            if (on) t->UnlockIndexFiles();
        }
    } unlocker{this, clip};

    auto toEnd = [this] {
        GoRecord(gsMoveBottom);
        SetEof(true);
    };
    if (!tag_) {
        toEnd();
        return false;
    }
    TgsVariant search(gsKeyCapacity);
    search.SetText(key);
    const int32_t r = tag_->Seek(search);
    if (r == 0 && (tag_->Eof() || !softSeek_)) {
        toEnd();
        return false;
    }
    const int32_t at = r != 0 ? r : tag_->CurrentEntry().link;
    GoRecord(at);
    // A hidden record is passed over in the tag's order.
    if (!Eof() && (!Visible() || (FilterActive() && !FilterBit(RecordNumber())))) GoRecord(gsMoveNext);
    if (r != 0 && !Eof()) {
        const GSobjIndexKeyData& prepared = tag_->SoughtKey();
        const GSobjIndexKeyData& entry = tag_->CurrentEntry();
        if (tag_->CompareKeys(prepared, entry, -1) == 0 || (!ExactMatch() && tag_->CompareKeys(prepared, entry, 0) == 0))
            found_ = true;
    }
    if (!found_ && !softSeek_) toEnd();
    return found_;
}

int32_t GSO_dBHandler::SeekKeyInTag(const std::string& tag, const std::string& key) {
    const std::string wanted = Upper(Trim(tag));
    for (const auto& f : slots_) {
        if (!f) continue;
        if (GSobjIndexTag* t = f->FindTag(wanted)) {
            TgsVariant search(gsKeyCapacity);
            search.SetText(key);
            return t->FindKey(search);
        }
    }
    return -1;
}

void GSO_dBHandler::SetRange(const std::string& low, const std::string& high, bool lowInclusive,
                             bool highInclusive) {
    if (!tag_) return;
    TgsVariant lo(gsKeyCapacity), hi(gsKeyCapacity);
    lo.SetText(low);
    hi.SetText(high);
    tag_->SetRange(&lo, lowInclusive, highInclusive, &hi);
    GoRecord(gsMoveTop);
    if (Bof()) BlankRecord();
}

void GSO_dBHandler::ClearRange() {
    if (tag_) tag_->ClearRange();
}

// ---- locking ---------------------------------------------------------------------------

bool GSO_dBHandler::LockIndexFiles() {
    for (size_t i = 0; i < slots_.size(); ++i) {
        if (!slots_[i]) continue;
        bool locked = false;
        try {
            locked = slots_[i]->LockIndexFile();
        } catch (const Exception&) {
            locked = false;
        }
        if (!locked) {
            for (size_t j = 0; j < i; ++j)
                if (slots_[j]) slots_[j]->UnlockIndexFile();
            platform::SetLastError(platform::kLockViolation);
            return false;
        }
    }
    return true;
}

void GSO_dBHandler::UnlockIndexFiles() {
    // What other programs are to see reaches the files before the lock is let go.
    try {
        WriteBackIndexes(true, false);
    } catch (...) {
        for (auto& f : slots_)
            if (f) f->UnlockIndexFile();
        throw;
    }
    for (auto& f : slots_)
        if (f) f->UnlockIndexFile();
}

void GSO_dBHandler::WriteBackIndexes(bool sharedOnly, bool flush) {
    for (auto& f : slots_) {
        if (!f || !f->Disk()) continue;
        if (sharedOnly && !f->Disk()->IsShared()) continue;
        for (size_t i = 0; i < f->TagCount(); ++i) f->Tag(i)->ReleasePath();
        if (flush) {
            f->WriteHeldHeader();
            f->Disk()->Flush();
        }
    }
}

#include "engine/dBHandler.h"

#include <cstring>

#include "engine/ErrorCodes.h"
#include "engine/Exception.h"
#include "engine/Memo.h"
#include "engine/platform/LastError.h"
#include "engine/platform/Paths.h"
#include "engine/platform/SystemCodes.h"
#include "engine/tableexpr/TgslDBFFunctions.h"
#include "index/core/GSobjIndexFile.h"
#include "index/core/GSobjIndexTag.h"
#include "index/core/TgsHugeSet.h"
#include "index/expr/TgsExpHandler.h"
#include "index/expr/TgsExpUserLink.h"

namespace {
constexpr int32_t kCacheBytes = 32768;
}

std::unique_ptr<GSO_dBHandler> GSO_dBHandler::Open(const std::string& path, bool readWrite,
                                                   bool shared, unsigned options) {
    auto table = std::make_unique<GSO_dBHandler>(path, readWrite, shared);
    table->SetOpenProductionIndex((options & gsOpenNoProductionIndex) == 0);
    table->OpenTable();
    return table;
}

GSO_dBHandler::GSO_dBHandler(const std::string& path, bool readWrite, bool shared)
    : GSO_dBaseFld(path, readWrite, shared) {}

GSO_dBHandler::~GSO_dBHandler() {
    try {
        GSO_dBHandler::CloseTable();
    } catch (...) {
    }
}

void GSO_dBHandler::AfterOpen() {
    GSO_dBaseFld::AfterOpen();
    userLink_ = std::make_unique<TgsExpUserLink>();
    TgslDBFRegisterTable(*userLink_, *this);
    if (openProduction_) {
        try {
            OpenProductionIndex();
        } catch (...) {
            CloseIndexFiles();
            throw;
        }
    }
}

void GSO_dBHandler::CloseTable() {
    SetReadAhead(false);
    CloseIndexFiles();
    filterBits_.reset();
    filterHandler_.reset();
    filterText_.clear();
    userLink_.reset();
    GSO_dBaseFld::CloseTable();
}

// ---- read-ahead cache ------------------------------------------------------------------

void GSO_dBHandler::AllowReadAhead(bool allowed) {
    cacheAllowed_ = allowed;
    if (!allowed) SetReadAhead(false);
}

void GSO_dBHandler::SetReadAhead(bool on) {
    if (on && cacheAllowed_ && RecordLength() > 0) {
        int32_t records = kCacheBytes / RecordLength();
        if (records < 1) records = 1;
        cacheRecords_ = records;
        cache_.assign(static_cast<size_t>(records) * RecordLength(), 0);
        cacheStart_ = cacheEnd_ = -1;
        cacheActive_ = true;
    } else {
        cacheActive_ = false;
        cache_.clear();
        cache_.shrink_to_fit();
        cacheStart_ = cacheEnd_ = -1;
    }
}

int32_t GSO_dBHandler::ReadAt(int64_t offset, void* buffer, int32_t length) {
    if (!cacheActive_ || offset < HeaderLength() || length <= 0 ||
        length > static_cast<int32_t>(cache_.size())) {
        return GSO_dBaseFld::ReadAt(offset, buffer, length);
    }
    if (cacheStart_ < 0 || offset < cacheStart_ || offset >= cacheEnd_ - RecordLength()) {
        cacheStart_ = offset;
        int32_t got = GSO_dBaseFld::ReadAt(offset, cache_.data(), static_cast<int32_t>(cache_.size()));
        SetLastErrorCode(0);  // a short read near the end just makes the buffer shorter
        cacheEnd_ = offset + got;
    }
    if (offset >= cacheEnd_) return 0;
    int32_t n = static_cast<int32_t>(std::min<int64_t>(length, cacheEnd_ - offset));
    std::memcpy(buffer, cache_.data() + (offset - cacheStart_), static_cast<size_t>(n));
    return n;
}

void GSO_dBHandler::WriteAt(int64_t offset, const void* buffer, int32_t length) {
    GSO_dBaseFld::WriteAt(offset, buffer, length);
    if (cacheActive_ && cacheStart_ >= 0 && offset > 0 && offset < cacheEnd_ &&
        offset + length > cacheStart_) {
        int64_t from = std::max(offset, cacheStart_);
        int64_t to = std::min(offset + length, cacheEnd_);
        std::memcpy(cache_.data() + (from - cacheStart_),
                    static_cast<const uint8_t*>(buffer) + (from - offset),
                    static_cast<size_t>(to - from));
    }
}

// ---- movement --------------------------------------------------------------------------

bool GSO_dBHandler::RecordVisible() { return true; }

bool GSO_dBHandler::Visible() { return (UseDeleted() || !IsDeleted()) && RecordVisible(); }

void GSO_dBHandler::GoRecord(int32_t n) {
    if (Mode() != gsModeNormal) {
        PlainGoRecord(n);
        return;
    }
    SetEof(false);
    SetBof(false);
    const bool cacheWas = cacheActive_;
    int32_t request = n;
    const int32_t direction = (n == gsMoveNext || n == gsMoveTop || n == gsMoveReread) ? gsMoveNext
                              : (n == gsMovePrior || n == gsMoveBottom)                ? gsMovePrior
                                                                                        : 0;
    for (;;) {
        // The selected tag, or else an active filter, turns a movement code into a record.
        int32_t target = request;
        if (request < 0 && tag_) {
            target = TagMovement(request, direction);
        } else if (request < 0 && FilterActive()) {
            target = FilterMovement(request);
        }
        if (Eof() || Bof()) break;
        PlainGoRecord(target);
        if (Eof() || Bof()) break;
        if (target == 0 || RecordNumber() == 0 || (target > 0 && target > RecordCount())) {
            BlankRecord();
            break;
        }
        if (n > 0) break;  // an absolute record number is always accepted
        if (Visible()) break;
        if (direction == 0) break;
        request = direction;
    }
    // Moving past the last record leaves a blank record in the buffer.
    if (Eof() && n > 0) BlankRecord();
    if (cacheActive_ != cacheWas) {
        // The tag's movement turned the cache off for the record; read it before the cache
        // is back, or its first use would fill the whole cache around one record.
        ReadIfUnread();
        SetReadAhead(cacheWas);
    }
    if (LockProtocol() == static_cast<int>(TgsLokProtocol::ClipLock)) UnlockIndexFiles();
}

void GSO_dBHandler::SkipRecords(int32_t count) {
    if (count == 0) {
        GoRecord(gsMoveReread);
        return;
    }
    if (!FilterActive() && UseDeleted() && !TagSelected()) {
        int64_t target = static_cast<int64_t>(RecordNumber()) + count;
        bool clamped = false;
        if (target < 1) {
            target = 1;
            clamped = true;
        }
        if (target > RecordCount()) {
            RefreshHeader();
            if (target > RecordCount()) {
                target = RecordCount();
                clamped = true;
            }
        }
        if (target >= 1) GoRecord(static_cast<int32_t>(target));
        if (clamped) {
            if (count > 0) {
                SetEof(true);
            } else {
                SetBof(true);
            }
        }
        return;
    }
    const int32_t step = count > 0 ? gsMoveNext : gsMovePrior;
    for (int64_t i = 0; i < (count > 0 ? count : -static_cast<int64_t>(count)); ++i) {
        GoRecord(step);
        if (Eof() || Bof()) break;
    }
}

// ---- writing ---------------------------------------------------------------------------

void GSO_dBHandler::RefuseUnlockedWrite() {
    platform::SetLastError(platform::kLockViolation);
    ReportError(platform::kLockViolation, gsSub::kWrite, RealPath());
}

void GSO_dBHandler::WithIndexFilesLocked(void (GSO_dBHandler::*write)(int32_t), int32_t n) {
    if (!LockIndexFiles()) {
        RefuseUnlockedWrite();
        return;
    }
    try {
        (this->*write)(n);
    } catch (...) {
        try {
            UnlockIndexFiles();
        } catch (const Exception&) {
            // The write's own error is the one to report.
        }
        throw;
    }
    UnlockIndexFiles();
}

void GSO_dBHandler::AddRecord() { WithIndexFilesLocked(&GSO_dBHandler::AppendBuffer, 0); }

void GSO_dBHandler::PutRecord(int32_t n) { WithIndexFilesLocked(&GSO_dBHandler::RewriteBuffer, n); }

void GSO_dBHandler::AppendBuffer(int32_t) { GSO_dBaseFld::AddRecord(); }

void GSO_dBHandler::RewriteBuffer(int32_t n) { GSO_dBaseFld::PutRecord(n); }

bool GSO_dBHandler::Notify(int code, int32_t argument) {
    GSO_dBaseFld::Notify(code, argument);
    if (code == gsNotify::kRecordWritten) {
        UpdateFilterBit();
        // While packing, records move down by number; the index files are rebuilt after.
        if (!packing_) {
            for (auto& f : slots_)
                if (f) f->UpdateTagsForRecord(RecordNumber(), argument == 0);
        }
    } else if (code == gsNotify::kFlushed) {
        WriteBackIndexes(false, true);
    }
    return true;
}

void GSO_dBHandler::FlushCompanions() { GSO_dBaseFld::FlushCompanions(); }

bool GSO_dBHandler::Rename(const std::string& newPath) { return GSO_dBaseFld::Rename(newPath); }

void GSO_dBHandler::RenameCompanions(const std::string& oldPath) {
    GSO_dBaseFld::RenameCompanions(oldPath);
    const std::string oldBase = platform::IdentityKey(platform::BaseNamePart(oldPath));
    const std::string newBase = platform::BaseNamePart(RealPath());
    for (auto& f : slots_) {
        if (!f || !f->Disk()) continue;
        const std::string own = f->Disk()->RealPath();
        if (platform::IdentityKey(platform::BaseNamePart(own)) != oldBase) continue;
        // The index file keeps its folder and takes the table's new name.
        f->RenameFile(platform::DirectoryPart(own) + newBase);
    }
}

void GSO_dBHandler::SetLockProtocol(int protocol) {
    GSO_dBaseFld::SetLockProtocol(protocol);
    if (protocol < 0 || protocol > 3) return;
    for (auto& f : slots_)
        if (f) f->SetLockProtocol(protocol);
}

// ---- packing ---------------------------------------------------------------------------

void GSO_dBHandler::PackTable() {
    if (IsShared()) ReportError(platform::kAccessDenied, gsSub::kPack, RealPath());
    const bool cacheWas = cacheActive_;
    SetReadAhead(false);
    SetReadAhead(true);
    const int32_t count = RecordCount();
    StatusReport(gsStatus::kStart, gsStatus::kPack, count);
    std::vector<int> memoFields;
    for (int n = 1; n <= FieldCount(); ++n) {
        if (IsMemoField(n) && HasMemo()) memoFields.push_back(n);
    }
    int32_t kept = 0;
    const std::string tagName = tagName_;
    DeselectTag();
    packing_ = true;
    struct Packing {
        bool& flag;
        ~Packing() { flag = false; }
    } packingEnds{packing_};
    for (int32_t r = 1; r <= count; ++r) {
        PlainGoRecord(r);
        if (!IsDeleted()) {
            ++kept;
            if (kept != r) PlainPutRecord(kept);
        } else {
            for (int n : memoFields) {
                // A damaged memo reference or memo file must not stop a pack half way
                // (records already moved down): its blocks are simply not reclaimed.
                try {
                    int32_t block = MemoBlockNumber(n);
                    if (block != 0) {
                        if (GSobjMemo* memo = MemoFile(n)) memo->MemoFree(block);
                    }
                } catch (const Exception&) {
                }
            }
        }
        StatusReport(gsStatus::kPack, r, 0);
    }
    if (kept < count) {
        SetRecordCount(kept);
        // The smaller count reaches the header before the file shrinks: a failure in
        // between leaves a header that counts fewer records than the file holds (the
        // packed ones), never more.
        MarkHeaderDirty();
        WriteHeader();
        const uint8_t eof = gsEndOfFile;
        WriteAt(RecordOffset(kept + 1), &eof, 1);
        TruncateAt(RecordOffset(kept + 1) + 1);
    }
    MarkHeaderDirty();
    // Written now rather than at close: readers that trust the stored count must not see
    // the old one if the program stops before closing the table.
    WriteHeader();
    StatusReport(gsStatus::kDone, 0, 0);
    packing_ = false;
    // Records moved to new numbers: the index files and the filter's bits are made anew.
    if (kept < count) {
        Reindex();
        if (filterHandler_ && filterBits_) ScanFilter();
    }
    if (!tagName.empty()) SelectTag(tagName, true);
    SetReadAhead(cacheWas);
    GoRecord(gsMoveTop);
}

#include "engine/dBaseDBF.h"

#include <cstring>

#include "engine/ErrorCodes.h"
#include "engine/platform/LastError.h"
#include "engine/Exception.h"
#include "engine/platform/Assert.h"
#include "engine/platform/Clock.h"
#include "engine/platform/Paths.h"
#include "engine/platform/SystemCodes.h"

namespace {

std::string TablePath(const std::string& path) {
    size_t b = path.find_first_not_of(' ');
    size_t e = path.find_last_not_of(' ');
    std::string p = b == std::string::npos ? std::string() : path.substr(b, e - b + 1);
    if (platform::ExtensionPart(p).empty()) p += ".DBF";
    return p;
}

}  // namespace

GSO_dBaseDBF::GSO_dBaseDBF(const std::string& path, bool readWrite, bool shared)
    : GSO_DiskFile(TablePath(path), readWrite, shared) {}

GSO_dBaseDBF::~GSO_dBaseDBF() {
    try {
        GSO_dBaseDBF::CloseTable();
    } catch (...) {
        // Destruction cannot report; CloseTable callers see its errors.
    }
}

void GSO_dBaseDBF::OpenTable() {
    Open();
    try {
        SetLockProtocol(static_cast<int>(TgsLokProtocol::Default));
        layout_.Read(*this);
        flagBits_ = layout_.header.FlagBits();
        eof_ = false;
        bof_ = true;
        recNo_ = 0;
        const size_t len = RecordLength();
        ownBuffer_.assign(len + 1, ' ');
        ownBuffer_[len] = 0x1A;
        saved_.assign(len + 1, ' ');
        curBuf_ = ownBuffer_.data();
        unread_ = 0;
        headerDirty_ = tableLocked_ = exactMatch_ = false;
        useDeleted_ = true;
        userId_ = 0;
        mode_ = gsModeNormal;
        opened_ = true;
        RefreshHeader();
        Notify(gsNotify::kOpened, 0);
        AfterOpen();
    } catch (...) {
        opened_ = false;
        GSO_DiskFile::Close();
        throw;
    }
}

void GSO_dBaseDBF::AfterOpen() {}

void GSO_dBaseDBF::CloseTable() {
    if (!opened_) return;
    opened_ = false;
    struct Closer {
        GSO_dBaseDBF* t;
        ~Closer() {
            t->unread_ = 0;
            t->ownBuffer_.clear();
            t->saved_.clear();
            t->curBuf_ = nullptr;
            t->GSO_DiskFile::Close();
        }
    } closer{this};
    if (headerDirty_ && IsReadWrite()) {
        tableLocked_ = false;
        RefreshHeader();
        WriteHeader();
    }
}

std::string GSO_dBaseDBF::TableName() const { return platform::BaseNamePart(RealPath()); }

void GSO_dBaseDBF::SetCurrentBuffer(uint8_t* buffer) {
    ReadIfUnread();  // the record left unread belongs in the buffer being left
    curBuf_ = buffer ? buffer : ownBuffer_.data();
    XB_ASSERT(!opened_ || curBuf_ != nullptr);
}

void GSO_dBaseDBF::SetDeferredReads(bool on) {
    ReadIfUnread();
    deferReads_ = on;
}

void GSO_dBaseDBF::ReadUnread() const {
    // Called through the const accessors of the buffer; the bytes it reads are the ones
    // the movement would have read, so the object's visible state does not change.
    auto* self = const_cast<GSO_dBaseDBF*>(this);
    XB_ASSERT(unread_ == recNo_ && curBuf_ == ownBuffer_.data() && !IsShared());
    // A failed read keeps the record unread: every later use of the buffer raises the
    // error again, so no write can store the bytes of the record moved away from.
    self->ReadRecordInto(unread_);
    unread_ = 0;
    self->SaveBuffer();
}

void GSO_dBaseDBF::SaveBuffer() {
    ReadIfUnread();
    XB_ASSERT(curBuf_ != nullptr && saved_.size() > RecordLength());
    std::memcpy(saved_.data(), curBuf_, RecordLength());
}

void GSO_dBaseDBF::RefreshHeader() {
    if (!IsShared()) return;
    layout_.Refresh(*this);
}

void GSO_dBaseDBF::WriteHeader() {
    if (!IsReadWrite() || !headerDirty_ || tableLocked_) return;
    layout_.header.Stamp(static_cast<uint32_t>(layout_.recordCount), flagBits_, userId_,
                         platform::Now());
    WriteAt(0, layout_.header.bytes, gsHeaderSize);
    headerDirty_ = false;
}

void GSO_dBaseDBF::SetProductionIndex(bool on) {
    const uint8_t bits = on ? static_cast<uint8_t>(flagBits_ | gsFlagProductionIndex)
                            : static_cast<uint8_t>(flagBits_ & ~gsFlagProductionIndex);
    if (bits == flagBits_) return;
    flagBits_ = bits;
    if (!opened_ || !IsReadWrite()) return;
    headerDirty_ = true;
    RefreshHeader();
    WriteHeader();
}

bool GSO_dBaseDBF::Notify(int code, int32_t) {
    if (code == gsNotify::kRecordRead || code == gsNotify::kRecordWritten) mode_ = gsModeNormal;
    return true;
}

void GSO_dBaseDBF::StatusReport(int, int, int) {}

void GSO_dBaseDBF::ReadRecordInto(int32_t n) {
    XB_ASSERT(opened_ && curBuf_ != nullptr);
    XB_ASSERT(n >= 1 && n <= layout_.recordCount);
    ReadExactly(RecordOffset(n), curBuf_, RecordLength(), gsSub::kRecord);
}

void GSO_dBaseDBF::GoRecord(int32_t n) { PlainGoRecord(n); }

void GSO_dBaseDBF::PlainGoRecord(int32_t n) {
    if (layout_.recordCount == 0) {
        RefreshHeader();
        if (layout_.recordCount == 0) {
            eof_ = bof_ = true;
            return;
        }
    }
    if (n == 0) return;
    eof_ = bof_ = false;
    int32_t target;
    switch (n) {
        case gsMoveNext: target = recNo_ + 1; break;
        case gsMovePrior:
            if (recNo_ <= 1) {
                bof_ = true;
                return;
            }
            target = recNo_ - 1;
            break;
        case gsMoveTop: target = 1; break;
        case gsMoveBottom: target = layout_.recordCount; break;
        case gsMoveReread: target = recNo_; break;
        default:
            if (n < 0) ReportError(gsErr::kBeyondEof, gsSub::kRecord, RealPath());
            target = n;
    }
    if (target < 1) return;  // re-reading before any record was read
    if (target > layout_.recordCount) {
        RefreshHeader();
        if (target > layout_.recordCount) {
            if (target == layout_.recordCount + 1) {
                eof_ = true;
                return;
            }
            ReportError(gsErr::kBeyondEof, gsSub::kRecord, RealPath());
        }
    }
    Notify(gsNotify::kBeforeRead, n);
    // No other program may change a file opened exclusively, so the read can wait for
    // the record's first use; a seek or skip that only looks at the index never reads it.
    if (deferReads_ && !IsShared() && curBuf_ == ownBuffer_.data()) {
        unread_ = target;
        recNo_ = target;
        Notify(gsNotify::kRecordRead, target);
        return;
    }
    XB_ASSERT(unread_ == 0);
    ReadRecordInto(target);
    recNo_ = target;
    XB_ASSERT(!eof_ && !bof_);
    Notify(gsNotify::kRecordRead, target);
    SaveBuffer();
}

bool GSO_dBaseDBF::AcquireAppendLock(bool& systemLockHeld) {
    systemLockHeld = false;
    if (tableLocked_) return true;
    if (!IsShared()) return LockHeader();
    if (LockCount() == 0) return WaitForLock([&] { return LockHeader(); });
    // This object already holds a record lock: take the header byte beside it.
    systemLockHeld = true;
    return WaitForLock([&] { return SystemLockRange(lockConst_.HeaderOffset(), 1) == 0; });
}

void GSO_dBaseDBF::ReleaseAppendLock(bool systemLockHeld) {
    if (systemLockHeld) {
        SystemUnlockRange(lockConst_.HeaderOffset(), 1);
    } else if (!tableLocked_) {
        Unlock();
    }
}

void GSO_dBaseDBF::AddRecord() { PlainAddRecord(); }

void GSO_dBaseDBF::PlainAddRecord() {
    bool systemLock = false;
    const bool tableLockedBefore = tableLocked_;
    if (!AcquireAppendLock(systemLock)) {
        ReportError(LastError() ? LastError() : platform::kLockViolation, gsSub::kWrite, RealPath());
    }
    try {
        std::lock_guard<std::recursive_mutex> guard(CriticalSection());
        ReadIfUnread();
        XB_ASSERT(opened_ && curBuf_ != nullptr);
        Notify(gsNotify::kBeforeWrite, 0);
        RefreshHeader();
        curBuf_[0] = ' ';
        const int32_t newCount = layout_.recordCount + 1;
        const size_t len = RecordLength();
        std::vector<uint8_t> image(len + 1);
        std::memcpy(image.data(), curBuf_, len);
        image[len] = 0x1A;
        WriteAt(RecordOffset(newCount), image.data(), static_cast<int32_t>(len + 1));
        layout_.recordCount = newCount;
        recNo_ = newCount;
        XB_ASSERT(layout_.recordCount >= 1);
        headerDirty_ = true;
        WriteHeader();
    } catch (...) {
        if (!tableLockedBefore) ReleaseAppendLock(systemLock);
        throw;
    }
    if (!tableLockedBefore) ReleaseAppendLock(systemLock);
    eof_ = bof_ = false;
    Notify(gsNotify::kRecordWritten, 0);
    SaveBuffer();
}

void GSO_dBaseDBF::PutRecord(int32_t n) { PlainPutRecord(n); }

void GSO_dBaseDBF::PlainPutRecord(int32_t n) {
    ReadIfUnread();
    Notify(gsNotify::kBeforeWrite, n);
    if (n > layout_.recordCount) RefreshHeader();  // another program may have appended
    if (n <= 0 || n > layout_.recordCount) {
        AddRecord();
        return;
    }
    XB_ASSERT(opened_ && curBuf_ != nullptr);
    XB_ASSERT(n >= 1 && n <= layout_.recordCount);
    headerDirty_ = true;
    WriteAt(RecordOffset(n), curBuf_, RecordLength());
    recNo_ = n;
    RefreshHeader();
    WriteHeader();
    Notify(gsNotify::kRecordWritten, n);
    SaveBuffer();
}

bool GSO_dBaseDBF::LockRegionNoWait(uint32_t offset, uint32_t length) {
    return LockRegion(offset, length);
}

bool GSO_dBaseDBF::LockRecord() {
    if (tableLocked_) return true;
    uint32_t offset = 0;
    if (!lockConst_.RecordRegion(protocol_, recNo_, HasIndexFiles(), HeaderLength(),
                                 RecordLength(), offset)) {
        return false;
    }
    return LockRegionNoWait(offset, 1);
}

bool GSO_dBaseDBF::LockHeader() {
    if (tableLocked_) return true;
    return LockRegionNoWait(lockConst_.HeaderOffset(), 1);
}

bool GSO_dBaseDBF::LockTable() {
    if (tableLocked_) return true;
    if (!LockRegionNoWait(lockConst_.tableOffset, lockConst_.tableLength)) return false;
    tableLocked_ = true;
    RefreshHeader();
    return true;
}

bool GSO_dBaseDBF::LockTableFromStart() {
    if (tableLocked_) return true;
    if (!LockRegionNoWait(0, lockConst_.tableLength)) return false;
    tableLocked_ = true;
    RefreshHeader();
    return true;
}

bool GSO_dBaseDBF::Unlock() {
    bool ok = UnlockRegion();
    if (ok && LockCount() == 0 && tableLocked_) {
        tableLocked_ = false;
        if (headerDirty_) WriteHeader();
    }
    return ok;
}

void GSO_dBaseDBF::SetLockProtocol(int protocol) {
    protocol_ = protocol;
    lockConst_.SetFor(protocol);
}

bool GSO_dBaseDBF::HasIndexFiles() { return false; }

void GSO_dBaseDBF::Flush() {
    GSO_DiskFile::Flush();
    FlushCompanions();
    Notify(gsNotify::kFlushed, recNo_);
}

bool GSO_dBaseDBF::Rename(const std::string& newPath) {
    const std::string oldPath = RealPath();
    GSO_DiskFile::Rename(TablePath(newPath));
    RenameCompanions(oldPath);
    return true;
}

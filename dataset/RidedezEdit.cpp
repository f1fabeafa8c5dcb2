// Editing, appending, deleting and packing in a TRidedezDataSet.
#include <cstring>

#include "dataset/ApplicationErrors.h"
#include "dataset/Bookmark.h"
#include "dataset/HCBlobStream.h"
#include "dataset/Messages.h"
#include "dataset/RidedezDataSet.h"

namespace {

// Switches the table object's use-deleted flag on for the lifetime of the object.
class ShowDeleted {
public:
    ShowDeleted(GSO_dBaseDBF& table, bool restoreTo) : table_(table), restore_(restoreTo) { table.SetUseDeleted(true); }
    ~ShowDeleted() { table_.SetUseDeleted(restore_); }

private:
    GSO_dBaseDBF& table_;
    bool restore_;
};

}  // namespace

void TRidedezDataSet::InternalInitRecord(uint8_t* buffer) {
    DBFObject& t = OpenTable();
    pendingMemos_.clear();
    TRecordPointer at(t, buffer);
    t.BlankRecord();
    if (State() != TDataSetState::dsEdit) t.SaveCurrentAsCopy();
    ClearCalcFields(buffer);
    SetBufferRecNo(buffer, 0);
}

// ---- memos of the record being edited ----------------------------------------------------

const std::string* TRidedezDataSet::PendingMemo(int fieldNo, const uint8_t* buffer) const {
    if (pendingMemos_.empty()) return nullptr;
    const TDataSetState s = State();
    if ((s != TDataSetState::dsEdit && s != TDataSetState::dsInsert) || buffer != ActiveBuffer()) return nullptr;
    const auto it = pendingMemos_.find(fieldNo);
    return it == pendingMemos_.end() ? nullptr : &it->second;
}

void TRidedezDataSet::SetPendingMemo(int fieldNo, std::string text) { pendingMemos_[fieldNo] = std::move(text); }

void TRidedezDataSet::PostWithMemos(uint8_t* buffer, const std::function<void()>& write) {
    DBFObject& t = OpenTable();
    std::map<int, std::string> pending;
    pending.swap(pendingMemos_);
    struct Change {
        int field;
        int32_t oldBlock;
        int32_t newBlock;
    };
    std::vector<Change> changes;
    TRecordPointer at(t, buffer);
    try {
        for (const auto& [n, text] : pending) {
            const int32_t oldBlock = t.MemoBlockNumber(n);
            const int32_t newBlock = t.MemoWriteNew(n, text.data(), static_cast<int32_t>(text.size()));
            changes.push_back({n, oldBlock, newBlock});
            t.MemoSetBlock(n, newBlock);
        }
        write();
    } catch (...) {
        // The record was not written, so nothing refers to the new memos: the record image
        // gets its old numbers back and the new blocks are given back as far as that
        // goes (a failure here leaves at worst an unreferenced block; the first error is
        // the one reported). The texts stay pending for another Post.
        for (auto c = changes.rbegin(); c != changes.rend(); ++c) {
            try {
                t.MemoSetBlock(c->field, c->oldBlock);
                t.MemoRelease(c->field, c->newBlock);
            } catch (const std::exception&) {
            }
        }
        pendingMemos_.swap(pending);
        throw;
    }
    // The record now refers to the new memos: the old blocks are free to go. A failure
    // to release them loses nothing, and the record stays posted; it is reported.
    for (const Change& c : changes) {
        if (c.oldBlock == 0 || c.oldBlock == c.newBlock) continue;
        try {
            t.MemoRelease(c.field, c.oldBlock);
        } catch (const std::exception& e) {
            HandleApplicationException(e);
        }
    }
}

// ---- posting and cancelling ------------------------------------------------------------------

void TRidedezDataSet::InternalAddRecord(uint8_t* buffer, bool) {
    DBFObject& t = OpenTable();
    PostWithMemos(buffer, [&t] { t.AddRecord(); });
    t.Unlock();
    editing_ = false;
    firstPending_ = lastPending_ = false;
}

void TRidedezDataSet::InternalPost() {
    DBFObject& t = OpenTable();
    uint8_t* active = ActiveBuffer();
    if (State() == TDataSetState::dsEdit) {
        const int32_t recNo = BufferRecNo(active);
        PostWithMemos(active, [&t, recNo] { t.PutRecord(recNo); });
    } else {
        PostWithMemos(active, [&t] { t.AddRecord(); });
    }
    t.Unlock();
    editing_ = false;
    firstPending_ = lastPending_ = false;
}

void TRidedezDataSet::InternalEdit() {
    DBFObject& t = OpenTable();
    uint8_t* active = ActiveBuffer();
    const int32_t recNo = BufferRecNo(active);
    TRecordPointer at(t, active);
    // Lock first and read after: a change another program makes before the lock is
    // taken is then in the image that Post writes back.
    LockRecordAt(recNo);
    try {
        t.GoRecord(recNo);
    } catch (...) {
        t.Unlock();
        throw;
    }
    pendingMemos_.clear();
    editing_ = true;
}

void TRidedezDataSet::InternalCancel() {
    pendingMemos_.clear();
    if (table_) table_->Unlock();
    editing_ = false;
}

void TRidedezDataSet::LockRecordAt(int32_t recNo) {
    DBFObject& t = *table_;
    // The lock region follows the table object's record number: position it on its own
    // buffer, so that the caller's image is read only once the lock is held.
    {
        TRecordPointer own(t, nullptr);
        t.GoRecord(recNo);
    }
    if (!t.LockRecord()) DatabaseError(dsmsg::kRecordLocked);
}

// Runs `change` (DeleteRecord or RecallRecord) on the record in `buffer` with deleted
// records reachable, under the record's lock and on an image read under it, so that
// neither another program's change nor a stale image is written back.
void TRidedezDataSet::ChangeMark(uint8_t* buffer, const char* failure, void (DBFObject::*change)()) {
    DBFObject& t = OpenTable();
    const int32_t recNo = BufferRecNo(buffer);
    TRecordPointer at(t, buffer);
    ShowDeleted show(t, useDeleted_);
    try {
        LockRecordAt(recNo);
    } catch (const EDatabaseError&) {
        throw;
    } catch (const std::exception&) {
        DatabaseError(failure);
    }
    try {
        t.GoRecord(recNo);
        (t.*change)();
    } catch (const std::exception&) {
        t.Unlock();
        DatabaseError(failure);
    }
    t.Unlock();
}

void TRidedezDataSet::InternalDelete() {
    ChangeMark(ActiveBuffer(), dsmsg::kCannotDelete, &DBFObject::DeleteRecord);
    GoOwn(gsMoveReread);
    if (table_->Eof()) GoOwn(gsMovePrior);
    firstPending_ = lastPending_ = false;
}

void TRidedezDataSet::Recall() {
    OpenTable();
    CheckBrowseMode();
    if (!HasRecord()) DatabaseError(dsmsg::kDataSetEmpty);
    CheckCanModify();
    uint8_t* active = ActiveBuffer();
    ChangeMark(active, dsmsg::kCannotRecall, &DBFObject::RecallRecord);
    GoOwn(BufferRecNo(active));
    Resync();
}

void TRidedezDataSet::Pack() {
    DBFObject& t = OpenTable();
    CheckBrowseMode();
    t.AllowReadAhead(false);
    TRecordPointer own(t, nullptr);
    t.PackTable();
}

std::unique_ptr<TBlobStream> TRidedezDataSet::CreateBlobStream(TField& field, TBlobStreamMode mode) {
    OpenTable();
    if (!field.IsBlob()) DatabaseErrorFmt(dsmsg::kNotBlobField, field.DisplayName());
    return std::make_unique<THCBlobStream>(*this, field, mode);
}

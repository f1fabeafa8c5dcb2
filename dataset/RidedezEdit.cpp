// Editing, appending, deleting and packing in a TRidedezDataSet.
#include <cstring>

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
    TRecordPointer at(t, buffer);
    t.BlankRecord();
    if (State() != TDataSetState::dsEdit) t.SaveCurrentAsCopy();
    ClearCalcFields(buffer);
    SetBufferRecNo(buffer, 0);
    WriteBookmark(buffer + bookmarkOffset_, 0);
}

void TRidedezDataSet::InternalAddRecord(uint8_t* buffer, bool) {
    DBFObject& t = OpenTable();
    {
        TRecordPointer at(t, buffer);
        t.AddRecord();
    }
    t.Unlock();
    editing_ = false;
    firstPending_ = lastPending_ = false;
}

void TRidedezDataSet::InternalPost() {
    DBFObject& t = OpenTable();
    uint8_t* active = ActiveBuffer();
    {
        TRecordPointer at(t, active);
        if (State() == TDataSetState::dsEdit) {
            t.PutRecord(BufferRecNo(active));
        } else {
            t.AddRecord();
        }
    }
    t.Unlock();
    editing_ = false;
    firstPending_ = lastPending_ = false;
}

void TRidedezDataSet::InternalEdit() {
    DBFObject& t = OpenTable();
    uint8_t* active = ActiveBuffer();
    TRecordPointer at(t, active);
    t.GoRecord(BufferRecNo(active));
    if (!t.LockRecord()) DatabaseError(dsmsg::kRecordLocked);
    editing_ = true;
}

void TRidedezDataSet::InternalCancel() {
    if (table_) table_->Unlock();
    editing_ = false;
}

void TRidedezDataSet::InternalDelete() {
    DBFObject& t = OpenTable();
    uint8_t* active = ActiveBuffer();
    {
        TRecordPointer at(t, active);
        ShowDeleted show(t, useDeleted_);
        try {
            // Read the record afresh so that the mark does not write back a stale image.
            t.GoRecord(BufferRecNo(active));
            t.DeleteRecord();
        } catch (const std::exception&) {
            DatabaseError(dsmsg::kCannotDelete);
        }
    }
    GoOwn(gsMoveReread);
    if (t.Eof()) GoOwn(gsMovePrior);
    firstPending_ = lastPending_ = false;
}

void TRidedezDataSet::Recall() {
    DBFObject& t = OpenTable();
    CheckBrowseMode();
    if (!HasRecord()) DatabaseError(dsmsg::kDataSetEmpty);
    CheckCanModify();
    uint8_t* active = ActiveBuffer();
    {
        TRecordPointer at(t, active);
        ShowDeleted show(t, useDeleted_);
        try {
            t.GoRecord(BufferRecNo(active));
            t.RecallRecord();
        } catch (const std::exception&) {
            DatabaseError(dsmsg::kCannotRecall);
        }
    }
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

#pragma once
// TDataSet: the dataset framework. It keeps the state, the fields, the record buffers and
// the Eof/Bof bookkeeping, runs the before/after events and calculated fields, and turns
// the cursor and editing operations into calls of the Internal... operations that a
// concrete dataset supplies. One buffer holds the active record; a spare one receives the
// next or prior record (so a failed move leaves the active record untouched) and a third
// parks the active record while a new one is inserted.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dataset/BlobStream.h"
#include "dataset/DataSource.h"
#include "dataset/DatabaseError.h"
#include "dataset/Field.h"
#include "dataset/FieldTypes.h"

using TBookmark = std::string;  // empty: no bookmark

// Raised to end an operation without an error message (an error event chose daAbort).
class EAbort : public Exception {
public:
    EAbort() : Exception("Operation aborted") {}
};

class TDataSet {
public:
    using TEvent = std::function<void(TDataSet&)>;
    using TErrorEvent = std::function<void(TDataSet&, const EDatabaseError&, TDataAction&)>;
    using TFilterEvent = std::function<void(TDataSet&, bool& accept)>;

    TDataSet();
    virtual ~TDataSet();
    TDataSet(const TDataSet&) = delete;
    TDataSet& operator=(const TDataSet&) = delete;

    // ---- opening and closing
    void Open();
    void Close();
    bool Active() const { return state_ != TDataSetState::dsInactive; }
    void SetActive(bool on);
    TDataSetState State() const { return state_; }

    // ---- the cursor
    void First();
    void Last();
    void Next();
    void Prior();
    // Moves by `distance` records (negative: backwards); answers the records moved.
    int MoveBy(int distance);
    bool Eof() const { return eof_; }
    bool Bof() const { return bof_; }
    bool IsEmpty() const { return !hasRecord_; }
    virtual int32_t RecordCount() = 0;
    virtual int32_t RecNo() = 0;
    virtual void SetRecNo(int32_t recNo) = 0;
    // Re-reads the current record from the file.
    void Refresh();

    // ---- fields
    int FieldCount() const { return static_cast<int>(fields_.size()); }
    TField& Field(int index) const;  // from 0
    TField* FindField(const std::string& name) const;
    TField& FieldByName(const std::string& name) const;
    // Persistent fields, added while closed: data fields are bound by name at opening.
    TField& AddField(const std::string& name, TFieldType type, int size = 0);
    TField& AddCalculatedField(const std::string& name, TFieldType type, int size = 0);
    // The definitions of the table's fields (read from the table when closed).
    const TFieldDefs& FieldDefs();

    // ---- editing
    void Append();
    void Insert();
    void Edit();
    void Post();
    void Cancel();
    void Delete();
    void AppendRecord(const std::vector<TFieldValue>& values);
    void InsertRecord(const std::vector<TFieldValue>& values);
    // Posts a pending edit or insert that changed anything, cancels one that did not.
    void CheckBrowseMode();
    bool Modified() const { return modified_; }
    virtual bool CanModify() const { return true; }

    // ---- bookmarks
    TBookmark GetBookmark();
    void GotoBookmark(const TBookmark& bookmark);
    // <0, 0 or >0; an absent (empty) bookmark is less than any other.
    virtual int CompareBookmarks(const TBookmark& a, const TBookmark& b) const;

    virtual std::unique_ptr<TBlobStream> CreateBlobStream(TField& field, TBlobStreamMode mode) = 0;
    // Text translation of text and memo fields; the framework's own copies unchanged.
    virtual std::string Translate(const std::string& text, bool toOem) const;
    virtual void TranslateInPlace(std::string& text, bool toOem) const;

    bool autoCalcFields = true;

    // ---- events
    TEvent beforeOpen, afterOpen, beforeClose, afterClose, beforeInsert, afterInsert, beforeEdit,
        afterEdit, beforePost, afterPost, beforeCancel, afterCancel, beforeDelete, afterDelete,
        beforeScroll, afterScroll, onCalcFields, onNewRecord;
    TErrorEvent onDeleteError, onEditError, onPostError;
    TFilterEvent onFilterRecord;

    // ---- used by the fields
    TFieldValue ReadFieldValue(const TField& field);
    TFieldValue ReadOldFieldValue(const TField& field);
    // The field's value of the active record as text, as AsString gives it: the text of
    // its value. A dataset that can write the text straight from the record overrides
    // this; the text must be the same either way.
    virtual std::string ReadFieldText(const TField& field);
    void WriteFieldValue(TField& field, const TFieldValue& value);
    // Marks the record modified and signals the field's change event.
    void FieldChanged(TField& field);

    // ---- the data sources that show this dataset (a source registers itself)
    void AddSource(TDataSource* source);
    void RemoveSource(TDataSource* source);

protected:
    // ---- what a concrete dataset supplies
    virtual void InternalOpen() = 0;  // opens the cursor, builds and binds the fields
    virtual void InternalClose() = 0;
    virtual void InternalInitFieldDefs() = 0;
    virtual bool IsCursorOpen() const = 0;
    virtual void InternalFirst() = 0;
    virtual void InternalLast() = 0;
    virtual TGetResult GetRecord(uint8_t* buffer, TGetMode mode, bool doCheck) = 0;
    virtual size_t RecordBufferSize() const = 0;
    virtual void InternalInitRecord(uint8_t* buffer) = 0;
    virtual void InternalAddRecord(uint8_t* buffer, bool append) = 0;
    virtual void InternalPost() = 0;
    virtual void InternalEdit() = 0;
    virtual void InternalCancel() = 0;
    virtual void InternalDelete() = 0;
    virtual void InternalRefresh() = 0;
    // Moves the cursor to the record held in `buffer`.
    virtual void InternalSetToRecord(uint8_t* buffer) = 0;
    // Whether the cursor stands on the record held in `buffer`.
    virtual bool CursorOnRecord(const uint8_t* buffer) const = 0;
    virtual void InternalGotoBookmark(const TBookmark& bookmark) = 0;
    virtual TBookmark GetBookmarkData(const uint8_t* buffer) const = 0;
    virtual TBookmarkFlag GetBookmarkFlag(const uint8_t* buffer) const = 0;
    virtual void SetBookmarkFlag(uint8_t* buffer, TBookmarkFlag flag) = 0;
    // The value of a field of the active record; false for null.
    virtual bool GetFieldData(const TField& field, TFieldValue& value) = 0;
    virtual void SetFieldData(TField& field, const TFieldValue& value) = 0;
    virtual void ClearCalcFields(uint8_t* buffer) = 0;

    // ---- services for the concrete dataset
    uint8_t* ActiveBuffer() const { return buffers_.empty() ? nullptr : const_cast<uint8_t*>(buffers_[active_].data()); }
    uint8_t* CalcBuffer() const { return calcBuffer_; }
    bool HasRecord() const { return hasRecord_; }
    void SetState(TDataSetState state) { state_ = state; }
    void CheckActive() const;
    void CheckInactive() const;
    void CheckCanModify() const;
    // Re-reads the active buffer around the cursor's current record.
    void Resync();
    // Fills the calculated fields of `buffer` through OnCalcFields.
    void GetCalcFields(uint8_t* buffer);
    size_t CalcFieldsSize() const { return calcFieldsSize_; }
    bool HasCalcFields() const { return calcFieldsSize_ > 0; }
    void DoBeforeScroll() { Fire(beforeScroll); }
    void DoAfterScroll() { Fire(afterScroll); }
    // Creates the default fields from the definitions, or binds the persistent ones.
    void CreateAndBindFields();
    void DestroyDefaultFields();
    TFieldDefs& MutableFieldDefs() { return fieldDefs_; }
    // Runs an operation; EDatabaseError goes to the error event, which may retry it.
    void CheckOperation(const std::function<void()>& op, const TErrorEvent& onError);
    void Fire(const TEvent& e) {
        if (e) e(*this);
    }
    // Tells every data source (and through them the links) what happened.
    void DataEvent(TDataEvent event, TField* field = nullptr);

private:
    void BeginInsertAppend(bool append);
    void FetchFirst();
    void SyncCursor();
    // The whole contents of a memo or blob field of the active record.
    std::string ReadBlobText(const TField& field);
    void AllocateBuffers();
    void FreeBuffers();
    void SetFields(const std::vector<TFieldValue>& values);
    // Appends (or inserts) a record holding `values`, posting it at once.
    void AddRecordWith(const std::vector<TFieldValue>& values, bool append);

    TDataSetState state_ = TDataSetState::dsInactive;
    std::vector<std::unique_ptr<TField>> fields_;
    size_t persistentCount_ = 0;
    TFieldDefs fieldDefs_;
    size_t calcFieldsSize_ = 0;
    std::vector<std::vector<uint8_t>> buffers_;
    size_t active_ = 0, spare_ = 1, parked_ = 2;
    uint8_t* calcBuffer_ = nullptr;
    bool hasRecord_ = false;
    bool parkedHadRecord_ = false;
    bool eof_ = true;
    bool bof_ = true;
    bool modified_ = false;
    std::vector<TDataSource*> sources_;
};

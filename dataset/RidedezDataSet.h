#pragma once
// TRidedezDataSet: one DBF table as a dataset. While open it owns a DBFObject, which
// reads and writes records directly in the dataset's record buffers. A buffer holds the
// record image as in the file, the calculated fields, the record number with its bookmark
// flag, and the 11-byte bookmark.
//
// Typical use (the program's name table):
//     TRidedezDataSet names;
//     names.SetTableName("NAME.DBF");
//     names.SetExclusive(true);           // TranslateASCII is on by default
//     names.Open();
//     for (names.First(); !names.Eof(); names.Next()) use(names.FieldByName("Name").AsString());
//     names.AppendRecord({Text("Асель")});
//     names.First(); names.Delete(); names.Pack();

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "dataset/DBFObject.h"
#include "dataset/DataSet.h"
#include "dataset/DataSource.h"
#include "engine/LockProtocol.h"

enum class TFilterOption { foCaseInsensitive = 1, foNoPartialCompare = 2 };
using TFilterOptions = unsigned;  // bits of TFilterOption
inline constexpr TFilterOptions operator|(TFilterOption a, TFilterOption b) {
    return static_cast<unsigned>(a) | static_cast<unsigned>(b);
}

enum class TLocateOption { loCaseInsensitive = 1, loPartialKey = 2 };
using TLocateOptions = unsigned;  // bits of TLocateOption
inline constexpr bool Has(unsigned options, TFilterOption o) { return options & static_cast<unsigned>(o); }
inline constexpr bool Has(unsigned options, TLocateOption o) { return options & static_cast<unsigned>(o); }

class TRidedezDataSet : public TDataSet {
public:
    using TStatusEvent = std::function<void(int32_t stat1, int32_t stat2, int32_t stat3)>;
    using TFormulaEvent = std::function<void(const std::string& who, const std::string& st, std::string& rsl,
                                             char& typ, bool& chg, bool& tf)>;

    TRidedezDataSet();
    ~TRidedezDataSet() override;

    // ---- published properties
    std::string About() const;
    void SetAbout(const std::string&) {}
    const std::string& DatabaseName() const { return databaseName_; }
    void SetDatabaseName(const std::string& value);
    bool ExactCount() const { return exactCount_; }
    void SetExactCount(bool on) { exactCount_ = on; }
    bool Exclusive() const { return exclusive_; }
    void SetExclusive(bool on);
    // The filter: an xBase expression that a record must make true, and OnFilterRecord.
    const std::string& Filter() const { return filter_; }
    void SetFilter(const std::string& expression);
    bool Filtered() const { return filtered_; }
    void SetFiltered(bool on);
    TFilterOptions FilterOptions() const { return filterOptions_; }
    void SetFilterOptions(TFilterOptions options);
    // Index files opened with the table: a name without extension gets ".NDX"; a
    // relative name is taken in the table's directory.
    const std::vector<std::string>& IndexFiles() const { return indexFiles_; }
    void SetIndexFiles(const std::vector<std::string>& files);
    // The selected tag (empty: record-number order).
    const std::string& IndexName() const { return indexName_; }
    void SetIndexName(const std::string& name);
    TgsLokProtocol LockProtocol() const { return lockProtocol_; }
    void SetLockProtocol(TgsLokProtocol protocol);
    const std::string& MasterFields() const { return masterFields_; }
    void SetMasterFields(const std::string& fields);
    TDataSource* MasterSource() const { return masterSource_; }
    void SetMasterSource(TDataSource* source);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool on);
    const std::string& TableName() const { return tableName_; }
    void SetTableName(const std::string& name);
    bool TranslateASCII() const { return translateASCII_; }
    void SetTranslateASCII(bool on) { translateASCII_ = on; }
    bool UseDeleted() const { return useDeleted_; }
    void SetUseDeleted(bool on);
    int32_t UserID() const { return userId_; }
    void SetUserID(int32_t id);

    TStatusEvent onStatus;
    TFormulaEvent onFormula;

    // ---- operations
    int32_t RecordCount() override;
    int32_t RecNo() override;
    void SetRecNo(int32_t recNo) override;
    void Recall();
    void Pack();
    bool CanModify() const override { return !readOnly_; }
    bool IsSequenced() const { return indexName_.empty() && !filtered_; }
    // Copies the current record image into `buffer` (RecordLength bytes); false when the
    // dataset is empty or the active buffer holds no current record.
    bool GetCurrentRecord(uint8_t* buffer);
    std::unique_ptr<TBlobStream> CreateBlobStream(TField& field, TBlobStreamMode mode) override;
    std::string Translate(const std::string& text, bool toOem) const override;
    void TranslateInPlace(std::string& text, bool toOem) const override;
    // The buffer form: the zero-terminated `source` into `destination` (at least as
    // long); a null source gives an empty destination. Always 0.
    int Translate(const char* source, char* destination, bool toOem) const;

    // Reads records without moving the cursor, for views that fetch rows as they need
    // them: from physical record `from` on, each visible record (at most `maxCount`) is
    // read and `visit(recNo)` is called; inside it the fields show that record. `visit`
    // answers false to stop. Answers the number of records visited.
    int32_t ScanRecords(int32_t from, int32_t maxCount, const std::function<bool(int32_t recNo)>& visit);
    // The same in the dataset's order (its tag, range and filter): the visible records
    // that follow record `after` (0: from the first), at most `maxCount` of them.
    int32_t ScanInOrder(int32_t after, int32_t maxCount, const std::function<bool(int32_t recNo)>& visit);

    // ---- index tags, ranges and searches (all need an open dataset)
    // Tags are numbered from 1 through the open index files in order.
    int IndexTagCount();
    // Name, key expression and FOR condition of tag n; empty when there is no tag n.
    std::string IndexTagName(int n);
    std::string IndexTagExpression(int n);
    std::string IndexTagCondition(int n);
    // The selected tag's name, empty in record-number order.
    std::string CurrentTagName();
    // Narrows the dataset to the keys from `low` to `high` of the selected tag and moves
    // to the first record; both empty removes the range. Nothing is narrowed without a
    // selected tag.
    void SetRange(const std::string& low, const std::string& high);
    // Moves to the first record whose field `keyFields` holds `keyValues`; answers
    // whether there was one (the cursor stays otherwise). Through an index tag on that
    // field when there is one, by reading the records otherwise.
    bool Locate(const std::string& keyFields, const TFieldValue& keyValues, TLocateOptions options);
    // The display text of field `resultFields` of the first record whose field
    // `keyFields` holds `keyValues`, without moving: Null when none does, false when the
    // table has no records.
    TFieldValue Lookup(const std::string& keyFields, const TFieldValue& keyValues, const std::string& resultFields);

    // The table object while open (null when closed).
    DBFObject* Table() const { return table_.get(); }
    // The full name of the table file: table directory + TableName.
    std::string TablePath() const;

    // ---- hooks of the table object
    void StatusReport(int stat1, int stat2, int stat3);
    int FormulaHook(const std::string& who, const std::string& st, std::string& rsl, char& typ, bool& chg);
    bool RecordAccepted();
    // Whether RecordAccepted can refuse a record, and whether progress is wanted.
    bool ChecksRecords() const;
    bool WantsStatus() const { return static_cast<bool>(onStatus); }

protected:
    void InternalOpen() override;
    void InternalClose() override;
    void InternalInitFieldDefs() override;
    bool IsCursorOpen() const override { return table_ != nullptr; }
    void InternalFirst() override;
    void InternalLast() override;
    TGetResult GetRecord(uint8_t* buffer, TGetMode mode, bool doCheck) override;
    size_t RecordBufferSize() const override { return bufferSize_; }
    void InternalInitRecord(uint8_t* buffer) override;
    void InternalAddRecord(uint8_t* buffer, bool append) override;
    void InternalPost() override;
    void InternalEdit() override;
    void InternalCancel() override;
    void InternalDelete() override;
    void InternalRefresh() override;
    void InternalSetToRecord(uint8_t* buffer) override;
    bool CursorOnRecord(const uint8_t* buffer) const override;
    void InternalGotoBookmark(const TBookmark& bookmark) override;
    TBookmark GetBookmarkData(const uint8_t* buffer) const override;
    TBookmarkFlag GetBookmarkFlag(const uint8_t* buffer) const override;
    void SetBookmarkFlag(uint8_t* buffer, TBookmarkFlag flag) override;
    bool GetFieldData(const TField& field, TFieldValue& value) override;
    void SetFieldData(TField& field, const TFieldValue& value) override;
    std::string ReadFieldText(const TField& field) override;
    void ClearCalcFields(uint8_t* buffer) override;

private:
    friend class THCBlobStream;
    // The link to the master's data source: tells of the master's moves and changes.
    class TMasterLink : public TDataLink {
    public:
        explicit TMasterLink(TRidedezDataSet& detail) : detail_(detail) {}

    protected:
        void ActiveChanged() override;
        void RecordChanged(TField* field) override;

    private:
        TRidedezDataSet& detail_;
    };
    // ---- indexes (RidedezIndexes.cpp)
    // Closes the table's index files and opens those of IndexFiles.
    void OpenIndexFiles();
    // The full name of an IndexFiles entry.
    std::string IndexFilePath(const std::string& entry) const;
    // Selects IndexName in the table object; "Index tag %s is not assigned" when no open
    // file has it.
    void SelectIndexTag(bool keepPosition);
    // After the order changed: the master range, the buffers read again, after-scroll.
    void OrderChanged();
    // Puts the table object on the dataset's current record.
    void SyncTableToActive();
    // A range bound as the table object takes it: at most 255 characters, in OEM.
    std::string RangeBound(const std::string& value) const;
    // Hands a range to the table object (both empty: none) and remembers it.
    void ApplyRange(const std::string& low, const std::string& high);
    // The range remembered is handed to the table object again (after a tag change).
    void RestoreRange();
    void MasterChanged();
    void MasterDisabled();
    // The master's key, as a range bound of the selected tag.
    std::string MasterKey();
    // The range of the master's key (and only that key).
    void ApplyMasterRange(const std::string& key);
    // At open and after a new tag: the master range without moving the dataset.
    void ApplyMasterRangeDirect();
    // ---- filter and searches (RidedezSearch.cpp)
    // Hands Filter and FilterOptions to the table object; when the expression is refused
    // the filter in force before is put back.
    void ApplyFilterExpression(const std::string& expression, TFilterOptions options);
    // The first tag with no condition whose key is the field `fieldName`, or 0.
    int TagForField(const std::string& fieldName);
    // A key value as the table object compares it (text in OEM when translating).
    std::string KeyText(const TFieldValue& value, const TField& field) const;
    // Searches field `field` for `text`; on success the table object stands on the match.
    bool SearchRecords(const TField& field, const std::string& text, bool partial, bool caseInsensitive,
                       bool wholeKey);
    // The buffer whose record the fields show in the current state, or null.
    uint8_t* ActiveRecordBuffer() const;
    int32_t BufferRecNo(const uint8_t* buffer) const;
    void SetBufferRecNo(uint8_t* buffer, int32_t recNo);
    void FillRecordInfo(uint8_t* buffer);
    void BuildFieldDefs(GSO_dBHandler& table);
    DBFObject& OpenTable() const;
    // The scans: from record `at` on, or (`after`) following it in the dataset's order.
    int32_t Scan(int32_t at, bool after, int32_t maxCount, const std::function<bool(int32_t)>& visit);
    // Goes to record n with the table object on its own buffer.
    void GoOwn(int32_t n);
    // The buffer that data fields are read from in the current state, or null.
    uint8_t* FieldBuffer() const {
        if (State() == TDataSetState::dsBrowse) return HasRecord() ? ActiveBuffer() : nullptr;
        return ActiveRecordBuffer();
    }
    // Decodes a data field from the record image in `buffer`; false for null.
    bool ReadDataField(const TField& field, uint8_t* buffer, TFieldValue& value);
    void WriteDataField(TField& field, const TFieldValue& value);

    // Locks record `recNo` ("Record is locked by another user" when another handle
    // holds it); the table object is left on that record.
    void LockRecordAt(int32_t recNo);
    void ChangeMark(uint8_t* buffer, const char* failure, void (DBFObject::*change)());
    // Memo texts written during an edit or insert (as stored, after translation), by
    // field number: they reach the memo file only when the record is posted, so that a
    // cancelled edit leaves the old memo and its blocks exactly as they were.
    const std::string* PendingMemo(int fieldNo, const uint8_t* buffer) const;
    void SetPendingMemo(int fieldNo, std::string text);
    // Writes the pending memos of the record in `buffer` into new blocks, runs `write`
    // (which writes the record), and then releases the memos the record held before.
    void PostWithMemos(uint8_t* buffer, const std::function<void()>& write);

    std::unique_ptr<DBFObject> table_;
    std::string databaseName_;
    bool exactCount_ = false;
    bool exclusive_ = false;
    std::string filter_;
    bool filtered_ = false;
    TFilterOptions filterOptions_ = 0;
    std::vector<std::string> indexFiles_;
    std::string indexName_;
    TgsLokProtocol lockProtocol_ = TgsLokProtocol::Default;
    std::string masterFields_;
    TDataSource* masterSource_ = nullptr;
    TMasterLink masterLink_{*this};
    // While the master's text key narrows the detail: that key (as stored, without
    // trailing blanks). A range takes every key that begins with its bounds; the detail
    // shows only the records whose key is the master's.
    bool masterExact_ = false;
    std::string masterExactKey_;
    // Whether the table object's current record has the master's key.
    bool HasMasterKey();
    // The range handed to the table object (bounds as it takes them).
    bool rangeSet_ = false;
    std::string rangeLow_, rangeHigh_;
    bool readOnly_ = false;
    std::string tableName_;
    bool translateASCII_ = true;
    bool useDeleted_ = false;
    int32_t userId_ = 0;

    bool firstPending_ = false;
    bool lastPending_ = false;
    bool editing_ = false;
    // Set when the cursor went to a record by number or bookmark: the next re-read of
    // the current record takes that record even when it is hidden.
    bool rereadExact_ = false;
    size_t recordLength_ = 0;
    size_t calcOffset_ = 0;     // start of the calculated-field area
    size_t infoOffset_ = 0;     // record number (4 bytes) and bookmark flag (1 byte)
    size_t bookmarkOffset_ = 0;
    size_t bufferSize_ = 0;
    // Each table field as its bytes are read, by field number (slot 0 unused), bound at
    // open: where it lies in a record image, its type, and the reader of its text.
    struct FieldSlot;
    struct FieldReaders;
    using TTextReader = std::string (*)(TRidedezDataSet&, const FieldSlot&, uint8_t* record);
    struct FieldSlot {
        uint32_t position = 0;
        uint32_t length = 0;
        char type = 0;
        bool binary = false;  // stored in binary form (B, G, I, M, T, Y of 0x30 tables)
        TFieldType kind = TFieldType::ftUnknown;
        TTextReader text = nullptr;  // null: the framework formats the field's value
    };
    void BindFieldSlots();
    std::string TranslatedText(const FieldSlot& slot, uint8_t* buffer);
    const FieldSlot* SlotOf(const TField& field) const;
    int FieldNumberOf(const FieldSlot& slot) const;
    // The field's number and integer as the table object reads them, from the record in
    // `buffer`.
    double NumberAt(const FieldSlot& slot, uint8_t* buffer);
    int64_t IntegerAt(const FieldSlot& slot, uint8_t* buffer);
    std::vector<FieldSlot> slots_;
    unsigned slotCount_ = 0;  // table fields: slots 1 to slotCount_
    std::map<int, std::string> pendingMemos_;
};

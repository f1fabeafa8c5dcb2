#include "dataset/RidedezDataSet.h"

#include <cstring>

#include "dataset/Bookmark.h"
#include "dataset/CodePages.h"
#include "dataset/Directories.h"
#include "dataset/Messages.h"
#include "engine/RunErrors.h"
#include "engine/platform/Paths.h"

TRidedezDataSet::TRidedezDataSet() = default;

TRidedezDataSet::~TRidedezDataSet() {
    try {
        Close();
    } catch (...) {
        // A destructor cannot report; Close callers see its errors.
    }
}

// ---- properties ------------------------------------------------------------------------

std::string TRidedezDataSet::About() const { return dsmsg::kAbout; }

void TRidedezDataSet::SetDatabaseName(const std::string& value) {
    if (value == databaseName_) return;
    CheckInactive();
    databaseName_ = NormaliseDatabaseName(value);
}

void TRidedezDataSet::SetExclusive(bool on) {
    CheckInactive();
    exclusive_ = on;
}

void TRidedezDataSet::SetTableName(const std::string& name) {
    CheckInactive();
    if (name != tableName_) indexFiles_.clear();
    tableName_ = name;
}

void TRidedezDataSet::SetReadOnly(bool on) {
    if (table_) {
        readOnly_ = on || !table_->IsReadWrite();
    } else {
        readOnly_ = on;
    }
}

void TRidedezDataSet::SetLockProtocol(TgsLokProtocol protocol) {
    lockProtocol_ = protocol;
    if (table_) table_->SetLockProtocol(static_cast<int>(protocol));
}

void TRidedezDataSet::SetUseDeleted(bool on) {
    useDeleted_ = on;
    if (table_) table_->SetUseDeleted(on);
}

void TRidedezDataSet::SetUserID(int32_t id) {
    userId_ = id;
    if (table_) table_->SetUserID(static_cast<uint32_t>(id));
}

std::string TRidedezDataSet::TablePath() const { return TableDirectory(databaseName_) + tableName_; }

// ---- hooks -------------------------------------------------------------------------------

bool TRidedezDataSet::ChecksRecords() const { return masterExact_ || (filtered_ && onFilterRecord); }

void TRidedezDataSet::StatusReport(int stat1, int stat2, int stat3) {
    if (onStatus) onStatus(stat1, stat2, stat3);
}

int TRidedezDataSet::FormulaHook(const std::string& who, const std::string& st, std::string& rsl, char& typ,
                                 bool& chg) {
    bool tf = false;
    if (onFormula) onFormula(who, st, rsl, typ, chg, tf);
    return tf ? 0 : -1;
}

bool TRidedezDataSet::RecordAccepted() {
    if (masterExact_ && !HasMasterKey()) return false;
    if (!filtered_ || !onFilterRecord) return true;
    const TDataSetState saved = State();
    SetState(TDataSetState::dsFilter);
    struct Restore {
        TRidedezDataSet* d;
        TDataSetState s;
        ~Restore() { d->SetState(s); }
    } restore{this, saved};
    bool accept = true;
    onFilterRecord(*this, accept);
    return accept;
}

// ---- translation ---------------------------------------------------------------------------

std::string TRidedezDataSet::Translate(const std::string& text, bool toOem) const {
    if (!translateASCII_) return text;
    return toOem ? codepage::AnsiToOem(text) : codepage::OemToAnsi(text);
}

void TRidedezDataSet::TranslateInPlace(std::string& text, bool toOem) const {
    if (!translateASCII_) return;
    if (toOem) {
        codepage::AnsiToOemBuffer(text.data(), text.size());
    } else {
        codepage::OemToAnsiBuffer(text.data(), text.size());
    }
}

int TRidedezDataSet::Translate(const char* source, char* destination, bool toOem) const {
    if (!destination) return 0;
    if (!source) {
        destination[0] = '\0';
        return 0;
    }
    const size_t n = std::strlen(source);
    if (source != destination) std::memmove(destination, source, n + 1);
    if (translateASCII_) {
        if (toOem) {
            codepage::AnsiToOemBuffer(destination, n);
        } else {
            codepage::OemToAnsiBuffer(destination, n);
        }
    }
    return 0;
}

// ---- opening -------------------------------------------------------------------------------

DBFObject& TRidedezDataSet::OpenTable() const {
    if (!table_) DatabaseError(dsmsg::kDataSetClosed);
    return *table_;
}

namespace {

// `binaryDouble`: the table is a FoxPro one, whose B fields hold a double, not a memo.
TFieldType KindOf(char type, int length, int decimals, bool binaryDouble) {
    if (type == 'B' && binaryDouble) return TFieldType::ftFloat;
    switch (type) {
        case 'C': return TFieldType::ftString;
        case 'N':
        case 'F':
            if (decimals > 0) return TFieldType::ftFloat;
            return length < 5 ? TFieldType::ftSmallint : TFieldType::ftInteger;
        case 'I': return TFieldType::ftInteger;
        case 'D': return TFieldType::ftDate;
        case 'L': return TFieldType::ftBoolean;
        case 'M': return TFieldType::ftMemo;
        case 'B':
        case 'G': return TFieldType::ftBlob;
        case 'T': return TFieldType::ftDateTime;
        default: return TFieldType::ftUnknown;
    }
}

}  // namespace

void TRidedezDataSet::BuildFieldDefs(GSO_dBHandler& table) {
    TFieldDefs& defs = MutableFieldDefs();
    defs.clear();
    for (int n = 1; n <= table.FieldCount(); ++n) {
        const TFieldType kind =
            KindOf(table.FieldType(n), table.FieldLength(n), table.FieldDecimals(n), table.Version() == 0x30);
        if (kind == TFieldType::ftUnknown) continue;
        TFieldDef d;
        d.name = table.FieldName(n);
        d.type = kind;
        d.size = kind == TFieldType::ftString ? table.FieldLength(n) : 0;
        d.fieldNo = n;
        defs.push_back(d);
    }
}

void TRidedezDataSet::InternalInitFieldDefs() {
    if (table_) {
        BuildFieldDefs(*table_);
        return;
    }
    std::string name = tableName_;
    if (!name.empty() && platform::ExtensionPart(name).empty()) name += ".DBF";
    std::unique_ptr<GSO_dBHandler> temp = GSO_dBHandler::Open(TableDirectory(databaseName_) + name, false, true);
    BuildFieldDefs(*temp);
    temp->CloseTable();
}

void TRidedezDataSet::InternalOpen() {
    table_.reset();
    if (tableName_.empty()) DatabaseError(dsmsg::kTableNameMissing);
    if (platform::ExtensionPart(tableName_).empty()) tableName_ += ".DBF";
    const std::string path = TablePath();
    if (!platform::FileExists(platform::ResolveCase(platform::ExpandPath(path)))) {
        DatabaseErrorFmt(dsmsg::kCannotFindFile, path);
    }
    auto table = std::make_unique<DBFObject>(this, path, !readOnly_, !exclusive_);
    table->OpenTable();
    table->SetUseDeleted(useDeleted_);
    table->SetReadAhead(false);
    table->SetLockProtocol(static_cast<int>(lockProtocol_));
    table->SetUserID(static_cast<uint32_t>(userId_));
    table_ = std::move(table);
    BuildFieldDefs(*table_);
    CreateAndBindFields();
    BindFieldSlots();
    recordLength_ = table_->RecordLength();
    calcOffset_ = recordLength_;
    infoOffset_ = calcOffset_ + CalcFieldsSize();
    bookmarkOffset_ = infoOffset_ + 5;
    bufferSize_ = bookmarkOffset_ + kBookmarkSize;
    if (recordLength_ > 0xFFFF || bufferSize_ > 0xFFFF) throw ERangeError(201, "Range check error");
    firstPending_ = true;
    lastPending_ = false;
    rangeSet_ = false;
    // The index files and the tag, the filter and the master range. The framework then
    // reads the first record of that order.
    if (!indexFiles_.empty()) OpenIndexFiles();
    if (!indexName_.empty()) SelectIndexTag(false);
    editing_ = false;
    if (filtered_) ApplyFilterExpression(filter_, filterOptions_);
    ApplyMasterRangeDirect();
}

void TRidedezDataSet::InternalClose() {
    std::unique_ptr<DBFObject> table = std::move(table_);
    firstPending_ = lastPending_ = editing_ = rereadExact_ = false;
    rangeSet_ = masterExact_ = false;
    pendingMemos_.clear();
    slots_.clear();
    slotCount_ = 0;
    if (table) table->CloseTable();
}

// ---- record buffers ------------------------------------------------------------------------

int32_t TRidedezDataSet::BufferRecNo(const uint8_t* buffer) const {
    int32_t n;
    std::memcpy(&n, buffer + infoOffset_, 4);
    return n;
}

void TRidedezDataSet::SetBufferRecNo(uint8_t* buffer, int32_t recNo) { std::memcpy(buffer + infoOffset_, &recNo, 4); }

TBookmarkFlag TRidedezDataSet::GetBookmarkFlag(const uint8_t* buffer) const {
    return static_cast<TBookmarkFlag>(buffer[infoOffset_ + 4]);
}

void TRidedezDataSet::SetBookmarkFlag(uint8_t* buffer, TBookmarkFlag flag) {
    buffer[infoOffset_ + 4] = static_cast<uint8_t>(flag);
}

TBookmark TRidedezDataSet::GetBookmarkData(const uint8_t* buffer) const {
    // Made when asked for, from the record number: a walk reads far more records than
    // it takes bookmarks of.
    return MakeBookmark(BufferRecNo(buffer));
}

void TRidedezDataSet::FillRecordInfo(uint8_t* buffer) {
    SetBookmarkFlag(buffer, TBookmarkFlag::bfCurrent);
    SetBufferRecNo(buffer, table_->RecordNumber());
    GetCalcFields(buffer);
}

uint8_t* TRidedezDataSet::ActiveRecordBuffer() const {
    switch (State()) {
        case TDataSetState::dsBrowse: return HasRecord() ? ActiveBuffer() : nullptr;
        case TDataSetState::dsEdit:
        case TDataSetState::dsInsert:
        case TDataSetState::dsNewValue: return ActiveBuffer();
        case TDataSetState::dsCalcFields: return CalcBuffer();
        case TDataSetState::dsFilter: return table_ ? table_->CurrentBuffer() : nullptr;
        case TDataSetState::dsOldValue:
            if (editing_ && table_) return const_cast<uint8_t*>(table_->SavedCopy());
            return ActiveBuffer();
        default: return nullptr;
    }
}

bool TRidedezDataSet::GetCurrentRecord(uint8_t* buffer) {
    if (!table_ || !HasRecord()) return false;
    uint8_t* active = ActiveRecordBuffer();
    if (!active || State() == TDataSetState::dsFilter || State() == TDataSetState::dsOldValue) return false;
    if (GetBookmarkFlag(active) != TBookmarkFlag::bfCurrent && State() == TDataSetState::dsBrowse) return false;
    std::memcpy(buffer, active, recordLength_);
    return true;
}

// ---- movement ------------------------------------------------------------------------------

void TRidedezDataSet::GoOwn(int32_t n) {
    TRecordPointer own(*table_, nullptr);
    table_->GoRecord(n);
}

void TRidedezDataSet::InternalFirst() {
    firstPending_ = true;
    lastPending_ = false;
}

void TRidedezDataSet::InternalLast() {
    GoOwn(gsMoveBottom);
    lastPending_ = true;
    firstPending_ = false;
}

TGetResult TRidedezDataSet::GetRecord(uint8_t* buffer, TGetMode mode, bool doCheck) {
    DBFObject& t = OpenTable();
    TGetResult result = TGetResult::grError;
    bool moved = true;
    std::exception_ptr engineError;
    {
        TRecordPointer at(t, buffer);
        try {
            switch (mode) {
                case TGetMode::gmCurrent:
                    if (firstPending_ || lastPending_) {
                        moved = false;
                    } else if (rereadExact_ && t.RecordNumber() > 0) {
                        rereadExact_ = false;
                        t.GoRecord(t.RecordNumber());  // that record, visible or not
                    } else {
                        t.GoRecord(gsMoveReread);
                    }
                    break;
                case TGetMode::gmNext:
                    t.GoRecord(firstPending_ ? gsMoveTop : gsMoveNext);
                    firstPending_ = false;
                    break;
                case TGetMode::gmPrior:
                    t.GoRecord(lastPending_ ? gsMoveBottom : gsMovePrior);
                    lastPending_ = false;
                    break;
            }
        } catch (const ERidedezError&) {
            moved = false;
            engineError = std::current_exception();
        }
    }
    if (t.Eof()) {
        result = TGetResult::grEOF;
    } else if (t.Bof()) {
        result = TGetResult::grBOF;
    } else if (moved && t.RecordNumber() == 0) {
        // Nothing was read (a re-read before the first record): no record to show.
        result = mode == TGetMode::gmPrior ? TGetResult::grBOF : TGetResult::grEOF;
    }
    if (moved || result == TGetResult::grEOF || result == TGetResult::grBOF) {
        FillRecordInfo(buffer);
        if (result == TGetResult::grError) result = TGetResult::grOK;
        return result;
    }
    if (doCheck) DatabaseError(dsmsg::kBeyondRange);
    // An engine failure is not turned into a silent "no record".
    if (engineError) std::rethrow_exception(engineError);
    return result;
}

void TRidedezDataSet::InternalSetToRecord(uint8_t* buffer) { GoOwn(BufferRecNo(buffer)); }

bool TRidedezDataSet::CursorOnRecord(const uint8_t* buffer) const {
    return table_ && table_->RecordNumber() == BufferRecNo(buffer);
}

void TRidedezDataSet::InternalGotoBookmark(const TBookmark& bookmark) {
    int32_t n = 0;
    if (!ParseBookmark(bookmark, n)) DatabaseError(std::string(dsmsg::kBookmarkInvalid) + tableName_);
    GoOwn(n);
    rereadExact_ = true;  // the framework's re-read that follows (once) keeps to that record
}

void TRidedezDataSet::InternalRefresh() {
    uint8_t* active = ActiveBuffer();
    TRecordPointer at(OpenTable(), active);
    table_->GoRecord(BufferRecNo(active));
}

int32_t TRidedezDataSet::RecordCount() {
    DBFObject& t = OpenTable();
    if (!exactCount_) {
        // Other programs may have appended to a shared table since the header was read.
        t.RefreshHeader();
        return t.RecordCount();
    }
    const int32_t remembered = t.RecordNumber();
    TRecordPointer own(t, nullptr);
    int32_t count = 0;
    t.GoRecord(gsMoveTop);
    while (!t.Eof()) {
        ++count;
        t.GoRecord(gsMoveNext);
    }
    if (remembered > 0) t.GoRecord(remembered);
    return count;
}

int32_t TRidedezDataSet::RecNo() {
    OpenTable();
    if (State() == TDataSetState::dsCalcFields) return CalcBuffer() ? BufferRecNo(CalcBuffer()) : 0;
    if (State() == TDataSetState::dsFilter) return table_->RecordNumber();
    if (State() == TDataSetState::dsOldValue) return HasRecord() ? BufferRecNo(ActiveBuffer()) : 0;
    uint8_t* active = ActiveRecordBuffer();
    return active ? BufferRecNo(active) : 0;
}

void TRidedezDataSet::SetRecNo(int32_t recNo) {
    OpenTable();
    CheckBrowseMode();
    DoBeforeScroll();
    GoOwn(recNo);
    firstPending_ = lastPending_ = false;
    rereadExact_ = true;
    Resync();
    rereadExact_ = false;  // consumed by the re-read unless it failed
    DoAfterScroll();
}

namespace {

// Puts the table object back on the dataset's record and the dataset in its state after
// a scan.
struct ScanRestore {
    TRidedezDataSet* d;
    DBFObject& t;
    int32_t cursor;
    TDataSetState state;
    std::function<void(TDataSetState)> setState;
    ~ScanRestore() {
        setState(state);
        try {
            if (cursor > 0 && cursor <= t.RecordCount()) t.GoRecord(cursor);
        } catch (...) {
            // The next move of the dataset repositions the table object anyway.
        }
    }
};

}  // namespace

int32_t TRidedezDataSet::ScanRecords(int32_t from, int32_t maxCount,
                                     const std::function<bool(int32_t)>& visit) {
    DBFObject& t = OpenTable();
    if (from < 1 || maxCount <= 0) return 0;
    if (from > t.RecordCount()) {
        t.RefreshHeader();
        if (from > t.RecordCount()) return 0;
    }
    return Scan(from, false, maxCount, visit);
}

int32_t TRidedezDataSet::ScanInOrder(int32_t after, int32_t maxCount, const std::function<bool(int32_t)>& visit) {
    DBFObject& t = OpenTable();
    if (after < 0 || maxCount <= 0) return 0;
    if (after > t.RecordCount()) t.RefreshHeader();
    if (after > t.RecordCount()) return 0;
    return Scan(after, true, maxCount, visit);
}

int32_t TRidedezDataSet::Scan(int32_t at, bool after, int32_t maxCount, const std::function<bool(int32_t)>& visit) {
    DBFObject& t = OpenTable();
    TRecordPointer own(t, nullptr);
    ScanRestore restore{this, t, t.RecordNumber(), State(), [this](TDataSetState s) { SetState(s); }};
    if (!after) {
        t.GoRecord(at);
        t.GoRecord(gsMoveReread);  // moves on over hidden records
    } else if (at == 0) {
        t.GoRecord(gsMoveTop);
    } else {
        t.GoRecord(at);
        t.GoRecord(gsMoveNext);
    }
    int32_t visited = 0;
    while (!t.Eof() && visited < maxCount) {
        ++visited;
        SetState(TDataSetState::dsFilter);
        const bool goOn = visit(t.RecordNumber());
        SetState(restore.state);
        if (!goOn) break;
        t.GoRecord(gsMoveNext);
    }
    return visited;
}

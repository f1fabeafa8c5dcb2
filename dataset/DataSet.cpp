#include "dataset/DataSet.h"

#include <algorithm>
#include <cstring>

#include "dataset/Messages.h"
#include "engine/RunErrors.h"
#include "engine/platform/Locale.h"

namespace {

// Sets a state for the lifetime of the object and restores the previous one.
class StateGuard {
public:
    StateGuard(TDataSetState& state, TDataSetState temporary) : state_(state), saved_(state) { state = temporary; }
    ~StateGuard() { state_ = saved_; }

private:
    TDataSetState& state_;
    TDataSetState saved_;
};

}  // namespace

TDataSet::TDataSet() = default;

TDataSet::~TDataSet() {
    const std::vector<TDataSource*> sources = sources_;
    sources_.clear();
    for (TDataSource* s : sources) s->DataSetDestroyed();
}

void TDataSet::AddSource(TDataSource* source) {
    if (std::find(sources_.begin(), sources_.end(), source) == sources_.end()) sources_.push_back(source);
}

void TDataSet::RemoveSource(TDataSource* source) {
    sources_.erase(std::remove(sources_.begin(), sources_.end(), source), sources_.end());
}

void TDataSet::DataEvent(TDataEvent event, TField* field) {
    const std::vector<TDataSource*> sources = sources_;
    for (TDataSource* s : sources) {
        if (std::find(sources_.begin(), sources_.end(), s) != sources_.end()) s->DataEvent(event, field);
    }
}

// ---- fields --------------------------------------------------------------------------------

TField& TDataSet::Field(int index) const {
    if (index < 0 || index >= FieldCount()) {
        throw ERangeError(201, "List index out of bounds (" + std::to_string(index) + ")");
    }
    return *fields_[static_cast<size_t>(index)];
}

TField* TDataSet::FindField(const std::string& name) const {
    const platform::Locale& loc = platform::CurrentLocale();
    const std::string wanted = loc.UpperCase(name);
    for (const auto& f : fields_) {
        if (loc.UpperCase(f->FieldName()) == wanted) return f.get();
    }
    return nullptr;
}

TField& TDataSet::FieldByName(const std::string& name) const {
    TField* f = FindField(name);
    if (!f) DatabaseErrorFmt(dsmsg::kFieldNotFound, name);
    return *f;
}

TField& TDataSet::AddField(const std::string& name, TFieldType type, int size) {
    CheckInactive();
    auto f = std::make_unique<TField>(*this, name, type, size, TFieldKind::fkData);
    fields_.insert(fields_.begin() + static_cast<std::ptrdiff_t>(persistentCount_), std::move(f));
    return *fields_[persistentCount_++];
}

TField& TDataSet::AddCalculatedField(const std::string& name, TFieldType type, int size) {
    CheckInactive();
    if (IsBlobType(type)) throw EDatabaseError(FormatMessage(FormatMessage(dsmsg::kFieldAccess, name), FieldTypeName(type)));
    auto f = std::make_unique<TField>(*this, name, type, size, TFieldKind::fkCalculated);
    fields_.insert(fields_.begin() + static_cast<std::ptrdiff_t>(persistentCount_), std::move(f));
    return *fields_[persistentCount_++];
}

const TFieldDefs& TDataSet::FieldDefs() {
    if (!Active()) InternalInitFieldDefs();
    return fieldDefs_;
}

void TDataSet::CreateAndBindFields() {
    bool anyData = false;
    for (size_t i = 0; i < persistentCount_; ++i) anyData = anyData || !fields_[i]->Calculated();
    if (!anyData) {
        for (const TFieldDef& d : fieldDefs_) {
            auto f = std::make_unique<TField>(*this, d.name, d.type, d.size, TFieldKind::fkData);
            f->Bind(d.fieldNo);
            fields_.push_back(std::move(f));
        }
    }
    const platform::Locale& loc = platform::CurrentLocale();
    calcFieldsSize_ = 0;
    for (size_t i = 0; i < persistentCount_; ++i) {
        TField& f = *fields_[i];
        if (f.Calculated()) {
            f.calcOffset = calcFieldsSize_;
            calcFieldsSize_ += 1 + f.CalcValueSize();
            continue;
        }
        const TFieldDef* def = nullptr;
        for (const TFieldDef& d : fieldDefs_) {
            if (loc.UpperCase(d.name) == loc.UpperCase(f.FieldName())) def = &d;
            if (def) break;
        }
        if (!def) DatabaseErrorFmt(dsmsg::kFieldNotFound, f.FieldName());
        if (def->type != f.DataType()) {
            throw EDatabaseError("Type mismatch for field '" + f.FieldName() + "', expecting: " +
                                 FieldTypeName(f.DataType()) + " actual: " + FieldTypeName(def->type));
        }
        f.Bind(def->fieldNo);
    }
}

void TDataSet::DestroyDefaultFields() {
    fields_.resize(persistentCount_);
    for (auto& f : fields_) {
        if (!f->Calculated()) f->Bind(0);
    }
    calcFieldsSize_ = 0;
}

// ---- opening and closing -------------------------------------------------------------------

void TDataSet::CheckActive() const {
    if (!Active()) DatabaseError(dsmsg::kDataSetClosed);
}

void TDataSet::CheckInactive() const {
    if (Active()) DatabaseError(dsmsg::kDataSetOpen);
}

void TDataSet::CheckCanModify() const {
    if (!CanModify()) DatabaseError(dsmsg::kDataSetReadOnly);
}

void TDataSet::SetActive(bool on) {
    if (on) {
        Open();
    } else {
        Close();
    }
}

void TDataSet::AllocateBuffers() {
    buffers_.assign(3, std::vector<uint8_t>(RecordBufferSize(), 0));
    active_ = 0;
    spare_ = 1;
    parked_ = 2;
}

void TDataSet::FreeBuffers() {
    buffers_.clear();
    hasRecord_ = false;
    eof_ = bof_ = true;
}

void TDataSet::Open() {
    if (Active()) return;
    Fire(beforeOpen);
    try {
        InternalOpen();
        AllocateBuffers();
        state_ = TDataSetState::dsBrowse;
        modified_ = false;
        FetchFirst();
    } catch (...) {
        state_ = TDataSetState::dsInactive;
        if (IsCursorOpen()) {
            try {
                InternalClose();
            } catch (...) {
            }
        }
        DestroyDefaultFields();
        FreeBuffers();
        throw;
    }
    DataEvent(TDataEvent::deUpdateState);
    Fire(afterOpen);
    DoAfterScroll();
}

void TDataSet::Close() {
    if (!Active()) return;
    Fire(beforeClose);
    if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert) InternalCancel();
    state_ = TDataSetState::dsInactive;
    struct Cleanup {
        TDataSet* d;
        ~Cleanup() {
            d->DestroyDefaultFields();
            d->FreeBuffers();
        }
    } cleanup{this};
    InternalClose();
    DataEvent(TDataEvent::deUpdateState);
    Fire(afterClose);
}

// ---- the cursor ----------------------------------------------------------------------------

void TDataSet::FetchFirst() {
    InternalFirst();
    hasRecord_ = GetRecord(ActiveBuffer(), TGetMode::gmNext, true) == TGetResult::grOK;
    eof_ = !hasRecord_;
    bof_ = true;
}

void TDataSet::SyncCursor() {
    if (hasRecord_ && !CursorOnRecord(ActiveBuffer())) InternalSetToRecord(ActiveBuffer());
}

void TDataSet::First() {
    CheckBrowseMode();
    DoBeforeScroll();
    FetchFirst();
    DataEvent(TDataEvent::deDataSetChange);
    DoAfterScroll();
}

void TDataSet::Last() {
    CheckBrowseMode();
    DoBeforeScroll();
    InternalLast();
    hasRecord_ = GetRecord(ActiveBuffer(), TGetMode::gmPrior, true) == TGetResult::grOK;
    eof_ = true;
    bof_ = !hasRecord_;
    DataEvent(TDataEvent::deDataSetChange);
    DoAfterScroll();
}

int TDataSet::MoveBy(int distance) {
    CheckBrowseMode();
    int moved = 0;
    if ((distance > 0 && eof_) || (distance < 0 && bof_) || distance == 0) return 0;
    DoBeforeScroll();
    SyncCursor();
    const TGetMode mode = distance > 0 ? TGetMode::gmNext : TGetMode::gmPrior;
    const int steps = distance > 0 ? distance : -distance;
    if (distance > 0) bof_ = false; else eof_ = false;
    for (int i = 0; i < steps; ++i) {
        if (GetRecord(buffers_[spare_].data(), mode, true) != TGetResult::grOK) {
            if (distance > 0) eof_ = true; else bof_ = true;
            break;
        }
        std::swap(active_, spare_);
        hasRecord_ = true;
        ++moved;
    }
    if (moved > 0) DataEvent(TDataEvent::deDataSetScroll);
    DoAfterScroll();
    return moved;
}

void TDataSet::Next() { MoveBy(1); }
void TDataSet::Prior() { MoveBy(-1); }

void TDataSet::Resync() {
    uint8_t* buf = ActiveBuffer();
    hasRecord_ = GetRecord(buf, TGetMode::gmCurrent, false) == TGetResult::grOK ||
                 GetRecord(buf, TGetMode::gmNext, false) == TGetResult::grOK ||
                 GetRecord(buf, TGetMode::gmPrior, false) == TGetResult::grOK;
    eof_ = bof_ = !hasRecord_;
    DataEvent(TDataEvent::deDataSetChange);
}

void TDataSet::Refresh() {
    CheckBrowseMode();
    if (hasRecord_) InternalRefresh();
    Resync();
}

void TDataSet::GetCalcFields(uint8_t* buffer) {
    if (!HasCalcFields() || !autoCalcFields) return;
    uint8_t* saved = calcBuffer_;
    calcBuffer_ = buffer;
    struct Restore {
        uint8_t*& p;
        uint8_t* v;
        ~Restore() { p = v; }
    } restore{calcBuffer_, saved};
    StateGuard guard(state_, TDataSetState::dsCalcFields);
    ClearCalcFields(buffer);
    Fire(onCalcFields);
}

// ---- editing -------------------------------------------------------------------------------

void TDataSet::CheckOperation(const std::function<void()>& op, const TErrorEvent& onError) {
    for (;;) {
        try {
            op();
            return;
        } catch (const EDatabaseError& e) {
            if (!onError) throw;
            TDataAction action = TDataAction::daFail;
            onError(*this, e, action);
            if (action == TDataAction::daFail) throw;
            if (action == TDataAction::daAbort) throw EAbort();
        }
    }
}

void TDataSet::CheckBrowseMode() {
    CheckActive();
    if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert) {
        if (modified_) {
            Post();
        } else {
            Cancel();
        }
    }
}

void TDataSet::BeginInsertAppend(bool append) {
    CheckBrowseMode();
    CheckCanModify();
    Fire(beforeInsert);
    DoBeforeScroll();
    std::swap(active_, parked_);
    parkedHadRecord_ = hasRecord_;
    uint8_t* buf = ActiveBuffer();
    try {
        InternalInitRecord(buf);
    } catch (...) {
        std::swap(active_, parked_);
        throw;
    }
    SetBookmarkFlag(buf, append ? TBookmarkFlag::bfEOF : TBookmarkFlag::bfInserted);
    hasRecord_ = true;
    eof_ = bof_ = false;
    state_ = TDataSetState::dsInsert;
    modified_ = false;
    GetCalcFields(buf);
    Fire(onNewRecord);
    DataEvent(TDataEvent::deDataSetChange);
    Fire(afterInsert);
    DoAfterScroll();
}

void TDataSet::Append() { BeginInsertAppend(true); }
void TDataSet::Insert() { BeginInsertAppend(false); }

void TDataSet::Edit() {
    if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert) return;
    CheckActive();
    if (!hasRecord_) {
        Insert();
        return;
    }
    CheckBrowseMode();
    CheckCanModify();
    Fire(beforeEdit);
    CheckOperation([this] { InternalEdit(); }, onEditError);
    GetCalcFields(ActiveBuffer());
    state_ = TDataSetState::dsEdit;
    modified_ = false;
    Fire(afterEdit);
}

void TDataSet::Post() {
    CheckActive();
    if (state_ != TDataSetState::dsEdit && state_ != TDataSetState::dsInsert) return;
    Fire(beforePost);
    CheckOperation([this] { InternalPost(); }, onPostError);
    state_ = TDataSetState::dsBrowse;
    modified_ = false;
    Resync();
    Fire(afterPost);
}

void TDataSet::Cancel() {
    CheckActive();
    if (state_ != TDataSetState::dsEdit && state_ != TDataSetState::dsInsert) return;
    Fire(beforeCancel);
    const bool inserting = state_ == TDataSetState::dsInsert;
    InternalCancel();
    state_ = TDataSetState::dsBrowse;
    modified_ = false;
    if (inserting) {
        std::swap(active_, parked_);
        hasRecord_ = parkedHadRecord_;
    }
    if (hasRecord_) {
        SyncCursor();
        Resync();
    } else {
        eof_ = bof_ = true;
        DataEvent(TDataEvent::deDataSetChange);
    }
    Fire(afterCancel);
}

void TDataSet::Delete() {
    CheckActive();
    if (state_ == TDataSetState::dsInsert || state_ == TDataSetState::dsSetKey) {
        Cancel();
        return;
    }
    if (!hasRecord_) DatabaseError(dsmsg::kDataSetEmpty);
    // A pending edit is dropped (and its lock released) before the record goes.
    if (state_ == TDataSetState::dsEdit) Cancel();
    CheckCanModify();
    Fire(beforeDelete);
    DoBeforeScroll();
    SyncCursor();
    CheckOperation([this] { InternalDelete(); }, onDeleteError);
    Resync();
    Fire(afterDelete);
    DoAfterScroll();
}

void TDataSet::SetFields(const std::vector<TFieldValue>& values) {
    if (static_cast<int>(values.size()) > FieldCount()) DatabaseError(dsmsg::kTooManyValues);
    for (size_t i = 0; i < values.size(); ++i) {
        TField& f = *fields_[i];
        if (f.Calculated() || f.readOnly) continue;
        f.SetValue(values[i]);
    }
}

void TDataSet::AppendRecord(const std::vector<TFieldValue>& values) { AddRecordWith(values, true); }

void TDataSet::InsertRecord(const std::vector<TFieldValue>& values) { AddRecordWith(values, false); }

void TDataSet::AddRecordWith(const std::vector<TFieldValue>& values, bool append) {
    BeginInsertAppend(append);
    try {
        SetFields(values);
        Fire(beforePost);
        InternalAddRecord(ActiveBuffer(), append);
    } catch (...) {
        Cancel();
        throw;
    }
    state_ = TDataSetState::dsBrowse;
    modified_ = false;
    Resync();
    Fire(afterPost);
}

// ---- field values --------------------------------------------------------------------------

TFieldValue TDataSet::ReadFieldValue(const TField& field) {
    // One named value on every path, so it is built in place in the caller's.
    TFieldValue v;
    if (!GetFieldData(field, v)) {
        v.emplace<TNull>();
    } else if (field.IsBlob()) {
        v = ReadBlobText(field);
    } else if (field.transliterate) {
        if (auto* s = std::get_if<std::string>(&v)) TranslateInPlace(*s, false);
    }
    return v;
}

std::string TDataSet::ReadFieldText(const TField& field) { return ValueToText(ReadFieldValue(field)); }

std::string TDataSet::ReadBlobText(const TField& field) {
    std::unique_ptr<TBlobStream> s = CreateBlobStream(const_cast<TField&>(field), TBlobStreamMode::bmRead);
    std::string text(static_cast<size_t>(std::max(s->Size(), 0)), '\0');
    text.resize(static_cast<size_t>(s->Read(text.data(), static_cast<int32_t>(text.size()))));
    return text;
}

TFieldValue TDataSet::ReadOldFieldValue(const TField& field) {
    CheckActive();
    StateGuard guard(state_, TDataSetState::dsOldValue);
    return ReadFieldValue(field);
}

void TDataSet::WriteFieldValue(TField& field, const TFieldValue& value) {
    if (field.IsBlob()) {
        const std::string* text = std::get_if<std::string>(&value);
        std::unique_ptr<TBlobStream> s = CreateBlobStream(field, TBlobStreamMode::bmWrite);
        if (text && !text->empty()) s->Write(text->data(), static_cast<int32_t>(text->size()));
        return;
    }
    if (auto* s = std::get_if<std::string>(&value); s && field.DataType() == TFieldType::ftString) {
        std::string cut = s->substr(0, static_cast<size_t>(std::max(field.Size(), 0)));
        SetFieldData(field, field.transliterate ? Translate(cut, true) : cut);
        return;
    }
    SetFieldData(field, value);
}

void TDataSet::FieldChanged(TField& field) {
    if (state_ == TDataSetState::dsCalcFields || state_ == TDataSetState::dsFilter ||
        state_ == TDataSetState::dsNewValue) {
        return;
    }
    modified_ = true;
    if (field.onChange) field.onChange(field);
    DataEvent(TDataEvent::deFieldChange, &field);
}

std::string TDataSet::Translate(const std::string& text, bool) const { return text; }

void TDataSet::TranslateInPlace(std::string& text, bool toOem) const { text = Translate(text, toOem); }

// ---- bookmarks -----------------------------------------------------------------------------

TBookmark TDataSet::GetBookmark() {
    CheckActive();
    if (!hasRecord_) return {};
    return GetBookmarkData(ActiveBuffer());
}

void TDataSet::GotoBookmark(const TBookmark& bookmark) {
    if (bookmark.empty()) return;
    CheckBrowseMode();
    DoBeforeScroll();
    InternalGotoBookmark(bookmark);
    Resync();
    DoAfterScroll();
}

int TDataSet::CompareBookmarks(const TBookmark& a, const TBookmark& b) const {
    if (a.empty() && b.empty()) return 0;
    if (a.empty()) return -1;
    if (b.empty()) return 1;
    int c = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
    if (c == 0) c = a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

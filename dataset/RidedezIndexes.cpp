// TRidedezDataSet: its index files, the selected tag, the tags' descriptions, key
// ranges and the master-detail link.

#include <set>

#include "dataset/Directories.h"
#include "dataset/Messages.h"
#include "dataset/RidedezDataSet.h"
#include "engine/Exception.h"
#include "engine/platform/Locale.h"
#include "engine/platform/Paths.h"
#include "index/core/GSobjIndexFile.h"
#include "index/core/GSobjIndexTag.h"
#include "index/expr/TgsVariant.h"

namespace {

constexpr size_t kRangeBoundChars = 255;

bool IsAbsolute(const std::string& path) { return !path.empty() && path.front() == '/'; }

}  // namespace

// ---- index files ---------------------------------------------------------------------------

std::string TRidedezDataSet::IndexFilePath(const std::string& entry) const {
    std::string name = entry;
    if (platform::ExtensionPart(name).empty()) name += ".NDX";
    // A name of its own directory is taken there; any other in the table's directory.
    return IsAbsolute(name) ? name : TableDirectory(databaseName_) + name;
}

void TRidedezDataSet::OpenIndexFiles() {
    DBFObject& t = OpenTable();
    t.CloseIndexFiles();
    rangeSet_ = false;
    for (const std::string& entry : indexFiles_) {
        if (entry.empty()) continue;
        const std::string path = IndexFilePath(entry);
        if (!platform::FileExists(platform::ResolveCase(platform::ExpandPath(path)))) {
            DatabaseErrorFmt(dsmsg::kCannotFindFile, path);
        }
        try {
            t.OpenIndexFile(path);
        } catch (const ERidedezError&) {
            DatabaseErrorFmt(dsmsg::kErrorGetting, path);
        }
    }
}

void TRidedezDataSet::SelectIndexTag(bool keepPosition) {
    DBFObject& t = OpenTable();
    if (t.SelectTag(indexName_, keepPosition) < 0) DatabaseErrorFmt(dsmsg::kTagNotAssigned, indexName_);
    rangeSet_ = false;
    masterExact_ = false;
}

void TRidedezDataSet::SyncTableToActive() {
    DBFObject& t = OpenTable();
    if (!HasRecord()) return;
    const int32_t recNo = BufferRecNo(ActiveBuffer());
    if (recNo > 0 && recNo != t.RecordNumber()) GoOwn(recNo);
}

void TRidedezDataSet::OrderChanged() {
    ApplyMasterRangeDirect();
    DBFObject& t = OpenTable();
    if (!(t.Bof() && t.Eof())) {
        try {
            Resync();
        } catch (const Exception&) {
            // The buffers are read again at the next move.
        }
    } else {
        Resync();
    }
    DoAfterScroll();
}

void TRidedezDataSet::SetIndexFiles(const std::vector<std::string>& files) {
    if (&files == &indexFiles_ || files == indexFiles_) return;
    indexFiles_ = files;
    // A closed dataset opens them with the table.
    if (!Active()) return;
    CheckBrowseMode();
    DBFObject& t = OpenTable();
    SyncTableToActive();
    try {
        t.CloseIndexFiles();
        rangeSet_ = false;
        if (indexFiles_.empty()) {
            indexName_.clear();
        } else {
            OpenIndexFiles();
            SelectIndexTag(true);
        }
    } catch (...) {
        // The order is whatever the files that did open give; the buffers follow it.
        try {
            Resync();
        } catch (const Exception&) {
        }
        throw;
    }
    OrderChanged();
}

void TRidedezDataSet::SetIndexName(const std::string& name) {
    if (!Active()) {
        indexName_ = name;
        return;
    }
    CheckBrowseMode();
    SyncTableToActive();
    const std::string previous = indexName_;
    indexName_ = name;
    try {
        SelectIndexTag(true);
    } catch (...) {
        indexName_ = previous;  // the table object kept its order
        throw;
    }
    OrderChanged();
}

// ---- tags ------------------------------------------------------------------------------------

int TRidedezDataSet::IndexTagCount() {
    DBFObject& t = OpenTable();
    int count = 0;
    for (int slot = 1; slot <= gsMaxIndexFiles; ++slot) {
        if (GSobjIndexFile* f = t.IndexFile(slot)) count += static_cast<int>(f->TagCount());
    }
    return count;
}

std::string TRidedezDataSet::IndexTagName(int n) {
    GSobjIndexTag* tag = OpenTable().TagByNumber(n);
    return tag ? tag->Name() : std::string();
}

namespace {

// An expression as its index file holds it, without the padding.
std::string StoredExpression(const std::string& text) {
    const size_t end = text.find_last_not_of(std::string(" \0", 2));
    return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

}  // namespace

std::string TRidedezDataSet::IndexTagExpression(int n) {
    GSobjIndexTag* tag = OpenTable().TagByNumber(n);
    return tag ? StoredExpression(tag->KeyExpression()) : std::string();
}

std::string TRidedezDataSet::IndexTagCondition(int n) {
    GSobjIndexTag* tag = OpenTable().TagByNumber(n);
    return tag && tag->HasFor() ? StoredExpression(tag->ForExpression()) : std::string();
}

std::string TRidedezDataSet::CurrentTagName() {
    DBFObject& t = OpenTable();
    return t.SelectedTag() ? t.SelectedTagName() : std::string();
}

// ---- ranges ----------------------------------------------------------------------------------

std::string TRidedezDataSet::RangeBound(const std::string& value) const {
    std::string bound = value.substr(0, kRangeBoundChars);
    TranslateInPlace(bound, true);
    return bound;
}

void TRidedezDataSet::ApplyRange(const std::string& low, const std::string& high) {
    DBFObject& t = OpenTable();
    masterExact_ = false;
    if (!t.SelectedTag()) return;
    if (low.empty() && high.empty()) {
        t.ClearRange();
        rangeSet_ = false;
        rangeLow_.clear();
        rangeHigh_.clear();
        t.GoRecord(gsMoveTop);
        return;
    }
    rangeLow_ = low;
    rangeHigh_ = high;
    rangeSet_ = true;
    t.SetRange(low, high);
}

void TRidedezDataSet::RestoreRange() {
    DBFObject& t = OpenTable();
    if (rangeSet_ && t.SelectedTag()) t.SetRange(rangeLow_, rangeHigh_);
}

void TRidedezDataSet::SetRange(const std::string& low, const std::string& high) {
    CheckBrowseMode();
    {
        TRecordPointer own(OpenTable(), nullptr);
        ApplyRange(RangeBound(low), RangeBound(high));
    }
    First();
}

// ---- master and detail ---------------------------------------------------------------------

void TRidedezDataSet::SetMasterSource(TDataSource* source) {
    // Walk the masters of the new source's dataset; a dataset met twice is a loop made
    // by sources changed behind the links' backs, and ends the walk.
    std::set<const TDataSet*> seen;
    for (TDataSource* s = source; s && s->DataSet();) {
        if (s->DataSet() == this) DatabaseError(dsmsg::kCircularLink);
        if (!seen.insert(s->DataSet()).second) break;
        auto* r = dynamic_cast<TRidedezDataSet*>(s->DataSet());
        s = r ? r->MasterSource() : nullptr;
    }
    masterSource_ = source;
    masterLink_.SetDataSource(source);
}

void TRidedezDataSet::SetMasterFields(const std::string& fields) {
    if (fields == masterFields_) return;
    masterFields_ = fields;
    if (Active() && masterLink_.Active()) MasterChanged();
}

std::string TRidedezDataSet::MasterKey() {
    TDataSet* master = masterLink_.DataSet();
    return RangeBound(master->FieldByName(masterFields_).AsString());
}

void TRidedezDataSet::ApplyMasterRange(const std::string& key) {
    ApplyRange(key, key);
    // The details of master "1" are not those of "10".
    const GSobjIndexTag* tag = OpenTable().SelectedTag();
    if (tag && tag->KeyType() == 'C') {
        masterExactKey_ = key.substr(0, key.find_last_not_of(' ') + 1);
        masterExact_ = true;
        OpenTable().GoRecord(gsMoveTop);
    }
}

bool TRidedezDataSet::HasMasterKey() {
    GSobjIndexTag* tag = table_ ? table_->SelectedTag() : nullptr;
    if (!masterExact_ || !tag) return true;
    TgsVariant key(gsKeyCapacity);
    bool ok = false;
    if (!tag->EvaluateKey(key, ok) || !ok) return true;
    std::string text = key.AsText();
    text.resize(text.find_last_not_of(' ') + 1);
    return text == masterExactKey_;
}

void TRidedezDataSet::MasterChanged() {
    if (!Active() || masterFields_.empty() || !masterLink_.Active()) return;
    CheckBrowseMode();
    {
        TRecordPointer own(OpenTable(), nullptr);
        ApplyMasterRange(MasterKey());
    }
    First();
}

void TRidedezDataSet::MasterDisabled() {
    if (!Active()) return;
    CheckBrowseMode();
    {
        TRecordPointer own(OpenTable(), nullptr);
        ApplyRange("", "");
    }
    First();
}

void TRidedezDataSet::ApplyMasterRangeDirect() {
    if (masterFields_.empty() || !masterLink_.Active()) return;
    TRecordPointer own(OpenTable(), nullptr);
    ApplyMasterRange(MasterKey());
}

void TRidedezDataSet::TMasterLink::ActiveChanged() {
    if (!detail_.Active()) return;
    if (Active()) {
        detail_.MasterChanged();
    } else {
        detail_.MasterDisabled();
    }
}

void TRidedezDataSet::TMasterLink::RecordChanged(TField* field) {
    if (!detail_.Active()) return;
    if (field && platform::CurrentLocale().UpperCase(field->FieldName()) !=
                     platform::CurrentLocale().UpperCase(detail_.masterFields_)) {
        return;
    }
    detail_.MasterChanged();
}

#include "index/core/GSobjIndexTag.h"

#include "engine/dBaseFld.h"
#include "index/core/GSobjIndexFile.h"
#include "index/expr/TgsExpHandler.h"
#include "index/sort/TgsSort.h"

GSobjIndexTag::GSobjIndexTag(GSobjIndexFile* file, const std::string& name, int64_t headerPosition)
    : name_(name),
      rangeLow_(gsKeyCapacity),
      rangeHigh_(gsKeyCapacity),
      file_(file),
      headerPosition_(headerPosition),
      currentEntry_(gsKeyCapacity),
      searchKey_(gsKeyCapacity) {}

GSobjIndexTag::~GSobjIndexTag() {
    try {
        ReleasePath();
    } catch (...) {
        // Freeing cannot report: a failed write-back leaves the file as the last good
        // write made it.
    }
}

GSO_dBaseFld* GSobjIndexTag::Table() const { return file_->Table(); }

void GSobjIndexTag::ReportInvalid() const { file_->ReportInvalid(); }

void GSobjIndexTag::SetRootPage(int32_t page) {
    rootPage_ = page;
    headerDirty_ = true;
}

// ---- expressions -----------------------------------------------------------------------

void GSobjIndexTag::PrepareKey(TgsVariant&) {}

void GSobjIndexTag::PageDropped(GSobjIndexKey&) {}

int GSobjIndexTag::SearchPages(int32_t, const TgsVariant&, int, GSobjIndexKeyData&) { return gsNoPageSearch; }
bool GSobjIndexTag::InsertDirect(const GSobjIndexKeyData&, bool&, bool&) { return false; }

void GSobjIndexTag::CheckHeader(std::vector<std::string>&) {}

void GSobjIndexTag::CheckPage(const GSobjIndexKey&, bool, std::vector<std::string>&) {}

void GSobjIndexTag::CheckLevel(const std::vector<int32_t>&, std::vector<std::string>&) {}

namespace {
// Enough for the paths of a deep tree and the nodes of a split.
constexpr size_t kSpareEntryLists = 64;
}  // namespace

void GSobjIndexTag::TakeEntryList(std::vector<GSobjIndexKeyData>& into) {
    if (spareEntryLists_.empty()) return;
    into.swap(spareEntryLists_.back());
    spareEntryLists_.pop_back();
}

void GSobjIndexTag::KeepEntryList(std::vector<GSobjIndexKeyData>& from) noexcept {
    if (from.empty() || spareEntryLists_.size() >= kSpareEntryLists) return;
    try {
        spareEntryLists_.emplace_back();
        spareEntryLists_.back().swap(from);
    } catch (...) {
        // Keeping is only a saving.
    }
}

void GSobjIndexTag::InitTag(const std::string& keyExpression, bool unique, bool ascending,
                            const std::string& forExpression) {
    keyExpression_ = keyExpression;
    forExpression_ = forExpression;
    unique_ = unique;
    ascending_ = ascending;
    hasFor_ = !forExpression.empty();
    CompileKeyExpression();
    CompileForExpression();
}

void GSobjIndexTag::CompileKeyExpression() {
    keyHandler_.reset();
    if (!Table()) return;
    keyHandler_ = std::make_unique<TgsExpHandler>(Table()->UserLink(), false, keyExpression_);
}

void GSobjIndexTag::CompileForExpression() {
    forHandler_.reset();
    if (!Table() || !hasFor_) return;
    forHandler_ = std::make_unique<TgsExpHandler>(Table()->UserLink(), false, forExpression_);
}

bool GSobjIndexTag::EvaluateKey(TgsVariant& key, bool& ok) {
    ok = false;
    if (!keyHandler_) return false;
    ok = keyHandler_->EvaluateToVariant(key) != nullptr;
    return true;
}

bool GSobjIndexTag::EvaluateFor() {
    if (!forHandler_) return false;
    TgsVariant result;
    if (!forHandler_->EvaluateToVariant(result)) return false;
    return result.Type() == TgsVariantType::Logical && result.AsLogical();
}

std::string GSobjIndexTag::KeyExpressionText() const {
    return keyHandler_ ? keyHandler_->ExpressionText() : keyExpression_;
}

std::string GSobjIndexTag::ForExpressionText() const {
    return forHandler_ ? forHandler_->ExpressionText() : forExpression_;
}

// ---- comparing and ranges ----------------------------------------------------------------

int GSobjIndexTag::CompareKeys(const TgsVariant& key, const TgsVariant& entry, int prefixResult) const {
    // With prefix matching an empty text begins every text key (descending orders too).
    if (prefixResult == 0 && keyType_ == 'C' && key.IsEmpty() && key.Type() == TgsVariantType::Text &&
        (entry.Type() == TgsVariantType::Text || entry.IsEmpty()))
        return 0;
    int matched = 0;
    int c = key.Compare(&entry, matched, prefixResult);
    return descending_ ? -c : c;
}

int GSobjIndexTag::RangeTest(const TgsVariant& key) const {
    if (!rangeHigh_.IsEmpty() && CompareKeys(rangeHigh_, key, 0) < 0) return 1;
    if (!rangeLow_.IsEmpty() && CompareKeys(rangeLow_, key, 0) > 0) return -1;
    return 0;
}

void GSobjIndexTag::SetRange(const TgsVariant* low, bool lowInclusive, bool highInclusive,
                             const TgsVariant* high) {
    rangeLow_.Clear();
    rangeHigh_.Clear();
    if (low && !low->IsEmpty()) {
        rangeLow_.Assign(low);
        PrepareKey(rangeLow_);
    }
    if (high && !high->IsEmpty()) {
        rangeHigh_.Assign(high);
        PrepareKey(rangeHigh_);
    }
    rangeLowInclusive_ = lowInclusive;
    rangeHighInclusive_ = highInclusive;
    MoveTo(-3);
}

void GSobjIndexTag::ClearRange() {
    rangeLow_.Clear();
    rangeHigh_.Clear();
}

// ---- the cached path -------------------------------------------------------------------

void GSobjIndexTag::ReleasePath() {
    if (root_) {
        root_->Release();
        root_.reset();
    }
    if (headerDirty_) WriteHeader();
}

bool GSobjIndexTag::KeepRoot() {
    // Only a file no other program changes, whose pages this program has not changed since
    // the root was read: then the header and the root page are as read.
    if (!root_ || headerDirty_ || !file_->KeepsPages()) return false;
    root_->FreeChild();
    if (root_->dirty || root_->kind == TgsNodeKind::NewRoot || file_->PageChanges() != rootReadAt_) return false;
    root_->current = 0;
    return true;
}

void GSobjIndexTag::Reload(int mode) {
    file_->CheckKeptPages();
    unbuiltPath_ = UnbuiltPath::None;
    if (!KeepRoot()) {
        ReleasePath();
        rootPage_ = RootPage();
        auto root = std::make_unique<GSobjIndexKey>(this, nullptr);
        root->LoadPage(rootPage_);
        root_ = std::move(root);
        rootReadAt_ = file_->PageChanges();
    }
    if (mode == gsReloadRootOnly) return;
    if (mode == gsReloadCurrentRecord) {
        PositionOnTableRecord();
        return;
    }
    MoveTo(-3);
}

void GSobjIndexTag::PositionOnTableRecord() {
    GSO_dBaseFld* table = Table();
    if (keyHandler_ && table && table->RecordNumber() >= 1 &&
        table->RecordNumber() <= table->RecordCount() && !root_->entries.empty()) {
        GSobjIndexKeyData key(gsKeyCapacity);
        bool ok = false;
        if (EvaluateKey(key, ok) && ok) {
            PrepareKey(key);
            const int32_t record = table->RecordNumber();
            if (root_->Search(record, key, -1) == 0) {
                root_->ReadCurrent(currentEntry_);
                if (MoveTo(-5) != 0) return;
            }
        }
    }
    MoveTo(-3);
}

int32_t GSobjIndexTag::CurrentRecord() {
    Reload(gsReloadCurrentRecord);
    return currentEntry_.link;
}

void GSobjIndexTag::ReadCurrentOrFlags() {
    if (!root_->ReadCurrent(currentEntry_)) {
        bof_ = eof_ = true;
        currentEntry_.link = 0;
    }
}

int32_t GSobjIndexTag::MoveTo(int32_t code) {
    if (reverseTraversal_) {
        if (code == -3) code = -4; else if (code == -4) code = -3;
        else if (code == -1) code = -2; else if (code == -2) code = -1;
    }
    bof_ = eof_ = false;
    // The first and the last entry are found from the root; the others start where the
    // last seek stopped.
    if (code != -3 && code != -4) BuildUnbuiltPath();
    if (!root_) Reload(gsReloadRootOnly);
    switch (code) {
        case -3: {
            Reload(gsReloadRootOnly);
            if (rangeLow_.IsEmpty() || updating_) {
                if (!root_->GotoFirst()) bof_ = true;
            } else if (root_->Search(gsSearchAnyRecord, rangeLow_, 0) == 1) {
                eof_ = true;
            }
            if (!bof_ && !eof_) {
                ReadCurrentOrFlags();
                if (!eof_) {
                    int where = RangeTest(currentEntry_);
                    if (where < 0) bof_ = true;
                    if (where > 0) eof_ = true;
                }
            }
            if (eof_) bof_ = true;
            if (bof_) eof_ = true;
            break;
        }
        case -4: {
            Reload(gsReloadRootOnly);
            if (rangeHigh_.IsEmpty()) {
                if (!root_->GotoLast()) eof_ = true;
            } else {
                int r = root_->Search(gsSearchPastEqual, rangeHigh_, 1);
                if (r == -1) {
                    if (!root_->GotoPrior()) bof_ = true;
                } else if (r == 1) {
                    if (!root_->GotoLast()) eof_ = true;
                }
            }
            if (!bof_ && !eof_) {
                ReadCurrentOrFlags();
                if (!eof_) {
                    int where = RangeTest(currentEntry_);
                    if (where < 0) bof_ = true;
                    if (where > 0) eof_ = true;
                }
            }
            if (bof_) eof_ = true;
            if (eof_) bof_ = true;
            break;
        }
        case -1:
            if (!root_->GotoNext()) {
                eof_ = true;
            } else {
                ReadCurrentOrFlags();
                if (!eof_ && RangeTest(currentEntry_) > 0) eof_ = true;
            }
            break;
        case -2:
            if (!root_->GotoPrior()) {
                bof_ = true;
            } else {
                ReadCurrentOrFlags();
                if (!bof_ && RangeTest(currentEntry_) < 0) bof_ = true;
            }
            break;
        default:
            ReadCurrentOrFlags();
            if (!eof_) {
                int where = RangeTest(currentEntry_);
                if (where < 0) bof_ = true;
                if (where > 0) eof_ = true;
            }
            break;
    }
    if (bof_ || eof_) currentEntry_.link = 0;
    if (reverseTraversal_) std::swap(bof_, eof_);
    return currentEntry_.link;
}

// ---- seeking -----------------------------------------------------------------------------

int GSobjIndexTag::SearchFromRoot(const TgsVariant& key, int prefixResult) {
    if (hasPageSearch_ && pageSearchOn_) {
        // What the path holds reaches the file first; a root still the file's is kept.
        unbuiltPath_ = UnbuiltPath::None;
        if (!KeepRoot()) {
            ReleasePath();
            rootPage_ = RootPage();
        }
        const int result = SearchPages(rootPage_, key, prefixResult, currentEntry_);
        if (result != gsNoPageSearch) {
            unbuiltPath_ = result == 1 ? UnbuiltPath::PastEnd : UnbuiltPath::AtCurrentEntry;
            return result;
        }
    }
    Reload(gsReloadRootOnly);
    const int result = root_->Search(gsSearchAnyRecord, key, prefixResult);
    if (result != 1) root_->ReadCurrent(currentEntry_);
    return result;
}

void GSobjIndexTag::BuildUnbuiltPath() {
    const UnbuiltPath unbuilt = unbuiltPath_;
    if (unbuilt == UnbuiltPath::None) return;
    Reload(gsReloadRootOnly);
    if (unbuilt == UnbuiltPath::PastEnd) {
        root_->GotoLast();
    } else {
        // The entry's key and record lead to it again.
        root_->Search(currentEntry_.link, currentEntry_, -1);
    }
}

int32_t GSobjIndexTag::SeekWith(const TgsVariant& key, int prefixResult, GSobjIndexKeyData& search) {
    currentEntry_.link = 0;
    search.Assign(&key);
    PrepareKey(search);
    bof_ = eof_ = false;
    if (reverseTraversal_) {
        Reload(gsReloadRootOnly);
        return SeekBackward(search, prefixResult);
    }
    const int result = SearchFromRoot(search, prefixResult);
    if (result == 1) {
        eof_ = true;
        return 0;
    }
    const int where = RangeTest(currentEntry_);
    if (result == -1) {
        if (where > 0) eof_ = true;
        return 0;
    }
    if (where != 0) {
        eof_ = true;
        return 0;
    }
    return currentEntry_.link;
}

int32_t GSobjIndexTag::SeekBackward(const GSobjIndexKeyData& search, int prefixResult) {
    // Keys stored ascending and walked backwards: the first match in the walk is the last
    // stored one, and a key that is not there leaves the next lower key current.
    // An empty text begins every key: the walk's first entry is the last stored one.
    const bool matchesAll = prefixResult == 0 && keyType_ == 'C' && search.IsEmpty();
    const int result = matchesAll ? 1 : root_->Search(gsSearchPastEqual, search, prefixResult < 0 ? -1 : 1);
    const bool stepped = result == 1 ? root_->GotoLast() : root_->GotoPrior();
    if (!stepped || !root_->ReadCurrent(currentEntry_)) {
        currentEntry_.link = 0;
        eof_ = true;
        return 0;
    }
    const int where = RangeTest(currentEntry_);
    if (CompareKeys(search, currentEntry_, prefixResult) != 0) {
        if (where != 0) eof_ = true;
        return 0;
    }
    if (where != 0) {
        eof_ = true;
        return 0;
    }
    return currentEntry_.link;
}

int32_t GSobjIndexTag::Seek(const TgsVariant& key) {
    if (Table()) file_->SetExactMatch(Table()->ExactMatch());
    return SeekWith(key, file_->ExactMatch() ? -1 : 0, searchKey_);
}

int32_t GSobjIndexTag::FindKey(const TgsVariant& key) {
    // The position is kept by key and record and found again afterwards.
    const bool hadPath = root_ != nullptr || unbuiltPath_ != UnbuiltPath::None;
    GSobjIndexKeyData saved(currentEntry_);
    const bool savedBof = bof_, savedEof = eof_;
    GSobjIndexKeyData search(gsKeyCapacity);
    int32_t found = SeekWith(key, -1, search);
    if (hadPath) {
        Reload(gsReloadRootOnly);
        if (saved.link != 0) root_->Search(saved.link, saved, -1);
    }
    currentEntry_ = saved;
    bof_ = savedBof;
    eof_ = savedEof;
    return found;
}

// ---- building ----------------------------------------------------------------------------

void GSobjIndexTag::CollectKeys(TgsSort& sort, bool useFor) {
    GSO_dBaseFld* table = Table();
    if (!table) return;
    const int32_t count = table->RecordCount();
    table->StatusReport(-1, gsStatusIndexKeys, count);
    GSobjIndexKeyData key(gsKeyCapacity);
    for (int32_t r = 1; r <= count; ++r) {
        table->GoRecord(r);
        if (table->Eof()) break;
        if (!useFor || !hasFor_ || EvaluateFor()) {
            bool ok = false;
            if (EvaluateKey(key, ok) && ok) {
                PrepareKey(key);
                sort.AddKey(key, r);
            }
        }
        table->StatusReport(gsStatusIndexKeys, r, 0);
    }
    table->StatusReport(0, 0, 0);
}

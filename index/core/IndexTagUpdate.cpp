// Key insertion and the key upkeep after a record write.

#include <utility>
#include <vector>

#include "engine/dBaseFld.h"
#include "index/core/GSobjIndexFile.h"
#include "index/core/GSobjIndexTag.h"

bool GSobjIndexTag::InsertKey(const GSobjIndexKeyData& key) {
    GSobjIndexKeyData entry(key);
    PrepareKey(entry);
    bof_ = eof_ = false;
    if (directInserts_ && !unique_ && !file_->RecordOrder()) {
        bool first = false, last = false;
        if (InsertDirect(entry, first, last)) {
            currentEntry_ = entry;
            bof_ = first;
            eof_ = last;
            if (reverseTraversal_) std::swap(bof_, eof_);
            return true;
        }
    }
    Reload(gsReloadRootOnly);
    int32_t r;
    if (file_->RecordOrder()) {
        r = entry.compareRecord;
    } else {
        r = descending_ ? 0 : gsSearchPastEqual;
    }
    if (unique_) {
        if (root_->Search(gsSearchAnyRecord, entry, -1) == 0) return false;
        r = entry.compareRecord;
    }
    const int result = root_->Search(r, entry, -1);
    if (result <= 0) {
        root_->InsertEntry(entry, false);
        // The leaf's current entry is the new one unless a write split the path.
        if (!root_->WriteBackInPlace()) {
            Reload(gsReloadRootOnly);
            root_->Search(r, entry, -1);
            if (r == gsSearchPastEqual) root_->GotoPrior();
        }
    } else {
        // Past every stored key: it goes last in the file's order, whichever way the tag
        // is walked.
        root_->GotoLast();
        root_->InsertEntry(entry, true);
        if (!root_->WriteBackInPlace()) {
            Reload(gsReloadRootOnly);
            root_->GotoLast();
        }
    }
    root_->ReadCurrent(currentEntry_);
    bof_ = root_->AtFirst();
    eof_ = root_->AtLast();
    if (reverseTraversal_) std::swap(bof_, eof_);
    return true;
}

bool GSobjIndexTag::UpdateForRecord(int32_t record, bool isAppend) {
    struct Updating {
        bool& flag;
        explicit Updating(bool& f) : flag(f) { flag = true; }
        ~Updating() { flag = false; }
    } updating(updating_);
    changed_ = false;
    GSO_dBaseFld* table = Table();
    if (!table || !table->SavedCopy()) return false;

    const bool forNow = hasFor_ ? EvaluateFor() : true;
    GSobjIndexKeyData newKey(gsKeyCapacity);
    bool ok = false;
    if (!EvaluateKey(newKey, ok) || !ok) return false;
    newKey.link = record;
    newKey.compareRecord = record;
    const bool hadPath = root_ != nullptr;

    if (isAppend) {
        if (forNow) InsertKey(newKey);
        changed_ = true;
        if (!hadPath) ReleasePath();
        return changed_;
    }

    // The key the record had before the edit, from the table's copy of it.
    std::vector<uint8_t> before(table->SavedCopy(), table->SavedCopy() + table->RecordLength() + 1);
    GSobjIndexKeyData oldKey(gsKeyCapacity);
    uint8_t* own = table->CurrentBuffer();
    table->SetCurrentBuffer(before.data());
    bool oldOk = false;
    try {
        EvaluateKey(oldKey, oldOk);
    } catch (...) {
        table->SetCurrentBuffer(own);
        throw;
    }
    table->SetCurrentBuffer(own);
    oldKey.link = record;
    oldKey.compareRecord = record;

    bool oldFound = false;
    if (oldOk) {
        GSobjIndexKeyData search(oldKey);
        PrepareKey(search);
        Reload(gsReloadRootOnly);
        oldFound = root_->Search(record, search, -1) == 0;
    }
    GSobjIndexKeyData preparedNew(newKey);
    PrepareKey(preparedNew);
    GSobjIndexKeyData preparedOld(oldKey);
    if (oldOk) PrepareKey(preparedOld);
    int matched = 0;
    const bool sameKey = oldOk && preparedNew.Compare(&preparedOld, matched, -1) == 0;
    if (sameKey && !(hasFor_ && !forNow)) {
        if (!oldFound && forNow) InsertKey(newKey);
    } else {
        if (oldFound) root_->DeleteEntry();
        if (forNow) InsertKey(newKey);
    }
    changed_ = true;
    if (!hadPath) ReleasePath();
    return changed_;
}

// Searching, stepping and entry maintenance along a tag's cached path.

#include <cassert>

#include "index/core/GSobjIndexKey.h"
#include "index/core/GSobjIndexTag.h"
#include "index/core/GSobjIndexFile.h"

namespace {
int Sign(int64_t v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }
}  // namespace

int GSobjIndexKey::Search(int32_t record, const TgsVariant& key, int prefixResult) {
    current = 0;
    FreeChild();
    if (entries.empty()) return 1;
    const bool recordOrder = tag_->File()->RecordOrder();
    // The order of the key (and in branches of record-ordered files, the record) against
    // an entry; it falls from 1 to 0 and -1 along the sorted entries.
    auto order = [&](const GSobjIndexKeyData& e) {
        int result = tag_->CompareKeys(key, e, prefixResult);
        if (result == 0 && record == gsSearchPastEqual) result = 1;
        if (result == 0 && record != gsSearchAnyRecord && recordOrder && IsBranch())
            result = Sign(static_cast<int64_t>(record) - e.compareRecord);
        return result;
    };
    // Every entry before the first one not below the key is passed over by the walk below
    // without descending: find that one by halving. The last entry (which may be a
    // sentinel) is left to the walk.
    for (int low = 0, high = LastIndex();;) {
        if (low >= high) {
            current = low;
            break;
        }
        const int middle = low + (high - low) / 2;
        if (order(entries[static_cast<size_t>(middle)]) <= 0) {
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    for (;;) {
        const GSobjIndexKeyData& e = entries[static_cast<size_t>(current)];
        int result = order(e);
        const bool last = current == LastIndex();
        if (result <= 0 || last) {
            if (IsBranch()) {
                GSobjIndexKey* child = LoadChild();
                result = child->Search(record, key, prefixResult);
            } else if (result == 0 && record != gsSearchAnyRecord) {
                if (recordOrder) {
                    result = Sign(static_cast<int64_t>(record) - e.link);
                } else if (e.link != record) {
                    result = 1;
                }
            }
        }
        if (result <= 0) return result;
        if (last) return 1;
        ++current;
    }
}

bool GSobjIndexKey::GotoFirst() {
    FreeChild();
    current = 0;
    if (!IsBranch()) return !entries.empty();
    for (; current <= LastIndex(); ++current) {
        if (LoadChild()->GotoFirst()) return true;
    }
    current = LastIndex() < 0 ? 0 : LastIndex();
    return false;
}

bool GSobjIndexKey::GotoLast() {
    FreeChild();
    current = LastIndex();
    if (!IsBranch()) {
        if (current < 0) current = 0;
        return !entries.empty();
    }
    for (; current >= 0; --current) {
        if (LoadChild()->GotoLast()) return true;
    }
    current = 0;
    return false;
}

bool GSobjIndexKey::GotoNext() {
    if (!IsBranch()) {
        if (current + 1 <= LastIndex()) {
            ++current;
            return true;
        }
        return false;
    }
    if (child_ && child_->GotoNext()) return true;
    while (current + 1 <= LastIndex()) {
        FreeChild();
        ++current;
        if (LoadChild()->GotoFirst()) return true;
    }
    return false;
}

bool GSobjIndexKey::GotoPrior() {
    if (!IsBranch()) {
        if (current - 1 >= 0 && current - 1 <= LastIndex()) {
            --current;
            return true;
        }
        return false;
    }
    if (child_ && child_->GotoPrior()) return true;
    while (current - 1 >= 0) {
        FreeChild();
        --current;
        if (LoadChild()->GotoLast()) return true;
    }
    return false;
}

bool GSobjIndexKey::ReadCurrent(GSobjIndexKeyData& entry) {
    GSobjIndexKey* leaf = Deepest();
    if (leaf->IsBranch() || leaf->current < 0 || leaf->current > leaf->LastIndex()) return false;
    entry = leaf->entries[static_cast<size_t>(leaf->current)];
    return true;
}

bool GSobjIndexKey::AtFirst() {
    for (GSobjIndexKey* n = this; n; n = n->child_.get())
        if (n->current != 0) return false;
    return true;
}

bool GSobjIndexKey::AtLast() {
    for (GSobjIndexKey* n = this; n; n = n->child_.get())
        if (n->current != n->LastIndex()) return false;
    return true;
}

void GSobjIndexKey::InsertEntry(const GSobjIndexKeyData& entry, bool after) {
    GSobjIndexKey* leaf = Deepest();
    int at = leaf->current + (after ? 1 : 0);
    if (at < 0) at = 0;
    if (at > static_cast<int>(leaf->entries.size())) at = static_cast<int>(leaf->entries.size());
    leaf->entries.insert(leaf->entries.begin() + at, entry);
    leaf->current = at;
    leaf->dirty = true;
    if (leaf->kind == TgsNodeKind::None) leaf->kind = TgsNodeKind::Leaf;
    if (at == leaf->LastIndex() && leaf->parent_) leaf->UpdateParentKey();
}

void GSobjIndexKey::DeleteEntry() {
    GSobjIndexKey* leaf = Deepest();
    if (leaf->current < 0 || leaf->current > leaf->LastIndex()) return;
    const bool wasLast = leaf->current == leaf->LastIndex();
    leaf->entries.erase(leaf->entries.begin() + leaf->current);
    leaf->dirty = true;
    if (leaf->current > leaf->LastIndex() && leaf->current > 0) --leaf->current;
    if (!wasLast || !leaf->parent_) return;
    if (leaf->entries.empty()) {
        leaf->DropFromParent();
    } else {
        leaf->UpdateParentKey();
    }
}

void GSobjIndexKey::DropFromParent() {
    GSobjIndexKey* p = parent_;
    assert(p && p->child_.get() == this);
    int at = p->FindLink(pageNumber);
    // This node is freed here: nothing of it may be used afterwards. Its emptied page
    // stays unused in the file until the next rebuild; the format may unlink it first.
    tag_->PageDropped(*this);
    p->child_.reset();
    if (at < 0) tag_->ReportInvalid();
    const bool wasLast = at == p->LastIndex();
    p->entries.erase(p->entries.begin() + at);
    p->dirty = true;
    if (p->current >= at && p->current > 0) --p->current;
    if (p->entries.empty()) {
        if (p->parent_) {
            p->DropFromParent();
        } else {
            p->kind = TgsNodeKind::Leaf;  // an empty root is an empty leaf
            p->current = 0;
        }
        return;
    }
    if (wasLast && p->parent_) p->UpdateParentKey();
}

// A seek's search straight through the NTX pages.
//
// Loading a page as a node decodes every key on it into an entry, while a search looks at
// a handful of them. Here the search halves and walks each page where it lies (in the
// file's cache, or in a buffer per level) the way GSobjIndexKey::Search walks the node the
// codec would make of it: the page's items, with the extra last entry of the node (see
// NtxPageCodec.cpp): in a branch the rightmost child, in a leaf off the rightmost path the
// ancestor's item that separates it. Only the entry the search stops at is decoded.

#include <algorithm>
#include <cstring>

#include "index/core/GSobjIndexFile.h"
#include "index/core/GSobjIndexKey.h"
#include "index/ntx/GSobjNTXTag.h"
#include "index/ntx/NtxLayout.h"

// The search key and the pages on the way down (to refuse a page that is its own ancestor).
struct GSobjNTXTag::PageSearch {
    const uint8_t* key = nullptr;
    size_t keyLength = 0;
    int prefixResult = 0;
    bool matchesAll = false;  // an empty text with prefix matching begins every key
    GSobjIndexKeyData* found = nullptr;
    int32_t pages[gsMaxIndexDepth] = {};
};

// The item of an ancestor that a leaf off the rightmost path is held with as its last
// entry; copied, since the ancestor's page may leave the cache while its children load.
struct GSobjNTXTag::Separator {
    uint8_t key[ntx::kMaxKeyLength];
    int32_t record;
};

int GSobjNTXTag::SearchPages(int32_t rootPage, const TgsVariant& key, int prefixResult, GSobjIndexKeyData& found) {
    // Prepared keys are text without trailing blanks; others take the path's search.
    if (key.Type() != TgsVariantType::Text || (key.Length() > 0 && key.Data()[key.Length() - 1] == ' '))
        return gsNoPageSearch;
    PageSearch search;
    search.key = key.Data();
    search.keyLength = key.Length();
    search.prefixResult = prefixResult;
    search.matchesAll = prefixResult == 0 && keyType_ == 'C' && key.IsEmpty();
    search.found = &found;
    return SearchPage(search, rootPage, 1, nullptr, true);
}

const uint8_t* GSobjNTXTag::ViewPage(int32_t page, uint8_t* buffer) {
    if (page < ntx::kPageSize || page % ntx::kPageSize != 0 || !file_->BlockInFile(page, ntx::kPageSize))
        ReportInvalid();
    const uint8_t* const p = file_->ViewBlock(page, ntx::kPageSize, buffer);
    if (!p) ReportInvalid();
    if (p != buffer) ntx::FetchPageLines(p);
    if (ntx::Get16(&p[ntx::kCountAt]) > maxKeys_) ReportInvalid();
    return p;
}

const uint8_t* GSobjNTXTag::PageItem(const uint8_t* page, int slot) const {
    const size_t at = ntx::Get16(&page[ntx::kOffsetTableAt + 2 * static_cast<size_t>(slot)]);
    if (at < ntx::kOffsetTableAt || at + static_cast<size_t>(entrySize_) > static_cast<size_t>(ntx::kPageSize))
        ReportInvalid();
    return &page[at];
}

namespace {
bool AllBlanks(const uint8_t* bytes, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (bytes[i] != ' ') return false;
    return true;
}
}  // namespace

int GSobjNTXTag::CompareStored(const PageSearch& search, const uint8_t* stored) const {
    // The stored key is compared as its entry would be, without its trailing blanks; the
    // search key has none. Both agree up to `i`.
    int c = 0;
    if (!search.matchesAll) {
        const uint8_t* const key = search.key;
        const size_t k = search.keyLength;
        const size_t length = static_cast<size_t>(keyLength_);
        const size_t n = std::min(k, length);
        size_t i = 0;
        while (i < n && key[i] == stored[i]) ++i;
        if (i < n) {
            // A stored key that ends at i (blanks from there on) is a proper prefix of the
            // search key, even where the key's byte sorts below a blank.
            if (stored[i] == ' ' && key[i] < ' ' && AllBlanks(stored + i, length - i)) {
                c = 1;
            } else {
                c = key[i] < stored[i] ? -1 : 1;
            }
        } else if (k > length) {
            c = 1;
        } else if (AllBlanks(stored + k, length - k)) {
            c = 0;
        } else if (k == 0) {
            c = -1;  // the empty key sorts before every other
        } else {
            // The key begins the stored one: the caller's prefix result decides.
            c = search.prefixResult < 0 ? -1 : search.prefixResult > 0 ? 1 : 0;
        }
    }
    return descending_ ? -c : c;
}

int GSobjNTXTag::SearchPage(PageSearch& search, int32_t page, int depth, const Separator* separator,
                            bool rightmost) {
    if (depth > gsMaxIndexDepth) ReportInvalid();
    for (int d = 0; d < depth - 1; ++d)
        if (search.pages[d] == page) ReportInvalid();
    search.pages[depth - 1] = page;
    uint8_t buffer[ntx::kPageSize];
    const uint8_t* p = ViewPage(page, buffer);
    const int count = ntx::Get16(&p[ntx::kCountAt]);
    // An empty page may be all zeros, without an offset table: an empty leaf.
    const bool branch = (count > 0 || ntx::Get16(&p[ntx::kOffsetTableAt]) != 0) &&
                        ntx::Get32(PageItem(p, 0) + ntx::kItemChildAt) != 0;
    // The node's entries: the items, and the extra last one.
    const bool withSeparator = !branch && separator && !rightmost;
    const int last = branch ? count : withSeparator ? count : count - 1;
    if (last < 0) return 1;
    const auto keyAt = [&](int slot) {
        return slot < count ? PageItem(p, slot) + ntx::kItemKeyAt : separator->key;
    };
    int low = 0;
    for (int high = last; low < high;) {
        const int middle = low + (high - low) / 2;
        if (CompareStored(search, keyAt(middle)) <= 0) {
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    for (int current = low;; ++current) {
        const bool isLast = current == last;
        // A branch's last entry is always followed down, whatever its key.
        int result = branch && isLast ? 0 : CompareStored(search, keyAt(current));
        if (branch && (result <= 0 || isLast)) {
            const uint8_t* item = PageItem(p, current);
            const int32_t child = static_cast<int32_t>(ntx::Get32(item + ntx::kItemChildAt));
            const int32_t rightmostChild = static_cast<int32_t>(ntx::Get32(PageItem(p, count) + ntx::kItemChildAt));
            if (child == 0 || rightmostChild == 0) ReportInvalid();
            Separator own;
            const Separator* below = separator;
            if (!isLast) {
                std::memcpy(own.key, item + ntx::kItemKeyAt, static_cast<size_t>(keyLength_));
                own.record = static_cast<int32_t>(ntx::Get32(item + ntx::kItemRecordAt));
                below = &own;
            }
            result = SearchPage(search, child, depth + 1, below, rightmost && child == rightmostChild);
            // The cache may have let this page go while the child loaded.
            if (result > 0 && !isLast && p != buffer) p = ViewPage(page, buffer);
        } else if (!branch && result <= 0) {
            const uint8_t* key = keyAt(current);
            const int32_t record = current < count
                                       ? static_cast<int32_t>(ntx::Get32(PageItem(p, current) + ntx::kItemRecordAt))
                                       : separator->record;
            GSobjIndexKeyData& found = *search.found;
            found.SetText(reinterpret_cast<const char*>(key), ntx::TrimmedKeyLength(key, static_cast<size_t>(keyLength_)));
            found.compareRecord = record;
            found.link = record;
        }
        if (result <= 0) return result;
        if (isLast) return 1;
    }
}

// The direct way of adding a key to an NTX tag. The leaf that takes the key is found by
// searching the pages' bytes from the root; when that leaf has room, the key goes into
// the leaf's free item and the offset table moves up by one slot to make its place, as
// other writers of the format do, and only that page is written. A full leaf is split as
// the general way splits it (its lower half to a new page, the middle item up into the
// parent) when the parent has room. A root that must split, an empty tree and anything
// unusual in the pages are left to the general way, which loads the path and reports
// damage.
//
// The place is the general way's: after every equal key (NTX files keep equal keys in the
// order they arrived), so both ways give one order.

#include <cstring>

#include "index/core/GSobjIndexFile.h"
#include "index/ntx/GSobjNTXFile.h"
#include "index/ntx/GSobjNTXTag.h"
#include "index/ntx/NtxLayout.h"

namespace {

// The most items a page holds (the shortest keys), and one more while a page splits.
constexpr int kMostItems = ntx::MaxItems(1) + 1;

// One page's bytes as the search reads them; `valid` is false for anything the direct
// way leaves to the general one.
class PageBytes {
public:
    PageBytes(const uint8_t* page, int maxItems, int itemSize) : p_(page), maxItems_(maxItems), itemSize_(itemSize) {
        count_ = ntx::Get16(p_ + ntx::kCountAt);
        if (count_ > maxItems) return;
        // An all-zero page (an emptied leaf without an offset table) is the general way's.
        if (count_ == 0 && ntx::Get16(p_ + ntx::kOffsetTableAt) == 0) return;
        tableEnd_ = ntx::kOffsetTableAt + 2 * static_cast<size_t>(maxItems + 1);
        // The items in use and the one after them must lie inside the page, past the table.
        for (int slot = 0; slot <= count_; ++slot)
            if (!InPage(Offset(slot))) return;
        branch_ = ntx::Get32(Item(0) + ntx::kItemChildAt) != 0;
        valid_ = true;
    }

    bool Valid() const { return valid_; }
    bool Branch() const { return branch_; }
    int Count() const { return count_; }
    int MaxItems() const { return maxItems_; }
    size_t Offset(int slot) const { return ntx::Get16(p_ + ntx::kOffsetTableAt + 2 * static_cast<size_t>(slot)); }
    const uint8_t* Item(int slot) const { return p_ + Offset(slot); }
    bool InPage(size_t at) const { return at >= tableEnd_ && at + static_cast<size_t>(itemSize_) <= ntx::kPageSize; }

private:
    const uint8_t* p_;
    int maxItems_;
    int itemSize_;
    int count_ = 0;
    size_t tableEnd_ = 0;
    bool branch_ = false;
    bool valid_ = false;
};

// Where the item after the counted ones lies when it may take a new item: inside the page
// and apart from every item in use.
bool FreeItem(const PageBytes& view, int itemSize, size_t& freeAt) {
    if (view.Count() + 1 > view.MaxItems()) return false;
    freeAt = view.Offset(view.Count() + 1);
    if (!view.InPage(freeAt)) return false;
    for (int slot = 0; slot <= view.Count(); ++slot) {
        const size_t at = view.Offset(slot);
        if ((freeAt > at ? freeAt - at : at - freeAt) < static_cast<size_t>(itemSize)) return false;
    }
    return true;
}

// Copies the page and makes `slot` of the copy name the free item (the slots from it on
// move up by one), counting one item more; answers the item's bytes in the copy.
uint8_t* OpenSlot(const uint8_t* page, uint8_t* copy, int count, int slot, size_t freeAt) {
    std::memcpy(copy, page, ntx::kPageSize);
    uint8_t* table = copy + ntx::kOffsetTableAt;
    std::memmove(table + 2 * static_cast<size_t>(slot) + 2, table + 2 * static_cast<size_t>(slot),
                 2 * static_cast<size_t>(count + 1 - slot));
    ntx::Put16(table + 2 * static_cast<size_t>(slot), static_cast<uint32_t>(freeAt));
    ntx::Put16(copy + ntx::kCountAt, static_cast<uint32_t>(count + 1));
    return copy + freeAt;
}

void PutItem(uint8_t* item, int32_t child, int32_t record, const TgsVariant& key, int keyLength) {
    ntx::Put32(item + ntx::kItemChildAt, static_cast<uint32_t>(child));
    ntx::Put32(item + ntx::kItemRecordAt, static_cast<uint32_t>(record));
    std::memset(item + ntx::kItemKeyAt, ' ', static_cast<size_t>(keyLength));
    if (key.Length() > 0) std::memcpy(item + ntx::kItemKeyAt, key.Data(), key.Length());
}

// A page holding `items` in slot order, laid out as the general way writes pages.
void LayOut(uint8_t* page, const uint8_t* const* items, int count, int maxItems, int itemSize) {
    std::memset(page, 0, ntx::kPageSize);
    const size_t firstAt = ntx::kOffsetTableAt + 2 * static_cast<size_t>(maxItems + 1);
    for (int slot = 0; slot <= maxItems; ++slot)
        ntx::Put16(page + ntx::kOffsetTableAt + 2 * static_cast<size_t>(slot),
                   static_cast<uint32_t>(firstAt + static_cast<size_t>(slot) * static_cast<size_t>(itemSize)));
    for (int slot = 0; slot < count; ++slot) {
        uint8_t* at = page + firstAt + static_cast<size_t>(slot) * static_cast<size_t>(itemSize);
        std::memcpy(at, items[slot], static_cast<size_t>(itemSize));
        ntx::Put32(at + ntx::kItemChildAt, 0);
    }
    ntx::Put16(page + ntx::kCountAt, static_cast<uint32_t>(count));
}

}  // namespace

bool GSobjNTXTag::InsertDirect(const GSobjIndexKeyData& key, bool& first, bool& last) {
    // Keys are prepared as texts without trailing blanks, which is how pages are read.
    const size_t keyBytes = key.Length();
    if (key.Type() != TgsVariantType::Text || keyBytes > static_cast<size_t>(keyLength_) ||
        (keyBytes > 0 && key.Data()[keyBytes - 1] == ' ') || key.link <= 0)
        return false;
    ReleasePath();
    // The key against a stored item, as the tag compares a key with an entry read from it.
    auto order = [&](const uint8_t* item) {
        const uint8_t* stored = item + ntx::kItemKeyAt;
        const size_t n = ntx::TrimmedKeyLength(stored, static_cast<size_t>(keyLength_));
        const size_t common = keyBytes < n ? keyBytes : n;
        int c = common > 0 ? std::memcmp(key.Data(), stored, common) : 0;
        if (c == 0) c = keyBytes < n ? -1 : keyBytes > n ? 1 : 0;
        c = c < 0 ? -1 : c > 0 ? 1 : 0;
        return descending_ ? -c : c;
    };
    // The pages from the root down and the slot taken in each.
    int32_t pages[gsMaxIndexDepth];
    int slots[gsMaxIndexDepth];
    int depth = 0;
    first = last = true;
    uint8_t buffer[ntx::kPageSize];
    for (int32_t page = RootPage();;) {
        if (depth == gsMaxIndexDepth || page < ntx::kPageSize || page % ntx::kPageSize != 0 ||
            !file_->BlockInFile(page, ntx::kPageSize))
            return false;
        for (int i = 0; i < depth; ++i)
            if (pages[i] == page) return false;
        const uint8_t* bytes = file_->ViewBlock(page, ntx::kPageSize, buffer);
        if (!bytes) return false;
        ntx::FetchPageLines(bytes);
        const PageBytes view(bytes, maxKeys_, entrySize_);
        if (!view.Valid()) return false;
        // The first item the key sorts before: equal keys are passed.
        int low = 0;
        for (int high = view.Count(); low < high;) {
            const int middle = low + (high - low) / 2;
            if (order(view.Item(middle)) < 0) {
                high = middle;
            } else {
                low = middle + 1;
            }
        }
        pages[depth] = page;
        slots[depth++] = low;
        first = first && low == 0;
        last = last && low == view.Count();
        if (view.Branch()) {
            // Item `low` (the one after the counted items for the last child) leads down.
            page = static_cast<int32_t>(ntx::Get32(view.Item(low) + ntx::kItemChildAt));
            continue;
        }
        size_t freeAt = 0;
        if (view.Count() < maxKeys_) {
            if (!FreeItem(view, entrySize_, freeAt)) return false;
            uint8_t updated[ntx::kPageSize];
            PutItem(OpenSlot(bytes, updated, view.Count(), low, freeAt), 0, key.link, key, keyLength_);
            file_->WriteBlock(page, updated, ntx::kPageSize);
            return true;
        }
        return depth >= 2 &&
               SplitLeafDirect(key, page, bytes, view.Count(), low, pages[depth - 2], slots[depth - 2]);
    }
}

bool GSobjNTXTag::SplitLeafDirect(const GSobjIndexKeyData& key, int32_t leafPage, const uint8_t* leafBytes,
                                  int count, int slot, int32_t parentPage, int parentSlot) {
    if (count + 1 > kMostItems) return false;
    // The leaf's items with the new one in its place; the view of the leaf lasts only
    // until the next page is read.
    uint8_t leaf[ntx::kPageSize];
    std::memcpy(leaf, leafBytes, ntx::kPageSize);
    const PageBytes leafView(leaf, maxKeys_, entrySize_);
    uint8_t fresh[ntx::kItemOverhead + ntx::kMaxKeyLength];
    PutItem(fresh, 0, key.link, key, keyLength_);
    const uint8_t* items[kMostItems];
    for (int i = 0, from = 0; i <= count; ++i) items[i] = i == slot ? fresh : leafView.Item(from++);
    // The parent must take the middle item; it has room or the general way splits it too.
    uint8_t buffer[ntx::kPageSize];
    const uint8_t* parentBytes = file_->ViewBlock(parentPage, ntx::kPageSize, buffer);
    if (!parentBytes) return false;
    const PageBytes parentView(parentBytes, maxKeys_, entrySize_);
    size_t freeAt = 0;
    if (!parentView.Valid() || !parentView.Branch() || parentSlot > parentView.Count() ||
        ntx::Get32(parentView.Item(parentSlot) + ntx::kItemChildAt) != static_cast<uint32_t>(leafPage) ||
        !FreeItem(parentView, entrySize_, freeAt))
        return false;
    // As the general way splits: the lower half to a new page, the next item up into the
    // parent before the leaf's own item there, the upper half kept in the leaf's page.
    const int lower = (count + 1) / 2;
    const int32_t lowerPage = file_->AllocatePage();
    uint8_t parent[ntx::kPageSize];
    uint8_t* up = OpenSlot(parentBytes, parent, parentView.Count(), parentSlot, freeAt);
    std::memcpy(up, items[lower], static_cast<size_t>(entrySize_));
    ntx::Put32(up + ntx::kItemChildAt, static_cast<uint32_t>(lowerPage));
    uint8_t page[ntx::kPageSize];
    LayOut(page, items, lower, maxKeys_, entrySize_);
    file_->WriteBlock(lowerPage, page, ntx::kPageSize);
    LayOut(page, items + lower + 1, count - lower, maxKeys_, entrySize_);
    file_->WriteBlock(leafPage, page, ntx::kPageSize);
    file_->WriteBlock(parentPage, parent, ntx::kPageSize);
    return true;
}

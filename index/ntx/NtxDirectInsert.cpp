// The direct way of adding a key to an NTX tag. The leaf that takes the key is found by
// searching the pages' bytes from the root; when that leaf has room, the key goes into
// the leaf's free item and the offset table moves up by one slot to make its place, as
// other writers of the format do, and only that page is written. A full leaf (a split),
// an empty tree and anything unusual in the pages are left to the general way, which
// loads the path and reports damage.
//
// The place is the general way's: after every equal key (NTX files keep equal keys in the
// order they arrived), so both ways give one order.

#include <cstring>

#include "index/core/GSobjIndexFile.h"
#include "index/ntx/GSobjNTXFile.h"
#include "index/ntx/GSobjNTXTag.h"
#include "index/ntx/NtxLayout.h"

namespace {

constexpr int32_t kMemoryLine = 64;

// One page's bytes as the search reads them; `valid` is false for anything the direct
// way leaves to the general one.
class PageBytes {
public:
    PageBytes(const uint8_t* page, int maxItems, int itemSize) : p_(page), itemSize_(itemSize) {
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
    size_t Offset(int slot) const { return ntx::Get16(p_ + ntx::kOffsetTableAt + 2 * static_cast<size_t>(slot)); }
    const uint8_t* Item(int slot) const { return p_ + Offset(slot); }
    bool InPage(size_t at) const { return at >= tableEnd_ && at + static_cast<size_t>(itemSize_) <= ntx::kPageSize; }

private:
    const uint8_t* p_;
    int itemSize_;
    int count_ = 0;
    size_t tableEnd_ = 0;
    bool branch_ = false;
    bool valid_ = false;
};

// The stored key's length without its trailing blanks.
size_t StoredLength(const uint8_t* key, size_t n) {
    while (n > 0 && key[n - 1] == ' ') --n;
    return n;
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
        const size_t n = StoredLength(stored, static_cast<size_t>(keyLength_));
        const size_t common = keyBytes < n ? keyBytes : n;
        int c = common > 0 ? std::memcmp(key.Data(), stored, common) : 0;
        if (c == 0) c = keyBytes < n ? -1 : keyBytes > n ? 1 : 0;
        c = c < 0 ? -1 : c > 0 ? 1 : 0;
        return descending_ ? -c : c;
    };
    int32_t visited[gsMaxIndexDepth];
    int depth = 0;
    first = last = true;
    uint8_t buffer[ntx::kPageSize];
    for (int32_t page = RootPage();;) {
        if (depth == gsMaxIndexDepth || page < ntx::kPageSize || page % ntx::kPageSize != 0 ||
            !file_->BlockInFile(page, ntx::kPageSize))
            return false;
        for (int i = 0; i < depth; ++i)
            if (visited[i] == page) return false;
        visited[depth++] = page;
        const uint8_t* bytes = file_->ViewBlock(page, ntx::kPageSize, buffer);
        if (!bytes) return false;
        // The search's reads depend on each other; asked for together, the page's memory
        // lines arrive at once instead of one after the other.
        for (int32_t at = 0; at < ntx::kPageSize; at += kMemoryLine) __builtin_prefetch(bytes + at);
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
        first = first && low == 0;
        last = last && low == view.Count();
        if (view.Branch()) {
            // Item `low` (the one after the counted items for the last child) leads down.
            page = static_cast<int32_t>(ntx::Get32(view.Item(low) + ntx::kItemChildAt));
            continue;
        }
        if (view.Count() >= maxKeys_) return false;  // a split: the general way's
        // The item after the counted ones moves in at `low`; it must not share bytes with
        // an item in use.
        const size_t freeAt = view.Offset(view.Count() + 1);
        if (!view.InPage(freeAt)) return false;
        for (int slot = 0; slot <= view.Count(); ++slot) {
            const size_t at = view.Offset(slot);
            if ((freeAt > at ? freeAt - at : at - freeAt) < static_cast<size_t>(entrySize_)) return false;
        }
        uint8_t updated[ntx::kPageSize];
        std::memcpy(updated, bytes, ntx::kPageSize);
        uint8_t* table = updated + ntx::kOffsetTableAt;
        std::memmove(table + 2 * static_cast<size_t>(low) + 2, table + 2 * static_cast<size_t>(low),
                     2 * static_cast<size_t>(view.Count() + 1 - low));
        ntx::Put16(table + 2 * static_cast<size_t>(low), static_cast<uint32_t>(freeAt));
        ntx::Put16(updated + ntx::kCountAt, static_cast<uint32_t>(view.Count() + 1));
        WriteItem(updated, low, 0, key.link, key);
        file_->WriteBlock(page, updated, ntx::kPageSize);
        return true;
    }
}

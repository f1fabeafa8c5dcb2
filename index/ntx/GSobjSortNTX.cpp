#include "index/ntx/GSobjSortNTX.h"

#include <cstring>
#include <string>

#include "engine/dBaseFld.h"
#include "index/core/GSobjIndexFile.h"
#include "index/ntx/GSobjNTXTag.h"
#include "index/ntx/NtxLayout.h"

GSobjSortNTX::GSobjSortNTX(GSobjNTXTag& tag, int maxKeyLength)
    : TgsSort(maxKeyLength, tag.Unique()), tag_(tag), writer_(*tag.File(), 1) {}

void GSobjSortNTX::AddKey(const TgsVariant& key, int32_t record) {
    if (!tag_.Descending()) {
        TgsSort::AddKey(key, record);
        return;
    }
    std::string bytes = key.AsText();
    if (bytes.size() < static_cast<size_t>(tag_.KeyLength())) bytes.resize(static_cast<size_t>(tag_.KeyLength()), ' ');
    for (char& c : bytes) c = static_cast<char>(~static_cast<uint8_t>(c));
    TgsVariant flipped;
    flipped.SetBytes(bytes.data(), bytes.size());
    TgsSort::AddKey(flipped, record);
}

void GSobjSortNTX::ResetPage(Level& level) const {
    level.page.assign(ntx::kPageSize, 0);
    level.count = 0;
    const int max = tag_.MaxKeys();
    const int itemSize = tag_.EntrySize();
    for (int i = 0; i <= max; ++i)
        ntx::Put16(&level.page[ntx::kOffsetTableAt + 2 * static_cast<size_t>(i)],
                   static_cast<uint32_t>(4 + 2 * max + i * itemSize));
}

uint8_t* GSobjSortNTX::ItemAt(Level& level, int slot) const {
    return &level.page[ntx::Get16(&level.page[ntx::kOffsetTableAt + 2 * static_cast<size_t>(slot)])];
}

void GSobjSortNTX::PutItem(Level& level, int32_t child, int32_t record, const uint8_t* key) const {
    uint8_t* item = ItemAt(level, level.count);
    ntx::Put32(item + ntx::kItemChildAt, static_cast<uint32_t>(child));
    ntx::Put32(item + ntx::kItemRecordAt, static_cast<uint32_t>(record));
    std::memcpy(item + ntx::kItemKeyAt, key, static_cast<size_t>(tag_.KeyLength()));
    ++level.count;
}

int32_t GSobjSortNTX::WriteLevelPage(Level& level) {
    ntx::Put16(&level.page[ntx::kCountAt], static_cast<uint32_t>(level.count));
    const int32_t at = tag_.File()->AllocatePage();
    writer_.Write(at, level.page.data(), ntx::kPageSize);
    return at;
}

void GSobjSortNTX::AddToLevel(size_t index, int32_t child, int32_t record, const uint8_t* key) {
    if (index >= static_cast<size_t>(ntx::kMaxDepth)) tag_.ReportInvalid();
    if (index >= levels_.size()) {
        levels_.emplace_back();
        ResetPage(levels_.back());
    }
    Level& level = levels_[index];
    if (level.count < tag_.MaxKeys()) {
        PutItem(level, child, record, key);
        return;
    }
    if (index == 0) {
        // A full leaf goes out whole; the new key separates it from the next one.
        const int32_t at = WriteLevelPage(level);
        ResetPage(level);
        AddToLevel(1, at, record, key);
        return;
    }
    // A full branch keeps its last item's child as its rightmost pointer; the item's key
    // and record go up.
    uint8_t* last = ItemAt(level, level.count - 1);
    std::vector<uint8_t> upKey(last + ntx::kItemKeyAt, last + ntx::kItemKeyAt + tag_.KeyLength());
    const int32_t upRecord = static_cast<int32_t>(ntx::Get32(last + ntx::kItemRecordAt));
    ntx::Put32(last + ntx::kItemRecordAt, 0);
    --level.count;
    const int32_t at = WriteLevelPage(level);
    ResetPage(level);
    AddToLevel(index + 1, at, upRecord, upKey.data());
    PutItem(levels_[index], child, record, key);
}

int32_t GSobjSortNTX::WritePages() {
    GSO_dBaseFld* table = tag_.Table();
    if (table) table->StatusReport(-1, gsStatusIndexPages, KeysAdded());
    const size_t keyLength = static_cast<size_t>(tag_.KeyLength());
    std::vector<uint8_t> key(keyLength);
    TgsVariant value;
    int32_t record = 0;
    while (NextKey(value, record)) {
        std::memset(key.data(), ' ', keyLength);
        const size_t n = std::min(value.Length(), keyLength);
        if (n > 0) std::memcpy(key.data(), value.Data(), n);
        if (tag_.Descending())
            for (size_t i = 0; i < keyLength; ++i) key[i] = static_cast<uint8_t>(~key[i]);
        AddToLevel(0, 0, record, key.data());
        ++keysWritten_;
        if (table) table->StatusReport(gsStatusIndexPages, keysWritten_, 0);
    }
    if (levels_.empty()) {
        levels_.emplace_back();
        ResetPage(levels_.back());
    }
    int32_t root = 0;
    for (size_t i = 0; i < levels_.size(); ++i) {
        Level& level = levels_[i];
        std::vector<uint8_t> upKey(keyLength, ' ');
        int32_t upRecord = 0;
        if (level.count > 0) {
            uint8_t* last = ItemAt(level, level.count - 1);
            if (i > 0) {
                // The last item becomes the rightmost pointer.
                ntx::Put32(last + ntx::kItemRecordAt, 0);
                --level.count;
            }
            std::memcpy(upKey.data(), last + ntx::kItemKeyAt, keyLength);
            upRecord = static_cast<int32_t>(ntx::Get32(last + ntx::kItemRecordAt));
        }
        // An empty leaf below a branch is still written: it is the branch's rightmost
        // child, so that the branch's last separator keeps its record.
        root = WriteLevelPage(level);
        if (i + 1 < levels_.size()) AddToLevel(i + 1, root, upRecord, upKey.data());
    }
    writer_.Flush();
    if (table) table->StatusReport(0, 0, 0);
    return root;
}

#include "index/ndx/GSobjSortNdx.h"

#include <cstring>

#include "engine/dBaseFld.h"
#include "index/core/GSobjIndexFile.h"
#include "index/ndx/GSobjNDXTag.h"
#include "index/ndx/NdxLayout.h"

GSobjSortNdx::GSobjSortNdx(GSobjNDXTag& tag, int maxKeyLength)
    : TgsSort(maxKeyLength, tag.Unique()), tag_(tag), writer_(*tag.File(), ndx::kPageSize) {}

void GSobjSortNdx::Add(size_t index, int32_t child, int32_t record, const uint8_t* key) {
    if (index >= static_cast<size_t>(ndx::kMaxDepth)) tag_.ReportInvalid();
    if (index >= levels_.size()) levels_.push_back({std::vector<uint8_t>(ndx::kPageSize, 0), 0});
    Level& level = levels_[index];
    uint8_t* e = &level.page[ndx::kEntriesAt + static_cast<size_t>(level.count) * static_cast<size_t>(tag_.EntrySize())];
    ndx::Put32(e + ndx::kEntryChildAt, static_cast<uint32_t>(child));
    ndx::Put32(e + ndx::kEntryRecordAt, static_cast<uint32_t>(record));
    std::memcpy(e + ndx::kEntryKeyAt, key, static_cast<size_t>(tag_.KeyLength()));
    ++level.count;
    if (level.count >= tag_.MaxKeys()) Flush(index, true);
}

int32_t GSobjSortNdx::Flush(size_t index, bool push) {
    Level& level = levels_[index];
    const size_t entrySize = static_cast<size_t>(tag_.EntrySize());
    std::vector<uint8_t> lastKey(static_cast<size_t>(tag_.KeyLength()), 0);
    if (level.count > 0)
        std::memcpy(lastKey.data(),
                    &level.page[ndx::kEntriesAt + static_cast<size_t>(level.count - 1) * entrySize + ndx::kEntryKeyAt],
                    lastKey.size());
    const int count = index > 0 && level.count > 0 ? level.count - 1 : level.count;
    ndx::Put16(&level.page[ndx::kCountAt], static_cast<uint32_t>(count));
    const int32_t at = tag_.File()->AllocatePage();
    writer_.Write(at, level.page.data(), ndx::kPageSize);
    std::fill(level.page.begin(), level.page.end(), 0);
    level.count = 0;
    if (push) Add(index + 1, at, 0, lastKey.data());
    return at;
}

int32_t GSobjSortNdx::WritePages() {
    GSO_dBaseFld* table = tag_.Table();
    if (table) table->StatusReport(-1, gsStatusIndexPages, KeysAdded());
    std::vector<uint8_t> key(static_cast<size_t>(tag_.KeyLength()));
    TgsVariant value;
    int32_t record = 0;
    int32_t written = 0;
    while (NextKey(value, record)) {
        tag_.KeyBytes(value, key.data());
        Add(0, 0, record, key.data());
        if (table) table->StatusReport(gsStatusIndexPages, ++written, 0);
    }
    if (levels_.empty()) levels_.push_back({std::vector<uint8_t>(ndx::kPageSize, 0), 0});
    int32_t root = 0;
    for (size_t i = 0; i < levels_.size(); ++i) {
        const bool higher = i + 1 < levels_.size();
        // A level emptied by its last flush already pushed its page up.
        if (levels_[i].count == 0 && higher) continue;
        root = Flush(i, higher);
    }
    writer_.Flush();
    if (table) table->StatusReport(0, 0, 0);
    return root;
}

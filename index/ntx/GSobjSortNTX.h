#pragma once
// GSobjSortNTX: sorts an NTX tag's keys and writes them bottom-up into full pages.

#include <cstdint>
#include <vector>

#include "index/sort/TgsPageWriteBehind.h"
#include "index/sort/TgsSort.h"

class GSobjNTXTag;

class GSobjSortNTX : public TgsSort {
public:
    GSobjSortNTX(GSobjNTXTag& tag, int maxKeyLength);

    // Descending tags sort the complement of their blank-padded key bytes.
    void AddKey(const TgsVariant& key, int32_t record) override;
    // Writes every sorted key into newly allocated pages and returns the root's offset.
    int32_t WritePages();

private:
    struct Level {
        std::vector<uint8_t> page;
        int count = 0;
    };
    void ResetPage(Level& level) const;
    void PutItem(Level& level, int32_t child, int32_t record, const uint8_t* key) const;
    void AddToLevel(size_t level, int32_t child, int32_t record, const uint8_t* key);
    int32_t WriteLevelPage(Level& level);
    uint8_t* ItemAt(Level& level, int slot) const;

    GSobjNTXTag& tag_;
    TgsPageWriteBehind writer_;
    std::vector<Level> levels_;
    int32_t keysWritten_ = 0;
};

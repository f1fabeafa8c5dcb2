#pragma once
// GSobjSortNdx: sorts an NDX tag's keys and writes them bottom-up into full pages.

#include <cstdint>
#include <vector>

#include "index/sort/TgsPageWriteBehind.h"
#include "index/sort/TgsSort.h"

class GSobjNDXTag;

class GSobjSortNdx : public TgsSort {
public:
    GSobjSortNdx(GSobjNDXTag& tag, int maxKeyLength);

    // Writes every sorted key into newly allocated pages and returns the root page.
    int32_t WritePages();

private:
    struct Level {
        std::vector<uint8_t> page;
        int count = 0;
    };
    void Add(size_t level, int32_t child, int32_t record, const uint8_t* key);
    // Writes a level's page (its last entry a pointer above level 0), pushes its last key
    // up when `push`, and returns the page number.
    int32_t Flush(size_t level, bool push);

    GSobjNDXTag& tag_;
    std::vector<Level> levels_;
    TgsPageWriteBehind writer_;
};

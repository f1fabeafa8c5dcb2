#pragma once
// GSobjSortMDX: sorts an MDX tag's keys and writes them bottom-up into full blocks, each
// block joining the tag's back chain. A descending tag's keys are sorted in an
// order-reversing form, so that they come back highest first and equal keys still by
// ascending record number.

#include <cstdint>
#include <vector>

#include "index/sort/TgsPageWriteBehind.h"
#include "index/sort/TgsSort.h"

class GSobjMDXTag;

class GSobjSortMDX : public TgsSort {
public:
    explicit GSobjSortMDX(GSobjMDXTag& tag);

    // Takes a prepared key of the tag.
    void AddKey(const TgsVariant& key, int32_t record) override;
    // Writes every sorted key into newly allocated blocks and returns the root's position.
    int32_t WritePages();

    // The sorter's key length for a tag: the key length, one more for descending text.
    static int SortKeyLength(const GSobjMDXTag& tag);

private:
    struct Level {
        std::vector<uint8_t> block;
        int count = 0;
    };
    // The order-reversing form of a prepared key, and back.
    void Reverse(const TgsVariant& key, TgsVariant& out) const;
    void Unreverse(const TgsVariant& key, TgsVariant& out) const;
    void Add(size_t level, int32_t link, const uint8_t* key);
    // Writes a level's block (its last entry a pointer above level 0), pushes its last key
    // up when `push`, and returns the block's position.
    int32_t Flush(size_t level, bool push);

    GSobjMDXTag& tag_;
    bool reversed_;
    std::vector<Level> levels_;
    TgsPageWriteBehind writer_;
};

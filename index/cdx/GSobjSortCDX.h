#pragma once
// GSobjSortCDX: sorts a CDX tag's keys and packs them bottom-up into compressed leaves
// and full branches, with both sibling chains.

#include <cstdint>
#include <vector>

#include "index/cdx/CdxLayout.h"
#include "index/sort/TgsPageWriteBehind.h"
#include "index/sort/TgsSort.h"

class GSobjCDXTag;

class GSobjSortCDX : public TgsSort {
public:
    GSobjSortCDX(GSobjCDXTag& tag, int maxKeyLength);

    // Writes every sorted key into newly allocated nodes and returns the root's position.
    int32_t WritePages();
    // Writes an empty root leaf at `at` (a new node when gsNoPage); returns its position.
    int32_t WriteEmptyRoot(int32_t at);

private:
    struct Level {
        std::vector<uint8_t> keys;  // full key bytes, key length each
        std::vector<int> trails;
        std::vector<uint32_t> records;
        std::vector<int32_t> children;
        int32_t position = 0;
        int32_t left = cdx::kNoSibling;
        int used = 0;  // leaf bytes taken
        bool full = false;
    };
    void Add(size_t level, const uint8_t* key, int trail, uint32_t record, int32_t child);
    // Writes a level's node; unless it is the root its last key goes up.
    void Close(size_t level, int32_t right, bool root);

    GSobjCDXTag& tag_;
    cdx::LeafLayout layout_;
    size_t keyLength_;
    std::vector<Level> levels_;
    TgsPageWriteBehind writer_;
};

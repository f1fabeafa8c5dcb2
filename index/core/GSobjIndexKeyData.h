#pragma once
// One entry of an index page held in memory: the key value, the record number used to
// order equal keys (branch entries of formats that keep one there), and the link: the
// child page in a branch, the record number in a leaf.

#include <cstdint>

#include "index/expr/TgsVariant.h"

class GSobjIndexKeyData : public TgsVariant {
public:
    GSobjIndexKeyData() = default;
    explicit GSobjIndexKeyData(size_t capacity) : TgsVariant(capacity) {}

    int32_t compareRecord = 0;
    int32_t link = 0;
};

// Record numbers that make a search pass all equal keys, or take any of them.
constexpr int32_t gsSearchPastEqual = 2147483647;
constexpr int32_t gsSearchAnyRecord = -1;

#pragma once
// TgsSort: sorts (key, record number) pairs for index building without temporary files.
// Keys go, encoded, into an in-memory buffer of a fixed number of node pages; when they
// are used up the buffer is sorted and written out as a front-compressed run and starts
// again. Retrieval merges the runs and returns the pairs in ascending key order, ties by
// ascending record number; with the unique flag only the first pair of each key. Formats
// derive from it to write the sorted keys into their pages.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "index/expr/TgsVariant.h"
#include "index/sort/SortBuffer.h"
#include "index/sort/SortKeyCodec.h"
#include "index/sort/TgsPageCollection.h"

class TgsSort {
public:
    static constexpr int kMaxKeyLength = 240;
    static constexpr size_t kDefaultNodePages = 32;

    // Raises "Sort key length greater than 240 bytes" for a maximum above 240. The number
    // of node pages may be lowered (tests force many runs that way).
    TgsSort(int maxKeyLength, bool unique, size_t nodePages = kDefaultNodePages);
    virtual ~TgsSort();
    TgsSort(const TgsSort&) = delete;
    TgsSort& operator=(const TgsSort&) = delete;

    // Adds a pair; text, number, date and raw keys only.
    virtual void AddKey(const TgsVariant& key, int32_t record);
    // The next pair in order; false when none remain. The first call ends adding.
    bool NextKey(TgsVariant& key, int32_t& record);

    int32_t KeysAdded() const { return keysAdded_; }
    size_t RunCount() const { return runs_.size(); }
    size_t PeakNodePages() const { return peakPages_; }

private:
    void FlushBuffer();
    void StartRetrieval();
    bool RunBefore(size_t a, size_t b) const;
    void SiftDownFront();

    bool unique_;
    int maxKeyLength_;
    int32_t keysAdded_ = 0;
    bool adding_ = true;
    uint8_t sortType_ = 0;  // the run type of the first key
    TgsSortBuffer buffer_;
    std::vector<std::unique_ptr<TgsPageCollection>> runs_;
    std::vector<size_t> heap_;  // run indices, smallest current entry first
    uint8_t scratch_[sortcodec::MaxEncodedLength(kMaxKeyLength)];  // one encoded key
    std::string lastKeyPart_;
    bool haveLast_ = false;
    size_t peakPages_ = 0;
};

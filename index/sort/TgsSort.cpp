#include "index/sort/TgsSort.h"

#include <algorithm>
#include <cstring>

#include "engine/Exception.h"
#include "index/sort/SortKeyCodec.h"

namespace {
const char* const kTooLong = "Sort key length greater than 240 bytes";
const char* const kAfterRetrieval = "Cannot add sort keys after beginning retrieval";
const char* const kNotSortable = "Variant type cannot be sorted";
const char* const kMismatch = "Variant types mismatch for compare";
}  // namespace

TgsSort::TgsSort(int maxKeyLength, bool unique, size_t nodePages)
    : unique_(unique), maxKeyLength_(maxKeyLength), buffer_(nodePages) {
    if (maxKeyLength > kMaxKeyLength) throw ERidedezError(kTooLong);
}

TgsSort::~TgsSort() = default;

void TgsSort::AddKey(const TgsVariant& key, int32_t record) {
    if (!adding_) throw ERidedezError(kAfterRetrieval);
    uint8_t type = sortcodec::TypeOf(key);
    if (type == sortcodec::kTypeEnd) throw ERidedezError(kNotSortable);
    if ((type == sortcodec::kTypeText || type == sortcodec::kTypeBytes) &&
        key.Length() > static_cast<size_t>(maxKeyLength_ < 0 ? 0 : maxKeyLength_))
        throw ERidedezError(kTooLong);
    if (keysAdded_ == 0) {
        sortType_ = type;
    } else if (type != sortType_) {
        throw ERidedezError(kMismatch);
    }
    const size_t length = sortcodec::Encode(key, type, record, scratch_);
    if (!buffer_.Fits(length)) FlushBuffer();
    buffer_.Insert(scratch_, length, type);
    peakPages_ = std::max(peakPages_, buffer_.PagesInUse());
    ++keysAdded_;
}

void TgsSort::FlushBuffer() {
    if (buffer_.Empty()) return;
    auto run = std::make_unique<TgsPageCollection>();
    buffer_.Walk([&](const uint8_t* bytes, size_t length, uint8_t type) { run->Append(bytes, length, type); });
    runs_.push_back(std::move(run));
    buffer_.Reset();
}

bool TgsSort::RunBefore(size_t a, size_t b) const {
    const TgsPageCollection& ra = *runs_[a];
    const TgsPageCollection& rb = *runs_[b];
    if (ra.CurrentHead() != rb.CurrentHead()) return ra.CurrentHead() < rb.CurrentHead();
    const size_t la = ra.CurrentLength();
    const size_t lb = rb.CurrentLength();
    const int c = std::memcmp(ra.CurrentKey(), rb.CurrentKey(), std::min(la, lb));  // unsigned bytes
    if (c != 0) return c < 0;
    if (la != lb) return la < lb;
    return a < b;  // the earlier run wins ties
}

// The heap keeps the run with the smallest current entry at its front; a run whose front
// entry changed (or that was replaced by the last one) sinks to its place from there.
void TgsSort::SiftDownFront() {
    const size_t n = heap_.size();
    size_t at = 0;
    const size_t moving = heap_[0];
    for (;;) {
        size_t child = 2 * at + 1;
        if (child >= n) break;
        if (child + 1 < n && RunBefore(heap_[child + 1], heap_[child])) ++child;
        if (!RunBefore(heap_[child], moving)) break;
        heap_[at] = heap_[child];
        at = child;
    }
    heap_[at] = moving;
}

void TgsSort::StartRetrieval() {
    adding_ = false;
    FlushBuffer();
    heap_.clear();
    for (size_t i = 0; i < runs_.size(); ++i) {
        runs_[i]->Rewind();
        if (runs_[i]->Next()) heap_.push_back(i);
    }
    auto after = [this](size_t a, size_t b) { return RunBefore(b, a); };
    std::make_heap(heap_.begin(), heap_.end(), after);
}

bool TgsSort::NextKey(TgsVariant& key, int32_t& record) {
    if (adding_) StartRetrieval();
    while (!heap_.empty()) {
        TgsPageCollection& run = *runs_[heap_[0]];
        const uint8_t* bytes = run.CurrentKey();
        const size_t length = run.CurrentLength();
        const uint8_t type = run.CurrentType();
        bool take = true;
        const size_t keyPart = sortcodec::KeyPartLength(length);
        if (unique_) {
            if (haveLast_ && lastKeyPart_.size() == keyPart && std::memcmp(bytes, lastKeyPart_.data(), keyPart) == 0) {
                take = false;
            } else {
                lastKeyPart_.assign(reinterpret_cast<const char*>(bytes), keyPart);
                haveLast_ = true;
            }
        }
        const bool decoded = take && sortcodec::Decode(bytes, length, type, key, record);
        if (!run.Next()) {
            heap_[0] = heap_.back();
            heap_.pop_back();
        }
        if (!heap_.empty()) SiftDownFront();
        if (take && decoded) return true;
    }
    return false;
}

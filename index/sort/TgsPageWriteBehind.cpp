#include "index/sort/TgsPageWriteBehind.h"

#include <cassert>

#include "index/core/GSobjIndexFile.h"

TgsPageWriteBehind::TgsPageWriteBehind(GSobjIndexFile& file, int64_t unitBytes)
    : file_(file), unitBytes_(unitBytes) {
    assert(unitBytes_ > 0);
    gathered_.reserve(kGatherBytes);
}

void TgsPageWriteBehind::Write(int64_t position, const void* page, size_t size) {
    assert(size > 0 && size % static_cast<size_t>(unitBytes_) == 0);
    const int64_t next = start_ + static_cast<int64_t>(gathered_.size()) / unitBytes_;
    if (!gathered_.empty() && (position != next || gathered_.size() + size > kGatherBytes)) Flush();
    if (size >= kGatherBytes) {
        file_.WriteBlock(position, page, static_cast<int32_t>(size));
        return;
    }
    if (gathered_.empty()) start_ = position;
    const auto* bytes = static_cast<const uint8_t*>(page);
    gathered_.insert(gathered_.end(), bytes, bytes + size);
}

void TgsPageWriteBehind::Flush() {
    if (gathered_.empty()) return;
    file_.WriteBlock(start_, gathered_.data(), static_cast<int32_t>(gathered_.size()));
    gathered_.clear();
}

#pragma once
// TgsPageWriteBehind: gathers the pages a bottom-up build writes into one larger write when
// they follow each other in the file, as the leaves of a build mostly do. A page that does
// not continue the gathered ones, or does not fit beside them, sends them out first.
// Positions are in the index file's own units (`unitBytes` bytes each); nothing is written
// until the gathered pages are sent, so the builder calls Flush before it finishes.

#include <cstddef>
#include <cstdint>
#include <vector>

class GSobjIndexFile;

class TgsPageWriteBehind {
public:
    static constexpr size_t kGatherBytes = 64 * 1024;

    TgsPageWriteBehind(GSobjIndexFile& file, int64_t unitBytes);
    // The pages must be sent by Flush: the destructor forgets what was not.
    ~TgsPageWriteBehind() = default;
    TgsPageWriteBehind(const TgsPageWriteBehind&) = delete;
    TgsPageWriteBehind& operator=(const TgsPageWriteBehind&) = delete;

    // Writes `size` bytes (a multiple of the unit) at `position`, now or with the pages
    // gathered with it.
    void Write(int64_t position, const void* page, size_t size);
    // Sends the gathered pages.
    void Flush();

private:
    GSobjIndexFile& file_;
    int64_t unitBytes_;
    std::vector<uint8_t> gathered_;
    int64_t start_ = 0;  // position of the first gathered page
};

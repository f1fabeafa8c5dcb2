#pragma once
// TgsPageCache: the pages of an index file kept in memory, so that seeks and walks read
// the upper levels of the tree once instead of at every operation. No other program can
// change an exclusively opened file, so a cached line stays true until this program
// writes over it or cuts the file back; a shared file keeps a cache of its own only while
// its change mark shows no other change (GSobjIndexFile::CheckKeptPages). The file is
// held in aligned lines of 1,024 bytes (an NTX page, two NDX or CDX pages); a bounded
// number of lines is kept and the clock hand evicts the ones not used since it last
// passed. The line held for a line number is found through a table indexed by the number
// (four bytes per line of the file's first 4 GB; lines beyond are read without caching).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TgsPageCache {
public:
    static constexpr int64_t kLineBytes = 1024;
    static constexpr size_t kDefaultLines = 16384;  // 16 MB
    static constexpr int64_t kIndexedLines = int64_t{1} << 22;  // 4 GB of file

    // Reads `size` bytes at `position` of a file; answers the bytes read (fewer at the end).
    using Reader = std::function<int32_t(int64_t position, void* buffer, int32_t size)>;

    explicit TgsPageCache(size_t maxLines = kDefaultLines);

    // The cache of the file named by `identity` (its device and inode), made when no open
    // index file of this program holds one: every object of one file reads and writes
    // through the same lines, whichever name it was opened by.
    static std::shared_ptr<TgsPageCache> ForFile(const std::string& identity);

    // Fills `buffer` with `size` bytes at `position`, from the lines held or through
    // `read`; false when the file ends before the last byte.
    bool Read(int64_t position, void* buffer, int32_t size, const Reader& read);
    // Drops the lines [position, position + size) touches (a write failed part-way).
    void Forget(int64_t position, int64_t size);
    // After a write that succeeded: the lines held take the bytes written.
    void Wrote(int64_t position, const void* buffer, int32_t size);
    // Forgets every line (the file was cut back or rebuilt).
    void Clear();
    // The bytes at [position, position + size) where they lie inside one line held (read
    // through `read` when needed); nullptr when they cross a line or the file ends first.
    // Valid until the next call on this cache.
    const uint8_t* View(int64_t position, int32_t size, const Reader& read);
    // Counts the writes, failed writes and clears: unchanged, every byte read since is
    // still the file's.
    uint64_t Changes() const { return changes_; }

    size_t LinesHeld() const { return held_; }

private:
    struct Line {
        int64_t number = -1;  // -1: free
        int32_t valid = 0;    // bytes of the line that the file holds
        bool used = false;
        std::unique_ptr<uint8_t[]> bytes;
    };
    static constexpr uint32_t kNotHeld = 0;  // slot numbers in where_ are stored plus one

    Line& Load(int64_t number, const Reader& read);
    size_t Victim();
    void Drop(size_t slot);

    size_t maxLines_;
    std::vector<Line> lines_;
    std::vector<uint32_t> where_;  // by line number: its slot plus one, or kNotHeld
    size_t held_ = 0;
    size_t hand_ = 0;
    uint64_t changes_ = 0;
};

// The page cache of exclusively opened index files: what it answers always equals the
// file, it reads each line once while it holds it, forgets what is written over, and
// evicts within its bound.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "index/core/TgsPageCache.h"

namespace {

// A file in memory that counts the reads that reach it.
struct FakeFile {
    std::string bytes;
    int reads = 0;
    TgsPageCache::Reader Reader() {
        return [this](int64_t at, void* into, int32_t n) -> int32_t {
            ++reads;
            if (at >= static_cast<int64_t>(bytes.size())) return 0;
            const size_t got = std::min(static_cast<size_t>(n), bytes.size() - static_cast<size_t>(at));
            std::memcpy(into, bytes.data() + at, got);
            return static_cast<int32_t>(got);
        };
    }
    void Fill(size_t size) {
        bytes.resize(size);
        for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>('a' + (i * 7 + i / 1024) % 26);
    }
};

std::string ReadVia(TgsPageCache& cache, FakeFile& f, int64_t at, int32_t n, bool* ok = nullptr) {
    std::string out(static_cast<size_t>(n), '\0');
    const bool got = cache.Read(at, out.data(), n, f.Reader());
    if (ok) *ok = got;
    return got ? out : std::string();
}

}  // namespace

TEST(IndexPageCache, ReadsAcrossLinesEqualTheFileAndHitTheSecondTime) {
    FakeFile f;
    f.Fill(10 * 1024);
    TgsPageCache cache;
    EXPECT_EQ(ReadVia(cache, f, 1000, 2000), f.bytes.substr(1000, 2000));  // lines 0, 1 and 2
    EXPECT_EQ(f.reads, 3);
    EXPECT_EQ(ReadVia(cache, f, 1024, 1024), f.bytes.substr(1024, 1024));
    EXPECT_EQ(ReadVia(cache, f, 0, 8), f.bytes.substr(0, 8));
    EXPECT_EQ(f.reads, 3);
    EXPECT_EQ(cache.LinesHeld(), 3u);
}

TEST(IndexPageCache, WrittenLinesAreReadAgain) {
    FakeFile f;
    f.Fill(4 * 1024);
    TgsPageCache cache;
    ASSERT_EQ(ReadVia(cache, f, 0, 4096), f.bytes);
    // A write of 10 bytes across the border of lines 1 and 2.
    cache.Forget(2040, 10);
    f.bytes.replace(2040, 10, "0123456789");
    const int before = f.reads;
    EXPECT_EQ(ReadVia(cache, f, 0, 4096), f.bytes);
    EXPECT_EQ(f.reads, before + 2);
}

TEST(IndexPageCache, TheEndOfTheFileIsNotKeptShort) {
    FakeFile f;
    f.Fill(1500);
    TgsPageCache cache;
    bool ok = true;
    ReadVia(cache, f, 1024, 1024, &ok);
    EXPECT_FALSE(ok);  // the file ends inside the line
    EXPECT_EQ(ReadVia(cache, f, 1024, 400), f.bytes.substr(1024, 400));
    // The file grows (a page appended by this program goes through Forget first).
    cache.Forget(1500, 548);
    f.bytes.append(548, 'z');
    EXPECT_EQ(ReadVia(cache, f, 1024, 1024), f.bytes.substr(1024, 1024));
    ReadVia(cache, f, 4096, 16, &ok);
    EXPECT_FALSE(ok);
    EXPECT_FALSE(cache.Read(-1, nullptr, 0, f.Reader()));
}

TEST(IndexPageCache, EvictionKeepsWithinTheBoundAndStaysTrue) {
    FakeFile f;
    f.Fill(64 * 1024);
    TgsPageCache cache(4);
    for (int round = 0; round < 3; ++round)
        for (int64_t line = 0; line < 64; line += 3) {
            EXPECT_EQ(ReadVia(cache, f, line * 1024 + 100, 900), f.bytes.substr(static_cast<size_t>(line * 1024 + 100), 900));
            EXPECT_LE(cache.LinesHeld(), 4u);
        }
    // A line used again and again survives the clock while others pass through.
    const int before = f.reads;
    for (int64_t line = 10; line < 20; ++line) {
        ReadVia(cache, f, 0, 16);
        ReadVia(cache, f, line * 1024, 16);
    }
    EXPECT_EQ(f.reads, before + 1 + 10);
    cache.Clear();
    EXPECT_EQ(cache.LinesHeld(), 0u);
    EXPECT_EQ(ReadVia(cache, f, 5000, 3000), f.bytes.substr(5000, 3000));
}

TEST(IndexPageCache, WritesReachTheLinesHeld) {
    FakeFile f;
    f.Fill(3 * 1024 + 100);
    TgsPageCache cache;
    ASSERT_EQ(ReadVia(cache, f, 0, 3 * 1024 + 100), f.bytes);
    const int before = f.reads;
    // Over the border of lines 0 and 1, then past the end inside the last line, then a
    // write beyond a gap after the end (the line must not take it).
    auto write = [&](int64_t at, const std::string& text) {
        if (f.bytes.size() < static_cast<size_t>(at) + text.size()) f.bytes.resize(static_cast<size_t>(at) + text.size(), '\0');
        f.bytes.replace(static_cast<size_t>(at), text.size(), text);
        cache.Wrote(at, text.data(), static_cast<int32_t>(text.size()));
    };
    write(1020, "ABCDEFGH");
    write(3 * 1024 + 90, std::string(40, 'Q'));
    EXPECT_EQ(ReadVia(cache, f, 0, static_cast<int32_t>(f.bytes.size())), f.bytes);
    EXPECT_EQ(f.reads, before);
    write(3 * 1024 + 500, "far");
    EXPECT_EQ(ReadVia(cache, f, 3 * 1024, 503), f.bytes.substr(3 * 1024));
    EXPECT_EQ(f.reads, before + 1);
}

TEST(IndexPageCache, ViewsLieInOneLineAndChangesCountEveryWrite) {
    FakeFile f;
    f.Fill(2 * 1024 + 300);
    TgsPageCache cache;
    const uint8_t* v = cache.View(1024, 1024, f.Reader());
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(v), 1024), f.bytes.substr(1024, 1024));
    EXPECT_EQ(cache.View(1000, 100, f.Reader()), nullptr);       // crosses a line
    EXPECT_EQ(cache.View(2048, 1024, f.Reader()), nullptr);      // the file ends inside it
    EXPECT_EQ(cache.View(-1, 8, f.Reader()), nullptr);
    ASSERT_NE(cache.View(2048, 300, f.Reader()), nullptr);
    const int before = f.reads;
    const uint64_t unchanged = cache.Changes();
    EXPECT_NE(cache.View(1024 + 10, 20, f.Reader()), nullptr);
    EXPECT_EQ(f.reads, before);
    EXPECT_EQ(cache.Changes(), unchanged);
    // A write seen through the view; each write, failed write and clear counts.
    cache.Wrote(1030, "XY", 2);
    f.bytes.replace(1030, 2, "XY");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(cache.View(1030, 2, f.Reader())), 2), "XY");
    EXPECT_EQ(cache.Changes(), unchanged + 1);
    cache.Forget(0, 1);
    cache.Clear();
    EXPECT_EQ(cache.Changes(), unchanged + 3);
}

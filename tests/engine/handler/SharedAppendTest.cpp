// Two processes appending to one shared table with an index file of each format open
// through it at the same time: every record ends up in the index exactly once, in key
// order, and the file walks like a fresh rebuild.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>

#include "HandlerTestSupport.h"
#include "index/core/GSobjIndexFile.h"
#include "index/core/GSobjIndexTag.h"

using namespace handlertest;

namespace {

constexpr int kPerProcess = 150;

// Runs in a child: appends kPerProcess records named after `who`; the exit status says
// whether every append went through.
[[noreturn]] void AppendAsChild(const std::string& path, const std::string& index, char who) {
    int status = 0;
    try {
        auto t = GSO_dBHandler::Open(path, true, true);
        if (t->OpenIndexFile(index) != 0) _exit(3);
        for (int i = 0; i < kPerProcess; ++i) {
            // Names interleave between the two writers so that both split the same pages.
            std::string name = std::string(1, static_cast<char>('A' + i % 26)) + who + std::to_string(i);
            Append(*t, {name, static_cast<double>(i), "", true});
        }
    } catch (const std::exception& e) {
        fprintf(stderr, "child %c: %s\n", who, e.what());
        status = 2;
    }
    _exit(status);
}

class SharedAppend : public ::testing::TestWithParam<const char*> {};

// A writer must take the root from the file under its lock: one that wrote back the root
// it read before the other's split lost every key under the other's new root.
TEST_P(SharedAppend, TwoProcessesKeepOneIndexTrue) {
    const std::string ext = GetParam();
    testutil::TempDir dir;
    const std::string path = dir.File("shared.dbf");
    const std::string index = "names" + ext;
    CreatePeople(path);
    {
        auto t = GSO_dBHandler::Open(path, true, false);
        for (int i = 0; i < 20; ++i) Append(*t, {"SEED" + std::to_string(i), 0, "", false});
        BuildIndex(*t, dir.File(index), "NAME", "", false, true, "NAMES");
    }
    for (int round = 0; round < 2; ++round) {
        pid_t a = fork();
        if (a == 0) AppendAsChild(path, index, 'x');
        pid_t b = fork();
        if (b == 0) AppendAsChild(path, index, 'y');
        int sa = -1, sb = -1;
        ASSERT_EQ(waitpid(a, &sa, 0), a);
        ASSERT_EQ(waitpid(b, &sb, 0), b);
        ASSERT_TRUE(WIFEXITED(sa) && WEXITSTATUS(sa) == 0);
        ASSERT_TRUE(WIFEXITED(sb) && WEXITSTATUS(sb) == 0);
    }

    auto t = GSO_dBHandler::Open(path, true, false);
    ASSERT_EQ(t->RecordCount(), 20 + 4 * kPerProcess);
    ASSERT_EQ(t->OpenIndexList(index, "NAMES"), 0);
    const std::vector<int32_t> walk = WalkTable(*t);
    ASSERT_EQ(walk.size(), static_cast<size_t>(t->RecordCount()));
    EXPECT_EQ(std::set<int32_t>(walk.begin(), walk.end()).size(), walk.size());
    std::string previous;
    for (int32_t r : walk) {
        t->GoRecord(r);
        const std::string name = NameOf(*t);
        EXPECT_LE(previous, name);
        previous = name;
    }
    // The same order as a fresh build (names repeat only across rounds, and a rebuild
    // keeps equal keys in record order, as appends do).
    BuildIndex(*t, dir.File("fresh" + ext), "NAME", "", false, true, "FRESH");
    t->CloseIndexFiles();
    ASSERT_EQ(t->OpenIndexList("fresh" + ext, "FRESH"), 0);
    EXPECT_EQ(walk, WalkTable(*t));
}

INSTANTIATE_TEST_SUITE_P(Formats, SharedAppend, ::testing::Values(".ntx", ".ndx", ".cdx", ".mdx"),
                         [](const auto& info) { return std::string(info.param).substr(1); });

}  // namespace

namespace {

TEST(SharedIndexLock, AnIndexFileLockedElsewhereRefusesTheWriteAndChangesNothing) {
    testutil::TempDir dir;
    const std::string path = dir.File("locked.dbf");
    CreatePeople(path);
    {
        auto t = GSO_dBHandler::Open(path, true, false);
        Append(*t, {"FIRST", 1, "", true});
        BuildIndex(*t, dir.File("a.ntx"), "NAME");
        BuildIndex(*t, dir.File("b.ntx"), "AMOUNT");
    }
    // Another program holds b.ntx's index lock until told to let go.
    int ready[2], release[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(release), 0);
    pid_t holder = fork();
    if (holder == 0) {
        char c = 0;
        try {
            auto t = GSO_dBHandler::Open(path, true, true);
            if (t->OpenIndexList("b.ntx", "") != 0 || !t->LockIndexFiles()) _exit(3);
            c = 1;
            if (write(ready[1], &c, 1) != 1) _exit(4);
            if (read(release[0], &c, 1) != 1) _exit(5);
            t->UnlockIndexFiles();
        } catch (...) {
            _exit(2);
        }
        _exit(0);
    }
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    auto writer = GSO_dBHandler::Open(path, true, true);
    ASSERT_EQ(writer->OpenIndexList("a.ntx b.ntx", "A"), 0);
    const std::vector<uint8_t> before = testutil::ReadBytes(path);
    const std::vector<uint8_t> indexBefore = testutil::ReadBytes(dir.File("a.ntx"));
    writer->BlankRecord();
    Store(*writer, {"SECOND", 2, "", true});
    const std::string message = ErrorOf([&] { writer->AddRecord(); });
    EXPECT_EQ(message.rfind("Record locked by another user - ", 0), 0u) << message;
    EXPECT_EQ(testutil::ReadBytes(path), before);
    EXPECT_EQ(testutil::ReadBytes(dir.File("a.ntx")), indexBefore);
    ASSERT_EQ(write(release[1], &c, 1), 1);
    int status = -1;
    ASSERT_EQ(waitpid(holder, &status, 0), holder);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    // Let go, the same append goes through and both files take its keys.
    writer->AddRecord();
    EXPECT_EQ(WalkTable(*writer), (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(writer->SelectTag("B", false), 2);
    EXPECT_EQ(WalkTable(*writer), (std::vector<int32_t>{1, 2}));
}

}  // namespace

// The memo lock: two processes writing one shared memo file at once, and a lock held
// elsewhere failing the write with subcode 1112 after the retries.

#include <fstream>

#include "engine/platform/FileSystem.h"
#include "memo_helpers.h"

using memotest::MakeTable;
using memotest::Pattern;
using testutil::TempDir;

namespace {

constexpr int kMemosPerWriter = 500;

struct Written {
    int32_t block;
    unsigned seed;
    size_t length;
};

// One writer: many memos, some rewritten and (dBase IV) some freed and replaced.
int Writer(const std::string& table, uint8_t version, int id, const std::string& report,
           testutil::Pipe& start) {
    auto memo = CreateMemoObject(nullptr, table, version, true, true);
    if (start.Receive() != 'g') return 2;  // both writers begin together
    std::vector<Written> mine;
    for (int i = 0; i < kMemosPerWriter; ++i) {
        unsigned seed = static_cast<unsigned>(id * 100000 + i);
        size_t n = static_cast<size_t>((i * 137 + id * 61) % 1800 + 1);
        std::string t = Pattern(n, seed);
        mine.push_back({memo->MemoWrite(0, t.data(), static_cast<int32_t>(n)), seed, n});
        if (i % 5 == 4) {
            Written& w = mine[static_cast<size_t>(i - 2)];
            w.seed += 7;
            w.length = (w.length * 3) % 2500 + 1;
            std::string r = Pattern(w.length, w.seed);
            w.block = memo->MemoWrite(w.block, r.data(), static_cast<int32_t>(w.length));
        }
        if (i % 7 == 6) {
            Written& w = mine[static_cast<size_t>(i - 1)];
            memo->MemoFree(w.block);
            w.seed += 11;
            std::string r = Pattern(w.length, w.seed);
            w.block = memo->MemoWrite(0, r.data(), static_cast<int32_t>(w.length));
        }
    }
    std::ofstream out(report);
    for (const Written& w : mine) out << w.block << ' ' << w.seed << ' ' << w.length << '\n';
    return out.good() ? 0 : 1;
}

void TwoWriters(uint8_t version) {
    SCOPED_TRACE(static_cast<int>(version));
    TempDir dir;
    const std::string table = MakeTable(dir, "shared.dbf", version);
    std::vector<pid_t> pids;
    testutil::Pipe start;
    for (int id = 1; id <= 2; ++id) {
        const std::string report = dir.File("writer" + std::to_string(id) + ".txt");
        pids.push_back(testutil::Spawn([&, id, report] { return Writer(table, version, id, report, start); }));
    }
    start.Send('g');
    start.Send('g');
    for (pid_t p : pids) EXPECT_EQ(testutil::Wait(p), 0);
    auto memo = CreateMemoObject(nullptr, table, version, false, false);
    size_t checked = 0;
    std::vector<std::pair<int32_t, int32_t>> spans;
    for (int id = 1; id <= 2; ++id) {
        std::ifstream in(dir.File("writer" + std::to_string(id) + ".txt"));
        Written w{};
        while (in >> w.block >> w.seed >> w.length) {
            EXPECT_TRUE(memo->MemoText(w.block) == Pattern(w.length, w.seed))
                << "writer " << id << " block " << w.block;
            spans.emplace_back(w.block, w.block + static_cast<int32_t>(w.length) / memo->BlockSize());
            ++checked;
        }
    }
    EXPECT_EQ(checked, 2u * kMemosPerWriter);
    // No two live memos start in the same block.
    std::sort(spans.begin(), spans.end());
    for (size_t i = 1; i < spans.size(); ++i) EXPECT_GT(spans[i].first, spans[i - 1].second);
}

TEST(MemoLock, TwoProcessesWritingDbt3) { TwoWriters(0x83); }
TEST(MemoLock, TwoProcessesWritingDbt4) { TwoWriters(0x8B); }
TEST(MemoLock, TwoProcessesWritingFpt) { TwoWriters(0xF5); }

TEST(MemoLock, RegionsOfTheFourProtocols) {
    TempDir dir;
    auto memo = memotest::OpenMemo(MakeTable(dir, "p.dbf", 0x83), 0x83);
    EXPECT_EQ(memo->MemoLockOffset(), 0x7FFFFFFDu);
    EXPECT_EQ(memo->MemoLockLength(), 1u);
    memo->MemoSetLockProtocol(TgsLokProtocol::DB4Lock);
    EXPECT_EQ(memo->MemoLockOffset(), 0xEFFFFFFEu);
    EXPECT_EQ(memo->MemoLockLength(), 2u);
    memo->MemoSetLockProtocol(TgsLokProtocol::ClipLock);
    EXPECT_EQ(memo->MemoLockOffset(), 1000000000u);
    EXPECT_EQ(memo->MemoLockLength(), 1u);
    memo->MemoSetLockProtocol(TgsLokProtocol::FoxLock);
    EXPECT_EQ(memo->MemoLockOffset(), 0x7FFFFFFDu);
    memo->MemoSetLockProtocol(static_cast<TgsLokProtocol>(7));
    EXPECT_EQ(memo->LockProtocol(), TgsLokProtocol::FoxLock);
    EXPECT_EQ(memo->MemoLockOffset(), 0x7FFFFFFDu);
}

class LockOwner : public GSO_DiskFile {
public:
    LockOwner() : GSO_DiskFile("/tmp/lockowner.dbf", false, false) {}
    [[noreturn]] void ReportError(int code, int subcode, const std::string& detail) override {
        lastCode = code;
        lastSubcode = subcode;
        throw ERidedezError(detail);
    }
    int lastCode = 0, lastSubcode = 0;
};

// Another handle holds one byte of the memo lock region: the write gives up after its
// retries, reports subcode 1112 with the lock-violation code, and writes nothing.
void LockHeldElsewhere(TgsLokProtocol protocol, uint32_t heldOffset) {
    TempDir dir;
    const std::string table = MakeTable(dir, "busy.dbf", 0x8B);
    const std::string path = memotest::MemoFile(table, 0x8B);
    std::unique_ptr<platform::SysFile> other;
    ASSERT_EQ(platform::Files().Open(path, true, true, other), 0);
    ASSERT_EQ(other->LockRange(heldOffset, 1), 0);
    const std::vector<uint8_t> before = testutil::ReadBytes(path);
    LockOwner owner;
    auto memo = CreateMemoObject(&owner, table, 0x8B, true, true, protocol);
    EXPECT_THROW(memo->MemoWrite(0, "blocked", 7), ERidedezError);
    EXPECT_EQ(owner.lastCode, 33);
    EXPECT_EQ(owner.lastSubcode, 1112);
    EXPECT_EQ(testutil::ReadBytes(path), before);
    EXPECT_EQ(memo->LockCount(), 0);
    // Once the other handle lets go, the write goes through.
    ASSERT_EQ(other->UnlockRange(heldOffset, 1), 0);
    int32_t block = memo->MemoWrite(0, "free now", 8);
    EXPECT_EQ(memo->MemoText(block), "free now");
    EXPECT_EQ(memo->LockCount(), 0);
}

TEST(MemoLock, HeldLockFailsTheWriteAfterTheRetries) {
    LockHeldElsewhere(TgsLokProtocol::Default, 0x7FFFFFFDu);
}

TEST(MemoLock, DB4LockCoversTwoBytes) { LockHeldElsewhere(TgsLokProtocol::DB4Lock, 0xEFFFFFFFu); }

}  // namespace

#include <gtest/gtest.h>
#include <unistd.h>

#include "engine/DiskFile.h"
#include "engine/ErrorHandler.h"
#include "engine/Exception.h"
#include "engine/FileColl.h"
#include "engine/LockProtocol.h"
#include "engine/platform/LastError.h"
#include "engine/platform/Paths.h"
#include "TestUtil.h"

using testutil::TempDir;

namespace {

std::string MakeFile(const TempDir& dir, const std::string& name, size_t size) {
    std::string p = dir.File(name);
    testutil::WriteBytes(p, std::vector<uint8_t>(size, 'x'));
    return p;
}

std::string ErrorText(const std::function<void()>& f) {
    try {
        f();
    } catch (const ERidedezError& e) {
        return e.what();
    }
    return "<no exception>";
}

TEST(DiskFile, ShortReadReturnsWhatThereIsAndLeaves221) {
    TempDir dir;
    GSO_DiskFile f(MakeFile(dir, "ten.bin", 10), false, false);
    f.Open();
    uint8_t buf[32];
    EXPECT_EQ(f.ReadAt(0, buf, 32), 10);
    EXPECT_EQ(f.LastError(), 221);
    EXPECT_EQ(f.Position(), 10);
}

TEST(DiskFile, WritesReadsSizesAndFlushes) {
    TempDir dir;
    GSO_DiskFile f(MakeFile(dir, "a.bin", 0), true, false);
    f.Open();
    f.WriteAt(100, "abc", 3);
    EXPECT_TRUE(f.IsWritten());
    EXPECT_EQ(f.FileSize(), 103);
    f.Flush();
    EXPECT_FALSE(f.IsWritten());
    char buf[3];
    EXPECT_EQ(f.ReadAt(100, buf, 3), 3);
    EXPECT_EQ(std::string(buf, 3), "abc");
    EXPECT_EQ(f.LastError(), 0);
}

TEST(DiskFile, OffsetsPastTwoGigabytesAreRefused) {
    TempDir dir;
    GSO_DiskFile f(MakeFile(dir, "big.bin", 16), true, false);
    f.Open();
    char buf[32] = {};
    std::string msg = ErrorText([&] { f.WriteAt(0x7FFFFFF0LL, buf, 32); });
    EXPECT_EQ(msg, "Ridedez Error 223, SubCode 1102.\r " + f.RealPath());
    EXPECT_EQ(f.FileSize(), 16);  // nothing was written
    EXPECT_THROW(f.ReadAt(0x80000000LL, buf, 1), ERidedezError);
    EXPECT_THROW(f.ReadAt(-1, buf, 1), ERidedezError);
    // The last byte below the limit is still reachable.
    EXPECT_NO_THROW(f.WriteAt(0x7FFFFFFELL, buf, 1));
}

TEST(DiskFile, PathsAreFullUpperCaseIdentities) {
    TempDir dir;
    MakeFile(dir, "rel.dbf", 1);
    std::string old = platform::ExpandPath(".");
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
    GSO_DiskFile f("./sub/../rel.dbf", false, true);
    EXPECT_EQ(f.Path(), platform::IdentityKey(dir.Path() + "/REL.DBF"));
    EXPECT_EQ(f.RealPath(), dir.Path() + "/rel.dbf");
    EXPECT_NO_THROW(f.Open());
    ASSERT_EQ(chdir(old.c_str()), 0);
    // A network-style path is only upper-cased.
    GSO_DiskFile net("\\\\server\\share\\kaz1.dbf", false, true);
    EXPECT_EQ(net.Path(), "\\\\SERVER\\SHARE\\KAZ1.DBF");
}

TEST(DiskFile, NamesDifferingOnlyInCaseAreFound) {
    TempDir dir;
    MakeFile(dir, "Kaz1.dbf", 5);
    MakeFile(dir, "KAZ2.DBF", 7);
    GSO_DiskFile upper(dir.File("KAZ1.DBF"), false, true);
    upper.Open();
    EXPECT_EQ(upper.FileSize(), 5);
    EXPECT_EQ(upper.RealPath(), dir.File("Kaz1.dbf"));
    GSO_DiskFile lower(dir.File("kaz2.dbf"), false, true);
    lower.Open();
    EXPECT_EQ(lower.FileSize(), 7);
    // Directories are matched the same way.
    ASSERT_EQ(mkdir(dir.File("Data").c_str(), 0755), 0);
    MakeFile(dir, "Data/Name.dbf", 3);
    GSO_DiskFile deep(dir.File("DATA/NAME.DBF"), false, true);
    deep.Open();
    EXPECT_EQ(deep.FileSize(), 3);
}

TEST(DiskFile, ObjectsOfOnePathShareTheFirstHandle) {
    TempDir dir;
    std::string p = MakeFile(dir, "t.dbf", 4);
    GSO_DiskFile first(p, false, true);
    first.Open();
    GSO_DiskFile second(dir.File("T.DBF"), true, false);
    second.Open();
    EXPECT_TRUE(second.IsShared());  // taken over from the first object
    EXPECT_FALSE(second.HandleWritable());
    std::string msg = ErrorText([&] { second.WriteAt(0, "zz", 2); });
    EXPECT_EQ(msg, "File access denied - " + second.RealPath());
    EXPECT_EQ(platform::GetLastError(), 5);
    // Closing the first keeps the handle for the second.
    first.Close();
    char buf[4];
    EXPECT_EQ(second.ReadAt(0, buf, 4), 4);
    second.Close();
    EXPECT_EQ(GSobjFileColl::Instance().FindSameFile(second.Identity(), nullptr), nullptr);
}

TEST(DiskFile, CreatingAPathThatIsOpenIsRefused) {
    TempDir dir;
    std::string p = MakeFile(dir, "c.dbf", 4);
    GSO_DiskFile open(p, true, false);
    open.Open();
    GSO_DiskFile again(p, true, false);
    EXPECT_EQ(ErrorText([&] { again.CreateNew(); }), "Invalid file access code - " + p);
    EXPECT_EQ(open.FileSize(), 4);
}

TEST(DiskFile, CreateNewEmptiesAndOpens) {
    TempDir dir;
    std::string p = MakeFile(dir, "n.dbf", 40);
    GSO_DiskFile f(p, true, false);
    EXPECT_TRUE(f.Existed());
    f.CreateNew();
    EXPECT_FALSE(f.IsClosed());
    EXPECT_EQ(f.FileSize(), 0);
}

TEST(DiskFile, TruncateNeedsExclusiveUseOrTheWholeFileLock) {
    TempDir dir;
    std::string p = MakeFile(dir, "tr.dbf", 100);
    {
        GSO_DiskFile ro(p, false, false);
        ro.Open();
        EXPECT_EQ(ErrorText([&] { ro.TruncateAt(10); }), "File access denied - " + p);
    }
    {
        GSO_DiskFile sh(p, true, true);
        sh.Open();
        EXPECT_THROW(sh.TruncateAt(10), ERidedezError);
        ASSERT_TRUE(sh.LockWholeFile());
        sh.TruncateAt(50);
        EXPECT_EQ(sh.FileSize(), 50);
        EXPECT_TRUE(sh.UnlockRegion());
    }
    GSO_DiskFile ex(p, true, false);
    ex.Open();
    ex.TruncateAt(20);
    EXPECT_EQ(ex.FileSize(), 20);
}

TEST(DiskFile, RenameMovesTheFileAndReopensIt) {
    TempDir dir;
    std::string p = MakeFile(dir, "old.dbf", 6);
    MakeFile(dir, "taken.dbf", 1);
    GSO_DiskFile f(p, true, false);
    f.Open();
    EXPECT_TRUE(f.Rename(dir.File("new.dbf")));
    EXPECT_EQ(f.RealPath(), dir.File("new.dbf"));
    EXPECT_EQ(f.FileSize(), 6);
    EXPECT_FALSE(platform::FileExists(p));
    // An existing target is never overwritten; the file stays open under its name.
    EXPECT_EQ(ErrorText([&] { f.Rename(dir.File("taken.dbf")); }),
              "File already exists - " + dir.File("new.dbf"));
    EXPECT_EQ(f.FileSize(), 6);
    EXPECT_EQ(testutil::ReadBytes(dir.File("taken.dbf")).size(), 1u);
}

TEST(DiskFile, ExclusiveLocksAreCountedWithoutSystemLocks) {
    TempDir dir;
    std::string p = MakeFile(dir, "x.dbf", 10);
    GSO_DiskFile f(p, true, false);
    f.Open();
    EXPECT_TRUE(f.LockRegion(5, 1));
    EXPECT_TRUE(f.LockRegion(9, 1));  // not shared: always granted
    EXPECT_EQ(f.LockCount(), 2);
    EXPECT_TRUE(f.UnlockRegion());
    EXPECT_TRUE(f.UnlockRegion());
    EXPECT_EQ(f.LockCount(), 0);
}

TEST(DiskFile, OneSharedObjectHoldsOneRegionAtATime) {
    TempDir dir;
    std::string p = MakeFile(dir, "s.dbf", 10);
    GSO_DiskFile f(p, true, true);
    f.Open();
    EXPECT_TRUE(f.LockRegion(0x40000000u, 1));
    EXPECT_FALSE(f.LockRegion(0x40000001u, 1));
    EXPECT_EQ(f.LastError(), 33);
    EXPECT_TRUE(f.LockRegion(0x40000000u, 1));
    EXPECT_EQ(f.LockCount(), 2);
}

// One process holds a region; another tries it at once, then again after the release.
void ExpectContention(const std::string& path, uint32_t offset, uint32_t length) {
    testutil::Pipe toChild, toParent;
    GSO_DiskFile holder(path, true, true);
    holder.Open();
    ASSERT_TRUE(holder.LockRegion(offset, length));
    ASSERT_TRUE(holder.LockRegion(offset, length));  // nested

    pid_t pid = testutil::Spawn([&] {
        GSO_DiskFile other(path, true, true);
        other.Open();
        int rc = 0;
        if (other.LockRegion(offset, length) || other.LastError() != 33) rc = 1;
        toParent.Send('a');
        toChild.Receive();  // the parent released one level: still locked
        if (other.LockRegion(offset, length) || other.LastError() != 33) rc = rc ? rc : 2;
        toParent.Send('b');
        toChild.Receive();  // now released
        if (!other.LockRegion(offset, length)) rc = rc ? rc : 3;
        return rc;
    });
    EXPECT_EQ(toParent.Receive(), 'a');
    EXPECT_TRUE(holder.UnlockRegion());
    toChild.Send('1');
    EXPECT_EQ(toParent.Receive(), 'b');
    EXPECT_TRUE(holder.UnlockRegion());
    EXPECT_EQ(holder.LockCount(), 0);
    toChild.Send('2');
    EXPECT_EQ(testutil::Wait(pid), 0) << "offset " << offset << " length " << length;
}

TEST(DiskFile, RegionsOfEveryProtocolContendBetweenProcesses) {
    TempDir dir;
    std::string p = MakeFile(dir, "lock.dbf", 1000);
    for (int protocol = 0; protocol <= 3; ++protocol) {
        TgsLockConstants c;
        ASSERT_TRUE(c.SetFor(protocol));
        uint32_t record = 0;
        ASSERT_TRUE(c.RecordRegion(protocol, 7, false, 97, 50, record));
        ExpectContention(p, record, 1);
        ExpectContention(p, c.HeaderOffset(), 1);
        ExpectContention(p, c.tableOffset, c.tableLength);
        ExpectContention(p, 0, c.tableLength);
    }
}

TEST(DiskFile, ExclusiveUseKeepsOtherProcessesOut) {
    TempDir dir;
    std::string p = MakeFile(dir, "ex.dbf", 10);
    GSO_DiskFile owner(p, true, false);
    owner.Open();
    for (bool shared : {true, false}) {
        for (bool rw : {true, false}) {
            pid_t pid = testutil::Spawn([&] {
                GSO_DiskFile other(p, rw, shared);
                std::string msg = ErrorText([&] { other.Open(); });
                return msg == "File access denied - " + p ? 0 : 1;
            });
            EXPECT_EQ(testutil::Wait(pid), 0) << "shared " << shared << " rw " << rw;
        }
    }
    // The failed attempts disturbed nothing.
    owner.WriteAt(0, "ok", 2);
    EXPECT_EQ(owner.FileSize(), 10);
    owner.Close();
    pid_t pid = testutil::Spawn([&] {
        GSO_DiskFile other(p, true, false);
        other.Open();
        return 0;
    });
    EXPECT_EQ(testutil::Wait(pid), 0);
}

TEST(DiskFile, SharedOpenersCoexistAndAnExclusiveOneWaitsOutside) {
    TempDir dir;
    std::string p = MakeFile(dir, "sh.dbf", 10);
    GSO_DiskFile mine(p, true, true);
    mine.Open();
    ASSERT_TRUE(mine.LockRegion(0x40000005u, 1));
    pid_t pid = testutil::Spawn([&] {
        GSO_DiskFile other(p, true, true);
        other.Open();
        other.WriteAt(0, "yy", 2);
        GSO_DiskFile excl(dir.File("SH.DBF"), true, true);  // same process: shares the handle
        excl.Open();
        GSO_DiskFile third(p, false, false);
        // A third object in this process shares the open handle, so it is not refused.
        third.Open();
        return third.IsShared() ? 0 : 1;
    });
    EXPECT_EQ(testutil::Wait(pid), 0);
    pid = testutil::Spawn([&] {
        GSO_DiskFile excl(p, true, false);
        return ErrorText([&] { excl.Open(); }).rfind("File access denied", 0) == 0 ? 0 : 1;
    });
    EXPECT_EQ(testutil::Wait(pid), 0);
    // The first opener still has its lock and its data.
    EXPECT_EQ(mine.LockCount(), 1);
    char buf[2];
    mine.ReadAt(0, buf, 2);
    EXPECT_EQ(std::string(buf, 2), "yy");
}

TEST(LockProtocol, RegionsOfEachProtocol) {
    TgsLockConstants c;
    uint32_t off = 0;
    ASSERT_TRUE(c.SetFor(static_cast<int>(TgsLokProtocol::DB4Lock)));
    ASSERT_TRUE(c.RecordRegion(1, 1, false, 97, 50, off));
    EXPECT_EQ(off, 0xEFFFFFFDu);
    EXPECT_EQ(c.tableLength, 0xB0000000u);
    ASSERT_TRUE(c.SetFor(static_cast<int>(TgsLokProtocol::ClipLock)));
    ASSERT_TRUE(c.RecordRegion(2, 1, false, 97, 50, off));
    EXPECT_EQ(off, 1000000001u);
    ASSERT_TRUE(c.SetFor(static_cast<int>(TgsLokProtocol::Default)));
    ASSERT_TRUE(c.RecordRegion(0, 3, false, 97, 50, off));
    EXPECT_EQ(off, 0x40000000u + 197u);
    ASSERT_TRUE(c.RecordRegion(0, 3, true, 97, 50, off));
    EXPECT_EQ(off, 0x7FFFFFFBu);
    ASSERT_TRUE(c.SetFor(static_cast<int>(TgsLokProtocol::FoxLock)));
    EXPECT_EQ(c.HeaderOffset(), 0x7FFFFFFEu);
    // An unknown protocol keeps the constants and has no record region.
    EXPECT_FALSE(c.SetFor(4));
    EXPECT_EQ(c.recordBase, 0x7FFFFFFEu);
    EXPECT_FALSE(c.RecordRegion(4, 3, false, 97, 50, off));
}

TEST(LockProtocol, WaitingGivesUpAfterFortyTries) {
    int tries = 0;
    EXPECT_FALSE(WaitForLock([&] { return ++tries < 0; }));
    EXPECT_EQ(tries, 40);
    tries = 0;
    EXPECT_TRUE(WaitForLock([&] { return ++tries == 3; }));
    EXPECT_EQ(tries, 3);
}

}  // namespace

namespace {

// Exclusive handles read through a buffer of their own: random reads, writes, appends
// and truncations must always see what a plain copy of the file holds.
TEST(DiskFile, ExclusiveReadsStayTrueToTheFile) {
    TempDir dir;
    std::string p = MakeFile(dir, "buf.bin", 0);
    GSO_DiskFile f(p, true, false);
    f.Open();
    std::vector<uint8_t> shadow;
    uint32_t seed = 12345;
    auto next = [&] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) & 0xFFFFFF;
    };
    for (int step = 0; step < 3000; ++step) {
        const int op = static_cast<int>(next() % 10);
        if (op < 5 && !shadow.empty()) {
            int64_t off = next() % (shadow.size() + 100);
            int32_t len = static_cast<int32_t>(1 + next() % 20000);
            std::vector<uint8_t> got(static_cast<size_t>(len), 0xEE);
            int32_t n = f.ReadAt(off, got.data(), len);
            int64_t expect = std::max<int64_t>(0, std::min<int64_t>(len, static_cast<int64_t>(shadow.size()) - off));
            ASSERT_EQ(n, expect) << "step " << step;
            for (int32_t i = 0; i < n; ++i) ASSERT_EQ(got[i], shadow[off + i]) << "step " << step;
        } else if (op < 9) {
            int64_t off = next() % (shadow.size() + 200);
            int32_t len = static_cast<int32_t>(1 + next() % 3000);
            std::vector<uint8_t> data(static_cast<size_t>(len));
            for (auto& b : data) b = static_cast<uint8_t>(next());
            f.WriteAt(off, data.data(), len);
            if (shadow.size() < static_cast<size_t>(off + len)) shadow.resize(off + len, 0);
            std::copy(data.begin(), data.end(), shadow.begin() + off);
        } else {
            int64_t size = shadow.empty() ? 0 : next() % shadow.size();
            f.TruncateAt(size);
            shadow.resize(static_cast<size_t>(size));
        }
    }
    f.Close();
    EXPECT_EQ(testutil::ReadBytes(p), shadow);
}

}  // namespace

// Every write path of the table object under failing writes: append, rewrite, memo write
// and rewrite of the three memo kinds, pack and the header write, each with the fault at
// every write index in turn.

#include "FaultHarness.h"

using namespace faulttest;

namespace {

std::string MemoFor(int r) {
    // Short, one-block and several-block memos.
    const size_t sizes[] = {0, 40, 700, 1500};
    std::string s(sizes[r % 4], static_cast<char>('a' + r % 26));
    for (size_t i = 0; i < s.size(); i += 37) s[i] = static_cast<char>('0' + r % 10);
    return s;
}

// A table of `records` records (NAME, AMOUNT, and NOTES with memos of mixed sizes for
// memo versions), flushed to disk.
std::function<void(const std::string&)> Table(uint8_t version, int records,
                                              std::set<int32_t> deleted = {}) {
    return [=](const std::string& path) {
        std::vector<TgsFieldDef> fields = {{"NAME", 'C', 10, 0}, {"AMOUNT", 'N', 8, 2}};
        if (HasMemoField(version)) fields.push_back({"NOTES", 'M', 0, 0});
        CreateDBFTable(path, version, fields);
        auto t = GSO_dBHandler::Open(path, true, false);
        for (int r = 1; r <= records; ++r) {
            t->BlankRecord();
            t->PutTextByName("NAME", "R" + std::to_string(r));
            t->PutNumberByName("AMOUNT", 1.25 * r);
            if (HasMemoField(version)) {
                const std::string memo = MemoFor(r);
                t->MemoWrite(kMemoField, memo.data(), static_cast<int32_t>(memo.size()));
            }
            t->AddRecord();
            if (deleted.count(r)) t->DeleteRecord();
        }
        t->Flush();
    };
}

void Expect(const std::vector<Findings>& all) {
    EXPECT_GT(TotalFaults(all), 0);
    for (const Findings& f : all) EXPECT_EQ(f.reportedFailures + f.passedOver, f.faults);
}

const uint8_t kMemoVersions[] = {gsVersionDBase3Memo, gsVersionDBase4Memo, gsVersionFoxPro};

std::string VersionName(uint8_t v) {
    switch (v) {
        case gsVersionDBase3Memo: return "dbt3";
        case gsVersionDBase4Memo: return "dbt4";
        case gsVersionFoxPro: return "fpt";
        default: return "dbf";
    }
}

}  // namespace

TEST(WriteFaults, Append) {
    Scenario sc;
    sc.name = "append";
    sc.version = gsVersionDBase3;
    sc.setup = Table(sc.version, 5);
    sc.write = [](GSO_dBHandler& t) {
        t.BlankRecord();
        t.PutTextByName("NAME", "NEW");
        t.AddRecord();
    };
    sc.written = {6};
    sc.appends = true;
    Expect(RunAllWriteFaults(sc));
}

TEST(WriteFaults, Rewrite) {
    Scenario sc;
    sc.name = "rewrite";
    sc.version = gsVersionDBase3;
    sc.setup = Table(sc.version, 5);
    sc.write = [](GSO_dBHandler& t) {
        t.GoRecord(3);
        t.PutTextByName("NAME", "CHANGED");
        t.PutNumberByName("AMOUNT", 99);
        t.PutRecord(3);
    };
    sc.written = {3};
    Expect(RunAllWriteFaults(sc));
}

TEST(WriteFaults, HeaderWriteWhenTheTableLockEnds) {
    // With the table locked the header waits; unlocking writes it on its own.
    Scenario sc;
    sc.name = "header";
    sc.version = gsVersionDBase3;
    sc.setup = Table(sc.version, 4);
    sc.write = [](GSO_dBHandler& t) {
        ASSERT_TRUE(t.LockTable());
        t.GoRecord(2);
        t.DeleteRecord();
        t.Unlock();
    };
    sc.written = {2};
    Expect(RunAllWriteFaults(sc));
}

TEST(WriteFaults, MemoWriteOfEachKind) {
    for (uint8_t v : kMemoVersions) {
        Scenario sc;
        sc.name = "memo write " + VersionName(v);
        sc.version = v;
        sc.setup = Table(v, 6);
        sc.write = [](GSO_dBHandler& t) {
            t.GoRecord(4);  // a record without a memo
            const std::string text(900, 'q');
            t.MemoWrite(kMemoField, text.data(), static_cast<int32_t>(text.size()));
            t.PutRecord(4);
        };
        sc.written = {4};
        Expect(RunAllWriteFaults(sc));
    }
}

TEST(WriteFaults, MemoRewriteOfEachKind) {
    for (uint8_t v : kMemoVersions) {
        for (size_t size : {20u, 3000u}) {  // in place, and moved to new blocks
            Scenario sc;
            sc.name = "memo rewrite " + VersionName(v) + " " + std::to_string(size);
            sc.version = v;
            sc.setup = Table(v, 6);
            sc.write = [size](GSO_dBHandler& t) {
                t.GoRecord(3);  // a record with a two-block memo
                const std::string text(size, 'z');
                t.MemoWrite(kMemoField, text.data(), static_cast<int32_t>(text.size()));
                t.PutRecord(3);
            };
            sc.written = {3};
            Expect(RunAllWriteFaults(sc));
        }
    }
}

TEST(WriteFaults, Pack) {
    for (uint8_t v : {gsVersionDBase3, gsVersionDBase3Memo, gsVersionDBase4Memo, gsVersionFoxPro}) {
        Scenario sc;
        sc.name = "pack " + VersionName(v);
        sc.version = v;
        sc.setup = Table(v, 8, {2, 5, 6});
        sc.write = [](GSO_dBHandler& t) { t.PackTable(); };
        sc.packs = true;
        if (v == gsVersionDBase4Memo) sc.packedCount = 5;  // only dBase IV frees memo blocks
        Expect(RunAllWriteFaults(sc));
    }
}

TEST(WriteFaults, FlushThatFailsIsReported) {
    Scenario sc;
    sc.name = "append+flush";
    sc.version = gsVersionDBase3Memo;
    sc.setup = Table(sc.version, 3);
    sc.write = [](GSO_dBHandler& t) {
        t.BlankRecord();
        const std::string text(100, 'm');
        t.MemoWrite(kMemoField, text.data(), static_cast<int32_t>(text.size()));
        t.AddRecord();
        t.Flush();
    };
    sc.written = {4};
    sc.appends = true;
    const Findings f = RunWithFaults(sc, Target::Sync, FaultFileSystem::WriteFault::Fail, false,
                                     "sync-fail");
    EXPECT_GT(f.faults, 0);
    EXPECT_EQ(f.reportedFailures, f.faults);
}

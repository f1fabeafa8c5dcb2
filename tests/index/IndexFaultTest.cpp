// Index writes under a failing disk: appends that split pages and roots, and rebuilds, run
// with a fault injected at every write in turn. Afterwards the table is whole, and each
// index file is either sound (the checker finds nothing, so its order is the table's) or
// reported by the checker and mended by a rebuild: never a crash or a silently wrong order.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "engine/DbfCreate.h"
#include "engine/Exception.h"
#include "engine/dBHandler.h"
#include "engine/platform/FaultFileSystem.h"
#include "index/core/GSobjIndexFile.h"
#include "index/core/IndexCheck.h"
#include "index/core/IndexFileFactory.h"

namespace {

using platform::FaultFileSystem;

// Keys this long leave room for two or three entries a page, so that a few appends split
// leaves, branches and the root.
constexpr int kKeyWidth = 200;

std::string KeyOf(int i) {
    const int mixed = (i * 37) % 101;
    return std::string(1, static_cast<char>('A' + mixed % 26)) + std::to_string(mixed);
}

void AppendRecords(GSO_dBHandler& t, int from, int count) {
    for (int i = from; i < from + count; ++i) {
        t.BlankRecord();
        t.PutTextByName("KEY", KeyOf(i));
        t.PutNumberByName("N", i);
        t.AddRecord();
    }
}

struct Outcome {
    bool faultFired = false;
    bool opened = false;
    std::string error;
    int sound = 0;    // index files the checker passed
    int mended = 0;   // index files the checker reported and a rebuild mended
    // Index files whose header the fault spoilt: it does not open, or names a key that
    // cannot be computed (dbf check names them; only building them anew helps).
    std::vector<std::string> headerLost;
};

class IndexFaults : public ::testing::TestWithParam<FaultFileSystem::WriteFault> {
protected:
    void SetUp() override {
        path = dir.File("t.dbf");
        CreateDBFTable(path, 0x03, {{"KEY", 'C', kKeyWidth, 0}, {"N", 'N', 6, 0}});
        auto t = GSO_dBHandler::Open(path, true, false);
        AppendRecords(*t, 0, 8);
        for (const char* extension : {".NTX", ".NDX", ".CDX"}) {
            indexes.push_back(dir.File(std::string("t") + extension));
            auto f = CreateIndexFileOfFormat(extension, t.get(), indexes.back(), false);
            ASSERT_TRUE(f && f->Opened());
            f->CreateTag("KEY", "KEY", "", false, true);
        }
        t->CloseTable();
        for (const std::string& f : Files()) saved.push_back(testutil::ReadBytes(f));
    }

    std::vector<std::string> Files() const {
        std::vector<std::string> out = {path};
        out.insert(out.end(), indexes.begin(), indexes.end());
        return out;
    }

    void Restore() {
        const auto files = Files();
        for (size_t i = 0; i < files.size(); ++i) testutil::WriteBytes(files[i], saved[i]);
    }

public:
    // Runs `work` on the table with its indexes open, the n-th write failing.
    Outcome RunWithFault(int n, FaultFileSystem::WriteFault how,
                         const std::function<void(GSO_dBHandler&)>& work) {
        Outcome o;
        Restore();
        {
            FaultFileSystem fs;
            FaultFileSystem::Installed installed(fs);
            fs.FailWrite(n, how);
            try {
                auto t = GSO_dBHandler::Open(path, true, false);
                for (const std::string& index : indexes) t->OpenIndexFile(index);
                work(*t);
                t->CloseTable();
            } catch (const Exception&) {
                // The failed write is reported; what it left is checked below.
            }
            o.faultFired = fs.FaultsInjected() > 0;
        }
        try {
            auto t = GSO_dBHandler::Open(path, true, false);
            o.opened = true;
            EXPECT_LE(t->RecordCount(), 8 + 12);
            for (const std::string& index : indexes) {
                t->CloseIndexFiles();
                try {
                    t->OpenIndexFile(index);
                } catch (const Exception&) {
                    o.headerLost.push_back(index.substr(index.size() - 3));
                    continue;
                }
                GSobjIndexFile* f = t->IndexFile(1);
                bool sound = true;
                for (const TgsTagCheck& c : TgsIndexCheck::CheckFile(*f)) sound = sound && c.Ok();
                if (sound) {
                    ++o.sound;
                    continue;
                }
                t->Reindex();
                bool mended = true;
                std::string left;
                for (const TgsTagCheck& c : TgsIndexCheck::CheckFile(*t->IndexFile(1))) {
                    mended = mended && c.Ok();
                    for (const std::string& p : c.problems) left += p + "\n";
                }
                if (mended) {
                    ++o.mended;
                } else {
                    o.headerLost.push_back(index.substr(index.size() - 3));
                    o.error += index + ": " + left;
                }
            }
        } catch (const Exception& e) {
            o.error = e.what();
        }
        return o;
    }

    testutil::TempDir dir;
    std::string path;
    std::vector<std::string> indexes;
    std::vector<std::vector<uint8_t>> saved;
};

// Files of the formats in `mayLoseHeader` may be left with a spoilt header (counted); every
// other file opens after each fault and is sound or mended.
void RunEveryFault(IndexFaults& test, FaultFileSystem::WriteFault how,
                   const std::function<void(GSO_dBHandler&)>& work, const std::string& mayLoseHeader, int& runs,
                   int& mended, int& headerLost) {
    for (int n = 1; n < 2000; ++n) {
        const Outcome o = test.RunWithFault(n, how, work);
        ASSERT_TRUE(o.opened) << "fault at write " << n << ": " << o.error;
        EXPECT_EQ(o.sound + o.mended + static_cast<int>(o.headerLost.size()), 3) << "fault at write " << n << ": "
                                                                                 << o.error;
        for (const std::string& ext : o.headerLost)
            EXPECT_NE(mayLoseHeader.find(ext), std::string::npos) << ext << ", fault at write " << n << ": " << o.error;
        mended += o.mended;
        headerLost += static_cast<int>(o.headerLost.size());
        if (!o.faultFired) return;
        ++runs;
    }
    ADD_FAILURE() << "the work never ran without a fault";
}

TEST_P(IndexFaults, SplitsAndRootSplitsLeaveSoundOrReportedIndexes) {
    int runs = 0, mended = 0, headerLost = 0;
    RunEveryFault(*this, GetParam(), [](GSO_dBHandler& t) { AppendRecords(t, 8, 12); }, "", runs, mended,
                  headerLost);
    EXPECT_GT(runs, 20);
    EXPECT_GT(mended, 0);
    RecordProperty("faults", runs);
    RecordProperty("mended", mended);
    RecordProperty("headerLost", headerLost);
}

TEST_P(IndexFaults, RebuildsLeaveSoundOrReportedIndexes) {
    int runs = 0, mended = 0, headerLost = 0;
    // Every format keeps a header that opens: a CDX rebuild lays its new directory out in
    // full before the file's header names it.
    RunEveryFault(*this, GetParam(), [](GSO_dBHandler& t) { t.Reindex(); }, "", runs, mended, headerLost);
    EXPECT_EQ(headerLost, 0);
    EXPECT_GT(runs, 3);
    EXPECT_GT(mended, 0);
    RecordProperty("faults", runs);
    RecordProperty("mended", mended);
    RecordProperty("headerLost", headerLost);
}

INSTANTIATE_TEST_SUITE_P(FailedAndShortWrites, IndexFaults,
                         ::testing::Values(FaultFileSystem::WriteFault::Fail, FaultFileSystem::WriteFault::Short));

}  // namespace

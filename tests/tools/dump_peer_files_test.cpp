// dbf dump against files other programs wrote: the fixtures under the shared folder and
// fresh sets the peers write during the test, each compared value by value with what the
// peers' own readers found in them (tests/tools/dump_compare.py does the comparing).

#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <string>
#include <vector>

#include "TestUtil.h"

namespace {

using testutil::TempDir;

const std::string kTool = XB_DBF_TOOL;
const std::string kShared = XB_SHARED_DIR;
const std::string kCompare = std::string("/usr/bin/python3 ") + XB_SOURCE_DIR + "/tests/tools/dump_compare.py";

std::vector<std::string> TablesIn(const std::string& dir) {
    std::vector<std::string> out;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            std::string n = e->d_name;
            if (n.size() > 4 && n.substr(n.size() - 4) == ".dbf") out.push_back(n.substr(0, n.size() - 4));
        }
        closedir(d);
    }
    std::sort(out.begin(), out.end());
    return out;
}

// Dumps `table` with every record in latin-1 and compares it with `expected`; answers the
// number of values compared (0 on any failure, reported).
long DumpMatches(const std::string& table, const std::string& expected, const TempDir& dir) {
    const std::string out = dir.File("dump.jsonl");
    auto r = testutil::Run(kTool + " dump --deleted --codepage latin1 '" + table + "' > '" + out + "'");
    EXPECT_EQ(r.status, 0) << table << ": " << r.err;
    if (r.status != 0) return 0;
    r = testutil::Run(kCompare + " fixture '" + expected + "' '" + out + "'");
    EXPECT_EQ(r.status, 0) << table << ":\n" << r.out << r.err;
    const size_t at = r.out.find("compared ");
    if (r.status != 0 || at == std::string::npos) return 0;
    return std::stol(r.out.substr(at + 9));
}

TEST(DumpPeerFiles, EveryDebianFixtureReadsAsItsExpectations) {
    TempDir dir;
    const std::string base = kShared + "/fixtures/debian/";
    const std::vector<std::string> sets = TablesIn(base);
    ASSERT_GE(sets.size(), 12u);
    for (const std::string& set : sets) {
        SCOPED_TRACE(set);
        EXPECT_GT(DumpMatches(base + set + ".dbf", base + set + ".expected.json", dir), 100) << set;
    }
}

TEST(DumpPeerFiles, TheHarbourMainTablesReadAsTheirExpectations) {
    TempDir dir;
    for (const char* set : {"ntx/main.dbf|ntx/main.ntx", "cdx/main.dbf|cdx/main.cdx", "cdx_vfp/main.dbf|cdx_vfp/main.cdx"}) {
        const std::string s = set;
        const std::string table = kShared + "/fixtures/harbour/" + s.substr(0, s.find('|'));
        const std::string expected = kShared + "/fixtures/harbour/" + s.substr(s.find('|') + 1) + ".expected.json";
        // 1,000 records of 9 fields, plus the memo lengths.
        EXPECT_GE(DumpMatches(table, expected, dir), 9000) << set;
    }
}

TEST(DumpPeerFiles, FreshTablesThePeersWriteNowReadTheSame) {
    TempDir dir;
    auto r = testutil::Run("/usr/bin/python3 " + kShared + "/peers/gen_fixtures.py --out " + dir.Path() +
                 " --seed 777 --size 30 --sets p03_plain,p83_memo,pf5_fpt,p30_vfp,clp_longc,cyr1251,cyr866,"
                 "shp03,x83_memo,x8b_memo");
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    const std::vector<std::string> sets = TablesIn(dir.Path());
    ASSERT_EQ(sets.size(), 10u);
    TempDir work;
    for (const std::string& set : sets) {
        EXPECT_GT(DumpMatches(dir.File(set + ".dbf"), dir.File(set + ".expected.json"), work), 60) << set;
    }
}

TEST(DumpPeerFiles, CyrillicTextIsDecodedWithTheDeclaredOrTheGivenCodePage) {
    const std::string cyr866 = kShared + "/fixtures/debian/cyr866.dbf";
    const std::string cyr1251 = kShared + "/fixtures/debian/cyr1251.dbf";
    auto byDriver = testutil::Run(kTool + " dump " + cyr866);
    auto given = testutil::Run(kTool + " dump --codepage 866 " + cyr866);
    ASSERT_EQ(byDriver.status, 0) << byDriver.err;
    EXPECT_EQ(byDriver.out, given.out);
    // Record 1 of the set, as its expectations give it.
    EXPECT_EQ(byDriver.out.substr(0, byDriver.out.find('\n')),
              "{\"_recno\": 1, \"_deleted\": false, \"NAME\": \"\xD0\xBE\xD0\xB1\xD1\x8A\xD1\x91\xD0\xBC\", "
              "\"CITY\": \"\xD0\xA0\xD0\xBE\xD1\x81\xD1\x82\xD0\xBE\xD0\xB2\", \"AMOUNT\": 0, \"NOTE\": \"\"}");
    auto wrong = testutil::Run(kTool + " dump --codepage 1251 " + cyr866);
    ASSERT_EQ(wrong.status, 0);
    EXPECT_NE(wrong.out, given.out);
    auto w1251 = testutil::Run(kTool + " dump " + cyr1251);
    ASSERT_EQ(w1251.status, 0);
    // "Жюри" in record 1.
    EXPECT_NE(w1251.out.find("\"NAME\": \"\xD0\x96\xD1\x8E\xD1\x80\xD0\xB8\""), std::string::npos) << w1251.out.substr(0, 200);
}

TEST(DumpPeerFiles, DeletedRecordsAreLeftOutUnlessAsked) {
    const std::string p03 = kShared + "/fixtures/debian/p03_plain.dbf";
    auto all = testutil::Run(kTool + " dump --deleted " + p03);
    auto live = testutil::Run(kTool + " dump " + p03);
    ASSERT_EQ(all.status, 0);
    ASSERT_EQ(live.status, 0);
    const long total = std::count(all.out.begin(), all.out.end(), '\n');
    const long shown = std::count(live.out.begin(), live.out.end(), '\n');
    const size_t deletedLines = [&] {
        size_t n = 0;
        for (size_t p = all.out.find("\"_deleted\": true"); p != std::string::npos;
             p = all.out.find("\"_deleted\": true", p + 1)) {
            ++n;
        }
        return n;
    }();
    EXPECT_EQ(total, 40);
    EXPECT_GT(deletedLines, 0u);
    EXPECT_EQ(shown, total - static_cast<long>(deletedLines));
    EXPECT_EQ(live.out.find("\"_deleted\": true"), std::string::npos);
}

TEST(DumpPeerFiles, CsvHasAHeaderLineAndOneLinePerRecord) {
    auto r = testutil::Run(kTool + " dump --format csv --deleted " + kShared + "/fixtures/debian/shp03.dbf");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find("\r\n")), "_recno,_deleted,\"NAME\",\"AMOUNT\",\"QTY\",\"BDATE\",\"ACTIVE\"");
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 41);
    // Record 1: a '*'-filled number and a '?' logical are empty cells.
    EXPECT_NE(r.out.find("\r\n1,false,\"\xD0\xAA\",,4506,\"2006-06-11\",\r\n"), std::string::npos) << r.out.substr(0, 300);
}

TEST(DumpPeerFiles, ABadFileExitsWithTheEngineMessage) {
    TempDir dir;
    testutil::WriteBytes(dir.File("bad.dbf"), std::vector<uint8_t>(64, 0x55));
    auto r = testutil::Run(kTool + " dump " + dir.File("bad.dbf"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("dBase DBF file header invalid - " + dir.File("bad.dbf")), std::string::npos) << r.err;
    r = testutil::Run(kTool + " dump " + dir.File("none.dbf"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "dbf dump: File not found - " + dir.File("none.dbf") + "\n");
    EXPECT_EQ(testutil::Run(kTool + " dump --format xml " + dir.File("bad.dbf")).status, 2);
    EXPECT_EQ(testutil::Run(kTool + " dump --codepage 437 " + dir.File("bad.dbf")).status, 2);
}

}  // namespace

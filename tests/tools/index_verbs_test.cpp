// The dbf tool's index verbs: index, tags, dump in index order, append with indexes,
// reindex and check, against a model of the table's data and against Harbour's walk of
// the files we build; damage found by check and mended by reindex, also after a writer
// was killed in the middle of indexed appends.

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "TestUtil.h"
#include "engine/dBHandler.h"

namespace {

using testutil::TempDir;
using Json = nlohmann::json;

const std::string kTool = XB_DBF_TOOL;
const std::string kHbPeer = std::string(XB_SHARED_DIR) + "/peers/harbour/bin/hbpeer";

struct Row {
    int32_t recno = 0;
    std::string name;
    double amount = 0;
    bool active = false;
};

std::vector<Json> JsonLines(const std::string& text) {
    std::vector<Json> out;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        if (!line.empty()) out.push_back(Json::parse(line));
    return out;
}

testutil::CommandResult Dbf(const std::string& args, const std::string& input = "") {
    return testutil::Run(kTool + " " + args, input);
}

class IndexVerbs : public ::testing::Test {
protected:
    void SetUp() override {
        table = dir.File("t.dbf");
        auto r = Dbf("create " + table + " --version 0x83 NAME:C:12 AMOUNT:N:10:2 BDATE:D ACTIVE:L NOTES:M");
        ASSERT_EQ(r.status, 0) << r.err;
        AppendRows(1500, 5);
    }

    // Appends `n` random rows through dbf append (with `extra` arguments), keeping the model.
    void AppendRows(int n, unsigned seed, const std::string& extra = "") {
        static const char* const kStarts[] = {"Smith", "Sm", "Jones", "Ab", "Zed", "Brown", "Cole", "Dunn"};
        std::mt19937 rng(seed);
        std::string input;
        for (int i = 0; i < n; ++i) {
            Row row;
            row.recno = static_cast<int32_t>(rows.size()) + 1;
            row.name = kStarts[rng() % 8] + std::to_string(rng() % 50);
            row.amount = static_cast<double>(static_cast<int>(rng() % 200001) - 100000) / 100.0;
            row.active = rng() % 3 != 0;
            char amount[32];
            std::snprintf(amount, sizeof amount, "%.2f", row.amount);
            input += "{\"NAME\": \"" + row.name + "\", \"AMOUNT\": " + amount +
                     ", \"BDATE\": \"1990-01-0" + std::to_string(1 + rng() % 9) +
                     "\", \"ACTIVE\": " + (row.active ? "true" : "false") + ", \"NOTES\": \"n" +
                     std::to_string(i) + "\"}\n";
            rows.push_back(row);
        }
        auto r = Dbf("append " + table + " " + extra, input);
        ASSERT_EQ(r.status, 0) << r.err;
    }

    std::vector<int32_t> DumpOrder(const std::string& args) {
        auto r = Dbf("dump " + table + " " + args);
        EXPECT_EQ(r.status, 0) << r.err;
        std::vector<int32_t> out;
        for (const Json& j : JsonLines(r.out)) out.push_back(j["_recno"].get<int32_t>());
        return out;
    }

    long Count(const std::string& args) {
        auto r = Dbf("dump " + table + " --count " + args);
        EXPECT_EQ(r.status, 0) << r.err;
        return std::stol(r.out);
    }

    Json Check(const std::string& files, int expectedStatus) {
        auto r = Dbf("check " + table + " " + files);
        EXPECT_EQ(r.status, expectedStatus) << r.out << r.err;
        return r.out.empty() ? Json() : Json::parse(r.out);
    }

    TempDir dir;
    std::string table;
    std::vector<Row> rows;
};

TEST_F(IndexVerbs, IndexTagsAndCheckForEveryFormat) {
    const std::string ntx = dir.File("name.ntx"), ndx = dir.File("amount.ndx"), cdx = dir.File("t.cdx");
    ASSERT_EQ(Dbf("index " + table + " " + ntx + " --key NAME").status, 0);
    ASSERT_EQ(Dbf("index " + table + " " + ndx + " --key AMOUNT").status, 0);
    for (const char* tag : {"--tag NAME --key NAME", "--tag AMTD --key AMOUNT --descending --for ACTIVE",
                                   "--tag UNAME --key NAME --unique"}) {
        auto r = Dbf("index " + table + " " + cdx + " " + std::string(tag));
        ASSERT_EQ(r.status, 0) << r.err;
    }
    auto r = Dbf("tags " + table + " " + ntx + " " + ndx + " " + cdx);
    ASSERT_EQ(r.status, 0) << r.err;
    const auto tags = JsonLines(r.out);
    ASSERT_EQ(tags.size(), 5u);
    std::set<std::string> names;
    long active = 0;
    for (const Row& row : rows) {
        names.insert(row.name);
        active += row.active;
    }
    EXPECT_EQ(tags[0]["tag"], "NAME");
    EXPECT_EQ(tags[0]["key_type"], "C");
    EXPECT_EQ(tags[0]["key_length"], 12);
    EXPECT_EQ(tags[0]["keys"], 1500);
    EXPECT_EQ(tags[1]["key_type"], "N");
    std::map<std::string, Json> byTag;
    for (size_t i = 2; i < tags.size(); ++i) byTag[tags[i]["tag"].get<std::string>()] = tags[i];
    ASSERT_EQ(byTag.size(), 3u);
    EXPECT_EQ(byTag["AMTD"]["descending"], true);
    EXPECT_EQ(byTag["AMTD"]["for"], "ACTIVE");
    EXPECT_EQ(byTag["AMTD"]["keys"], active);
    EXPECT_EQ(byTag["UNAME"]["unique"], true);
    EXPECT_EQ(byTag["UNAME"]["keys"], static_cast<long>(names.size()));
    EXPECT_EQ(byTag["NAME"]["file"], cdx);

    const Json report = Check(ntx + " " + ndx + " " + cdx, 0);
    EXPECT_EQ(report["ok"], true);
    EXPECT_EQ(report["table"]["records"], 1500);
    EXPECT_EQ(report["table"]["memos"], 1500);
    EXPECT_EQ(report["indexes"].size(), 3u);
    EXPECT_EQ(report["indexes"][2]["tags"].size(), 4u);  // the directory and three tags

    // A tag is deleted from the bag and the others stay whole.
    ASSERT_EQ(Dbf("index " + table + " " + cdx + " --delete-tag UNAME").status, 0);
    EXPECT_EQ(JsonLines(Dbf("tags " + table + " " + cdx).out).size(), 2u);
    EXPECT_EQ(Dbf("index " + table + " " + cdx + " --delete-tag UNAME").status, 1);
    Check(cdx, 0);
}

TEST_F(IndexVerbs, DumpWalksInKeyOrderAndNarrows) {
    const std::string ntx = dir.File("name.ntx"), cdx = dir.File("t.cdx");
    ASSERT_EQ(Dbf("index " + table + " " + ntx + " --key NAME").status, 0);
    ASSERT_EQ(Dbf("index " + table + " " + cdx + " --tag AMTD --key AMOUNT --descending --for ACTIVE").status, 0);

    std::vector<Row> byName = rows;
    std::stable_sort(byName.begin(), byName.end(), [](const Row& a, const Row& b) { return a.name < b.name; });
    std::vector<int32_t> expected;
    for (const Row& r : byName) expected.push_back(r.recno);
    EXPECT_EQ(DumpOrder("--index " + ntx), expected);

    const std::vector<int32_t> amounts = DumpOrder("--index " + cdx + " --tag amtd");
    std::vector<Row> active;
    for (const Row& r : rows)
        if (r.active) active.push_back(r);
    ASSERT_EQ(amounts.size(), active.size());
    for (size_t i = 1; i < amounts.size(); ++i)
        EXPECT_GE(rows[static_cast<size_t>(amounts[i - 1] - 1)].amount, rows[static_cast<size_t>(amounts[i] - 1)].amount);

    auto count = [&](auto pred) { return static_cast<long>(std::count_if(rows.begin(), rows.end(), pred)); };
    EXPECT_EQ(Count("--index " + ntx + " --seek Sm"), count([](const Row& r) { return r.name.rfind("Sm", 0) == 0; }));
    EXPECT_EQ(Count("--index " + ntx + " --seek Smith1"),
              count([](const Row& r) { return r.name.rfind("Smith1", 0) == 0; }));
    EXPECT_EQ(Count("--index " + ntx + " --range B D"),
              count([](const Row& r) { return r.name[0] >= 'B' && r.name[0] <= 'D'; }));
    EXPECT_EQ(Count("--index " + ntx + " --range B D --filter 'AMOUNT > 0'"),
              count([](const Row& r) { return r.name[0] >= 'B' && r.name[0] <= 'D' && r.amount > 0; }));
    EXPECT_EQ(Count("--filter 'AMOUNT > 0 .AND. ACTIVE'"), count([](const Row& r) { return r.amount > 0 && r.active; }));
    EXPECT_EQ(Count("--index " + ntx + " --seek Nobody"), 0);

    // Harbour walks our NTX file and our CDX tag to the same orders.
    auto harbourWalk = [&](const std::string& args) {
        auto walk = testutil::Run("'" + kHbPeer + "' walk " + args);
        EXPECT_EQ(walk.status, 0) << walk.err;
        std::vector<int32_t> records;
        std::istringstream lines(walk.out);
        std::string line;
        std::getline(lines, line);
        while (std::getline(lines, line))
            if (line.size() > 1 && line[0] == '[') records.push_back(std::stoi(line.substr(1)));
        return records;
    };
    EXPECT_EQ(harbourWalk("DBFNTX '" + table + "' '" + ntx + "'"), expected);
    EXPECT_EQ(harbourWalk("DBFCDX '" + table + "' '" + cdx + "' AMTD"), amounts);
}

TEST_F(IndexVerbs, AppendKeepsIndexesAndCheckFindsWhatReindexMends) {
    const std::string ntx = dir.File("name.ntx"), cdx = dir.File("t.cdx");
    ASSERT_EQ(Dbf("index " + table + " " + ntx + " --key NAME").status, 0);
    ASSERT_EQ(Dbf("index " + table + " " + cdx + " --tag NAME --key NAME").status, 0);
    ASSERT_EQ(Dbf("index " + table + " " + cdx + " --tag ACT --key AMOUNT --for ACTIVE").status, 0);
    AppendRows(700, 9, "--index " + ntx + " " + cdx);
    Check(ntx + " " + cdx, 0);
    EXPECT_EQ(DumpOrder("--index " + ntx).size(), rows.size());
    AppendRows(300, 10, "--shared --index " + ntx + " " + cdx);
    Check(ntx + " " + cdx, 0);

    // Appends that leave the index files behind.
    AppendRows(5, 11);
    Json report = Check(ntx + " " + cdx, 1);
    EXPECT_EQ(report["table"]["ok"], true);
    const std::string text = report.dump();
    EXPECT_NE(text.find("record 2501 (key"), std::string::npos) << text;
    ASSERT_EQ(Dbf("reindex " + table + " " + ntx + " " + cdx).status, 0);
    Check(ntx + " " + cdx, 0);

    // A leaf page with bytes overwritten.
    auto bytes = testutil::ReadBytes(ntx);
    for (size_t i = 2048 + 100; i < 2048 + 300 && i < bytes.size(); ++i) bytes[i] = 'Q';
    testutil::WriteBytes(ntx, bytes);
    report = Check(ntx, 1);
    EXPECT_EQ(report["indexes"][0]["ok"], false);
    ASSERT_EQ(Dbf("reindex " + table + " " + ntx).status, 0);
    Check(ntx, 0);
    EXPECT_EQ(DumpOrder("--index " + ntx).size(), rows.size());
}

TEST_F(IndexVerbs, AnMdxBagOfTwoTagsAgainstTheModel) {
    const std::string mdx = dir.File("t.mdx");
    ASSERT_EQ(Dbf("index " + table + " " + mdx + " --tag NAME --key NAME").status, 0);
    ASSERT_EQ(Dbf("index " + table + " " + mdx + " --tag AMTD --key AMOUNT --descending --for ACTIVE").status, 0);
    // Named like the table, the bag is its production index: appends keep it without --index.
    AppendRows(200, 12);

    auto byName = [&] {
        std::vector<Row> sorted = rows;
        std::stable_sort(sorted.begin(), sorted.end(), [](const Row& a, const Row& b) { return a.name < b.name; });
        std::vector<int32_t> out;
        for (const Row& r : sorted) out.push_back(r.recno);
        return out;
    };
    const long active = static_cast<long>(std::count_if(rows.begin(), rows.end(), [](const Row& r) { return r.active; }));
    auto r = Dbf("tags " + table + " " + mdx);
    ASSERT_EQ(r.status, 0) << r.err;
    std::map<std::string, Json> tags;
    for (const Json& j : JsonLines(r.out)) tags[j["tag"].get<std::string>()] = j;
    ASSERT_EQ(tags.size(), 2u);
    EXPECT_EQ(tags["NAME"]["keys"], rows.size());
    EXPECT_EQ(tags["AMTD"]["keys"], active);
    EXPECT_EQ(tags["AMTD"]["descending"], true);
    EXPECT_EQ(tags["AMTD"]["for"], "ACTIVE");

    EXPECT_EQ(DumpOrder("--index " + mdx + " --tag name"), byName());
    const std::vector<int32_t> amounts = DumpOrder("--index " + mdx + " --tag AMTD");
    ASSERT_EQ(static_cast<long>(amounts.size()), active);
    for (size_t i = 1; i < amounts.size(); ++i)
        EXPECT_GE(rows[static_cast<size_t>(amounts[i - 1] - 1)].amount, rows[static_cast<size_t>(amounts[i] - 1)].amount);
    Check(mdx, 0);

    // A page of the bag overwritten is found by check and mended by reindex.
    auto bytes = testutil::ReadBytes(mdx);
    ASSERT_GT(bytes.size(), 4096u);
    for (size_t i = bytes.size() - 1024; i < bytes.size() - 700; ++i) bytes[i] = 'Q';
    testutil::WriteBytes(mdx, bytes);
    Json report = Check(mdx, 1);
    EXPECT_EQ(report["indexes"][0]["ok"], false);
    ASSERT_EQ(Dbf("reindex " + table + " " + mdx).status, 0);
    Check(mdx, 0);
    EXPECT_EQ(DumpOrder("--index " + mdx + " --tag NAME"), byName());

    ASSERT_EQ(Dbf("index " + table + " " + mdx + " --delete-tag NAME").status, 0);
    const auto left = JsonLines(Dbf("tags " + table + " " + mdx).out);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0]["tag"], "AMTD");
    EXPECT_EQ(Dbf("index " + table + " " + mdx + " --delete-tag NAME").status, 1);
    Check(mdx, 0);
}

TEST_F(IndexVerbs, CheckReportsTableDamage) {
    Check("", 0);
    // A memo reference past the end of the memo file.
    auto bytes = testutil::ReadBytes(table);
    const uint16_t headerLength = static_cast<uint16_t>(bytes[8] | bytes[9] << 8);
    const size_t notes = headerLength + 1 + 12 + 10 + 8 + 1;  // record 1, field NOTES
    const std::string block = "    999999";
    std::copy(block.begin(), block.end(), bytes.begin() + static_cast<long>(notes));
    testutil::WriteBytes(table, bytes);
    Json report = Check("", 1);
    EXPECT_NE(report["table"]["problems"].dump().find("record 1, field NOTES"), std::string::npos) << report.dump();
    // Records missing from the file's end.
    ASSERT_GT(bytes.size(), 100u);
    bytes.resize(bytes.size() - 100);
    testutil::WriteBytes(table, bytes);
    report = Check("", 1);
    EXPECT_NE(report["table"]["problems"].dump().find("the header counts 1500 records but the file holds 1497"),
              std::string::npos)
        << report.dump();
    // An index file that cannot be opened is named.
    testutil::WriteBytes(dir.File("bad.ntx"), std::vector<uint8_t>(100, 0xEE));
    report = Check(dir.File("bad.ntx"), 1);
    EXPECT_NE(report["indexes"][0]["problems"][0].get<std::string>().find("cannot be opened"), std::string::npos);
}

TEST_F(IndexVerbs, CommandLinesTheVerbsRefuse) {
    const std::string ntx = dir.File("name.ntx"), cdx = dir.File("t.cdx");
    struct Case {
        std::string args;
        std::string reason;
    } cases[] = {
        {"index " + table + " " + ntx, "--key is required"},
        {"index " + table + " " + cdx + " --key NAME", "--tag is required"},
        {"index " + table + " " + ntx + " --delete-tag X", "--delete-tag needs a file of several tags"},
        {"index " + table + " " + dir.File("x.idx") + " --key NAME", "extension of an index format"},
        {"index " + table + " " + cdx + " --delete-tag X --key NAME", "--delete-tag takes no other option"},
        {"dump " + table + " --index " + ntx + " --range A", "--range needs 2 values"},
        {"dump " + table + " --seek A", "need --index"},
        {"tags " + table, "no INDEXFILE given"},
        {"reindex " + table, "no INDEXFILE given"},
    };
    for (const Case& c : cases) {
        auto r = Dbf(c.args);
        EXPECT_EQ(r.status, 2) << c.args << "\n" << r.err;
        EXPECT_NE(r.err.find(c.reason), std::string::npos) << c.args << "\n" << r.err;
    }
    auto help = Dbf("--help");
    for (const char* verb : {"dbf index", "dbf tags", "dbf reindex", "dbf check", "--index INDEXFILE"})
        EXPECT_NE(help.out.find(verb), std::string::npos) << verb;
    // An index of a missing file is the engine's error 2.
    auto r = Dbf("dump " + table + " --index " + dir.File("missing.ntx"));
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(r.err.empty());
}

// A writer killed with SIGKILL while it appends with its indexes open: the table opens,
// check passes or names the index, and reindex mends it.
TEST_F(IndexVerbs, AWriterKilledDuringIndexedAppendsLeavesWhatReindexMends) {
    const std::string ntx = dir.File("name.ntx"), cdx = dir.File("t.cdx");
    ASSERT_EQ(Dbf("index " + table + " " + ntx + " --key NAME").status, 0);
    ASSERT_EQ(Dbf("index " + table + " " + cdx + " --tag AMT --key AMOUNT").status, 0);
    int damaged = 0;
    for (int round = 0; round < 6; ++round) {
        testutil::Pipe started;
        const pid_t pid = testutil::Spawn([&]() {
            auto t = GSO_dBHandler::Open(table, true, round % 2 == 1);
            t->OpenIndexFile(ntx);
            t->OpenIndexFile(cdx);
            std::mt19937 rng(static_cast<unsigned>(round));
            for (int i = 0;; ++i) {
                t->BlankRecord();
                t->PutTextByName("NAME", "K" + std::to_string(rng() % 100000));
                t->PutNumberByName("AMOUNT", static_cast<double>(rng() % 100000) / 10.0);
                t->AddRecord();
                if (i == 50) started.Send('s');
            }
            return 0;
        });
        ASSERT_EQ(started.Receive(), 's');
        std::this_thread::sleep_for(std::chrono::milliseconds(5 + 13 * round));
        ASSERT_EQ(kill(pid, SIGKILL), 0);
        EXPECT_EQ(testutil::Wait(pid), 128 + SIGKILL);

        auto info = Dbf("info " + table);
        ASSERT_EQ(info.status, 0) << info.err;
        auto r = Dbf("check " + table + " " + ntx + " " + cdx);
        ASSERT_TRUE(r.status == 0 || r.status == 1) << r.err;
        const Json report = Json::parse(r.out);
        EXPECT_EQ(report["table"]["ok"], true) << r.out;
        if (r.status == 1) {
            ++damaged;
            EXPECT_TRUE(report["indexes"][0]["ok"] == false || report["indexes"][1]["ok"] == false) << r.out;
            auto mend = Dbf("reindex " + table + " " + ntx + " " + cdx);
            ASSERT_EQ(mend.status, 0) << mend.err;
            Check(ntx + " " + cdx, 0);
        }
    }
    // How many rounds left damage depends on where the kill fell; each one was mended.
    RecordProperty("damaged_rounds", damaged);
}

}  // namespace

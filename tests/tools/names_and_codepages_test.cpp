// The dbf tool and file names (case, Cyrillic letters, tables that must not be replaced),
// its code pages (the program's Kazakh places, KZ-1048, PT154), recoding a table, and
// its command-line parser.

#include <gtest/gtest.h>
#include <dirent.h>

#include <algorithm>
#include <cstdio>

#include <string>
#include <vector>

#include "TestUtil.h"
#include "engine/text/CodePage.h"

namespace {

using testutil::TempDir;

const std::string kTool = XB_DBF_TOOL;

// Runs the tool in `dir`.
testutil::CommandResult InDir(const TempDir& dir, const std::string& args, const std::string& input = "") {
    return testutil::Run("cd '" + dir.Path() + "' && " + kTool + " " + args, input);
}

std::vector<std::string> Entries(const TempDir& dir) {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.Path().c_str())) {
        while (dirent* e = readdir(d)) {
            std::string n = e->d_name;
            if (n != "." && n != "..") names.push_back(n);
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(DbfNames, CreateOverAnExistingTableInAnyCaseFailsAndKeepsIt) {
    TempDir dir;
    ASSERT_EQ(InDir(dir, "create DATA.DBF --version 0x83 A:C:5 NOTES:M").status, 0);
    ASSERT_EQ(InDir(dir, "append DATA.DBF", "{\"A\": \"one\", \"NOTES\": \"memo\"}\n").status, 0);
    const auto table = testutil::ReadBytes(dir.File("DATA.DBF"));
    const auto memo = testutil::ReadBytes(dir.File("DATA.DBT"));
    for (const std::string& name : {std::string("data.dbf"), std::string("Data.dbf"),
                                    std::string("DATA.DBF"), dir.File("data.DBF")}) {
        auto r = InDir(dir, "create " + name + " B:N:3");
        EXPECT_EQ(r.status, 1) << name;
        EXPECT_NE(r.err.find("File already exists"), std::string::npos) << r.err;
    }
    EXPECT_EQ(testutil::ReadBytes(dir.File("DATA.DBF")), table);
    EXPECT_EQ(testutil::ReadBytes(dir.File("DATA.DBT")), memo);
    EXPECT_EQ(Entries(dir), (std::vector<std::string>{"DATA.DBF", "DATA.DBT"}));
    // --force replaces the table it finds, not a new one beside it.
    ASSERT_EQ(InDir(dir, "create data.dbf --force B:N:3").status, 0);
    EXPECT_EQ(Entries(dir), (std::vector<std::string>{"DATA.DBF", "DATA.DBT"}));
    EXPECT_EQ(InDir(dir, "dump data.dbf").out, "");
}

TEST(DbfNames, AMissingCyrillicNameNeverReachesAnotherLettersTable) {
    TempDir dir;
    ASSERT_EQ(InDir(dir, "create в.dbf A:C:5").status, 0);
    ASSERT_EQ(InDir(dir, "append в.dbf", "{\"A\": \"keep\"}\n").status, 0);
    const auto kept = testutil::ReadBytes(dir.File("в.dbf"));
    auto dump = InDir(dir, "dump г.dbf");
    EXPECT_EQ(dump.status, 1);
    EXPECT_NE(dump.err.find("File not found"), std::string::npos) << dump.err;
    EXPECT_EQ(InDir(dir, "append г.dbf", "{\"A\": \"lost\"}\n").status, 1);
    ASSERT_EQ(InDir(dir, "create г.dbf A:C:5").status, 0);
    EXPECT_EQ(testutil::ReadBytes(dir.File("в.dbf")), kept);
    EXPECT_EQ(Entries(dir), (std::vector<std::string>{"в.dbf", "г.dbf"}));
    // Case differences in Kazakh letters are found: Қ is қ, not another letter.
    ASSERT_EQ(InDir(dir, "create қазақ.dbf A:C:5").status, 0);
    ASSERT_EQ(InDir(dir, "append ҚАЗАҚ.DBF", "{\"A\": \"kz\"}\n").status, 0);
    EXPECT_EQ(InDir(dir, "dump қазақ.dbf").out,
              "{\"_recno\": 1, \"_deleted\": false, \"A\": \"kz\"}\n");
}

TEST(DbfNames, TablesDifferingOnlyInCaseStayApart) {
    TempDir dir;
    ASSERT_EQ(InDir(dir, "create cc.dbf A:C:5").status, 0);
    // Creation refuses a name an existing file has in another case; the second table
    // is made elsewhere and moved in.
    EXPECT_EQ(InDir(dir, "create CC.DBF A:C:5").status, 1);
    ASSERT_EQ(InDir(dir, "create /tmp/" + dir.Path().substr(5) + "-CC.DBF A:C:5").status, 0);
    ASSERT_EQ(rename((dir.Path() + "-CC.DBF").c_str(), dir.File("CC.DBF").c_str()), 0);
    ASSERT_EQ(InDir(dir, "append CC.DBF", "{\"A\": \"upper\"}\n").status, 0);
    EXPECT_EQ(InDir(dir, "dump cc.dbf").out, "");
    EXPECT_EQ(InDir(dir, "dump CC.DBF").out, "{\"_recno\": 1, \"_deleted\": false, \"A\": \"upper\"}\n");
    // A third spelling fits both: refused, naming them.
    auto r = InDir(dir, "dump Cc.dbf");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(dir.File("CC.DBF") + " and " + dir.File("cc.dbf")), std::string::npos) << r.err;
    EXPECT_EQ(InDir(dir, "create Cc.dbf A:C:5").status, 1);
    EXPECT_EQ(Entries(dir), (std::vector<std::string>{"CC.DBF", "cc.dbf"}));
}

TEST(DbfCodePages, KazakhQuestionTablesReadThroughTheProgramsPlaces) {
    TempDir dir;
    ASSERT_EQ(InDir(dir, "create Kaz1.dbf --language-driver 0xC9 QUEST:C:60").status, 0);
    ASSERT_EQ(InDir(dir, "append Kaz1.dbf --codepage kazakh",
                    "{\"QUEST\": \"Қазақ әліпбиінде\"}\n").status, 0);
    // Read as plain Windows-1251, as the language driver says, the letters are others.
    EXPECT_EQ(InDir(dir, "dump Kaz1.dbf").out,
              "{\"_recno\": 1, \"_deleted\": false, \"QUEST\": \"Іазає љліпбиінде\"}\n");
    EXPECT_EQ(InDir(dir, "dump kaz1.dbf --codepage kazakh").out,
              "{\"_recno\": 1, \"_deleted\": false, \"QUEST\": \"Қазақ әліпбиінде\"}\n");
}

TEST(DbfCodePages, TextWrittenThroughACodePageReadsBackByteForByte) {
    for (const char* name : {"1251", "866", "kazakh", "kz1048", "pt154", "latin1"}) {
        xbtext::CodePageId id;
        ASSERT_TRUE(xbtext::CodePage::FromName(name, id));
        std::string bytes;
        for (int b = 0x21; b < 0x100; ++b) {
            if (b != '"' && b != '\\' && b != 0x7F) bytes.push_back(static_cast<char>(b));
        }
        const std::string utf8 = xbtext::CodePage::Of(id).Decode(bytes);
        TempDir dir;
        ASSERT_EQ(InDir(dir, "create t.dbf --version 0x83 A:C:250 M:M").status, 0);
        auto r = InDir(dir, std::string("append t.dbf --codepage ") + name,
                       "{\"A\": \"" + utf8 + "\", \"M\": \"" + utf8 + "\"}\n");
        ASSERT_EQ(r.status, 0) << name << ": " << r.err;
        const auto file = testutil::ReadBytes(dir.File("t.dbf"));
        const std::string stored(file.begin() + 98, file.begin() + 98 + static_cast<long>(bytes.size()));
        EXPECT_EQ(stored, bytes) << name;
        EXPECT_EQ(InDir(dir, std::string("dump t.dbf --codepage ") + name).out,
                  "{\"_recno\": 1, \"_deleted\": false, \"A\": \"" + utf8 + "\", \"M\": \"" + utf8 + "\"}\n")
            << name;
    }
}

TEST(DbfRecode, MovesTextAndMemosBetweenTheProgramsPlacesAndKz1048) {
    TempDir dir;
    ASSERT_EQ(InDir(dir, "create Kaz1.dbf --version 0x83 QUEST:C:40 N:N:3 NOTE:M").status, 0);
    const std::string rows =
        "{\"QUEST\": \"Қазақ әліпбиінде\", \"N\": 1, \"NOTE\": \"Ұлы Өнер — ғылым\"}\n"
        "{\"QUEST\": \"Ascii only\", \"N\": 2, \"NOTE\": null}\n"
        "{\"QUEST\": \"Үй Һ ң\", \"N\": 3, \"NOTE\": \"Ә\", \"_deleted\": true}\n";
    ASSERT_EQ(InDir(dir, "append Kaz1.dbf --codepage kazakh", rows).status, 0);
    const std::string expected = InDir(dir, "dump Kaz1.dbf --deleted --codepage kazakh").out;
    const auto before = testutil::ReadBytes(dir.File("Kaz1.dbf"));

    auto r = InDir(dir, "recode KAZ1.DBF --from kazakh --to kz1048");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(InDir(dir, "dump Kaz1.dbf --deleted --codepage kz1048").out, expected);
    EXPECT_NE(testutil::ReadBytes(dir.File("Kaz1.dbf")), before);
    EXPECT_EQ(Entries(dir), (std::vector<std::string>{"Kaz1.dbf", "Kaz1.dbt"}));

    ASSERT_EQ(InDir(dir, "recode Kaz1.dbf --from kz1048 --to kazakh").status, 0);
    EXPECT_EQ(InDir(dir, "dump Kaz1.dbf --deleted --codepage kazakh").out, expected);
}

TEST(DbfRecode, ACharacterTheTargetLacksChangesNothing) {
    TempDir dir;
    ASSERT_EQ(InDir(dir, "create t.dbf --version 0x83 A:C:20 NOTE:M").status, 0);
    ASSERT_EQ(InDir(dir, "append t.dbf --codepage kazakh", "{\"A\": \"Ақ\", \"NOTE\": \"Ә\"}\n").status, 0);
    const auto table = testutil::ReadBytes(dir.File("t.dbf"));
    const auto memo = testutil::ReadBytes(dir.File("t.dbt"));
    auto r = InDir(dir, "recode t.dbf --from kazakh --to 866");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("record 1, field A: U+049B has no place in code page 866"), std::string::npos) << r.err;
    EXPECT_EQ(testutil::ReadBytes(dir.File("t.dbf")), table);
    EXPECT_EQ(testutil::ReadBytes(dir.File("t.dbt")), memo);
    EXPECT_EQ(Entries(dir), (std::vector<std::string>{"t.dbf", "t.dbt"}));
}

TEST(DbfCommandLine, EveryVerbRefusesWhatItDoesNotTake) {
    TempDir dir;
    ASSERT_EQ(InDir(dir, "create t.dbf A:C:5").status, 0);
    struct Case {
        std::string args;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {"eval t.dbf --bogus", "unknown option --bogus"},
        {"eval t.dbf", "no EXPR given"},
        {"eval t.dbf A A", "unexpected argument 'A'"},
        {"eval t.dbf A --recno", "--recno needs a value"},
        {"info t.dbf --deleted", "unknown option --deleted"},
        {"info", "no FILE given"},
        {"create x.dbf --force=yes A:C:1", "--force takes no value"},
        {"create x.dbf", "no fields given"},
        {"recode t.dbf --from kazakh", "--from and --to are both needed"},
        {"recode t.dbf --from kazakh --to ebcdic", "unknown code page 'ebcdic'"},
        {"recode t.dbf u.dbf --from 1251 --to 866", "expected exactly one FILE"},
        {"dump t.dbf --codepage=437", "unknown code page '437'"},
    };
    for (const Case& c : cases) {
        auto r = InDir(dir, c.args);
        EXPECT_EQ(r.status, 2) << c.args;
        EXPECT_NE(r.err.find(c.reason), std::string::npos) << c.args << ": " << r.err;
        EXPECT_NE(r.err.find("usage: dbf "), std::string::npos) << c.args;
    }
    // "--" ends the options; "--name=value" is a valued option.
    ASSERT_EQ(InDir(dir, "append t.dbf", "{\"A\": \"x\"}\n").status, 0);
    EXPECT_EQ(InDir(dir, "eval t.dbf --recno=1 -- 'A'").out,
              "{\"_recno\": 1, \"kind\": \"text\", \"value\": \"x    \"}\n");
    EXPECT_EQ(InDir(dir, "dump --format=csv t.dbf").out, "_recno,_deleted,\"A\"\r\n1,false,\"x\"\r\n");
    EXPECT_EQ(Entries(dir), (std::vector<std::string>{"t.dbf"}));
}

TEST(DbfDates, ComparingWithAnImpossibleDateIsAConversionError) {
    TempDir dir;
    ASSERT_EQ(InDir(dir, "create t.dbf BDATE:D").status, 0);
    ASSERT_EQ(InDir(dir, "append t.dbf", "{\"BDATE\": null}\n").status, 0);
    auto r = InDir(dir, "eval t.dbf \"BDATE = CTOD('31.02.2024')\"");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("'31.02.2024' is not a valid date"), std::string::npos) << r.err;
    r = InDir(dir, "eval t.dbf \"CTOD('bad')\"");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("'bad' is not a valid date"), std::string::npos) << r.err;
}

}  // namespace

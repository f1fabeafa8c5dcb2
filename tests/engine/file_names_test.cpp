// Which file a name means: case-insensitive lookup with a fold that fits the name's
// bytes, file identity by the file itself, ambiguous names, and table creation that
// never replaces or half-writes a table.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <random>

#include "engine/DbfCreate.h"
#include "engine/DiskFile.h"
#include "engine/ErrorCodes.h"
#include "engine/Exception.h"
#include "engine/FileColl.h"
#include "engine/dBHandler.h"
#include "engine/platform/Paths.h"
#include "TestUtil.h"

using testutil::TempDir;

namespace {

std::string MakeFile(const TempDir& dir, const std::string& name, const std::string& bytes) {
    std::string p = dir.File(name);
    testutil::WriteBytes(p, std::vector<uint8_t>(bytes.begin(), bytes.end()));
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

std::string Contents(GSO_DiskFile& f) {
    std::string s(static_cast<size_t>(f.FileSize()), '\0');
    f.ReadAt(0, s.data(), static_cast<int32_t>(s.size()));
    return s;
}

// The Kazakh alphabet in UTF-8: the 33 Russian letters and the 9 Kazakh ones, each as
// upper and lower case.
struct LetterPair {
    const char* upper;
    const char* lower;
};
const LetterPair kKazakhLetters[] = {
    {"А", "а"}, {"Ә", "ә"}, {"Б", "б"}, {"В", "в"}, {"Г", "г"}, {"Ғ", "ғ"}, {"Д", "д"},
    {"Е", "е"}, {"Ё", "ё"}, {"Ж", "ж"}, {"З", "з"}, {"И", "и"}, {"Й", "й"}, {"К", "к"},
    {"Қ", "қ"}, {"Л", "л"}, {"М", "м"}, {"Н", "н"}, {"Ң", "ң"}, {"О", "о"}, {"Ө", "ө"},
    {"П", "п"}, {"Р", "р"}, {"С", "с"}, {"Т", "т"}, {"У", "у"}, {"Ұ", "ұ"}, {"Ү", "ү"},
    {"Ф", "ф"}, {"Х", "х"}, {"Һ", "һ"}, {"Ц", "ц"}, {"Ч", "ч"}, {"Ш", "ш"}, {"Щ", "щ"},
    {"Ъ", "ъ"}, {"Ы", "ы"}, {"І", "і"}, {"Ь", "ь"}, {"Э", "э"}, {"Ю", "ю"}, {"Я", "я"},
};

TEST(FileNames, EveryKazakhAndRussianLetterFindsItsOwnFileAndNoOther) {
    ASSERT_EQ(std::size(kKazakhLetters), 42u);
    TempDir dir;
    // One file per letter, named in lower case, holding the letter's index.
    for (size_t i = 0; i < std::size(kKazakhLetters); ++i) {
        MakeFile(dir, std::string(kKazakhLetters[i].lower) + ".dbf", std::to_string(i));
    }
    for (size_t i = 0; i < std::size(kKazakhLetters); ++i) {
        const std::string upper = std::string(kKazakhLetters[i].upper) + ".DBF";
        GSO_DiskFile f(dir.File(upper), false, true);
        ASSERT_NO_THROW(f.Open()) << upper;
        EXPECT_EQ(f.RealPath(), dir.File(std::string(kKazakhLetters[i].lower) + ".dbf"));
        EXPECT_EQ(Contents(f), std::to_string(i)) << upper;
    }
}

TEST(FileNames, AMissingCyrillicNameNeverFindsAnotherLettersFile) {
    // In Windows-1251 the second byte of the UTF-8 form of г (D0 B3) upper-cases to that
    // of в (D0 B2); the same holds for и and Ш, к and Ъ, о and н.
    const char* pairs[][2] = {{"в", "г"}, {"Ш", "и"}, {"Ъ", "к"}, {"н", "о"}, {"В", "Г"}};
    for (const auto& pair : pairs) {
        TempDir dir;
        MakeFile(dir, std::string(pair[0]) + ".dbf", "other letter");
        GSO_DiskFile f(dir.File(std::string(pair[1]) + ".dbf"), true, false);
        EXPECT_EQ(ErrorText([&] { f.Open(); }),
                  "File not found - " + dir.File(std::string(pair[1]) + ".dbf"))
            << pair[1];
        EXPECT_FALSE(platform::FileExists(dir.File(std::string(pair[1]) + ".dbf")));
    }
}

TEST(FileNames, NamesThatAreNotUtf8FoldWithTheLocalesTable) {
    TempDir dir;
    // "ДАННЫЕ.DBF" in Windows-1251 bytes, found by its lower-case spelling.
    MakeFile(dir, "\xC4\xC0\xCD\xCD\xDB\xC5.DBF", "1251");
    const std::string lower = dir.File("\xE4\xE0\xED\xED\xFB\xE5.dbf");
    GSO_DiskFile f(lower, false, true);
    ASSERT_NO_THROW(f.Open());
    EXPECT_EQ(Contents(f), "1251");
    // A UTF-8 name never matches one that is not.
    EXPECT_FALSE(platform::NamesMatch("\xE4\xE0.dbf", "да.dbf"));
    EXPECT_TRUE(platform::NamesMatch("ДА.DBF", "да.dbf"));
    EXPECT_TRUE(platform::NamesMatch("Kaz1.dbf", "KAZ1.DBF"));
    EXPECT_FALSE(platform::NamesMatch("г.dbf", "в.dbf"));
}

TEST(FileNames, RelativeNamesAreLookedUpInTheCurrentDirectory) {
    TempDir dir;
    MakeFile(dir, "DATA.DBF", "x");
    std::string old = platform::ExpandPath(".");
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
    EXPECT_TRUE(platform::FileExists("data.dbf"));
    EXPECT_EQ(platform::ResolveCase("data.dbf"), "DATA.DBF");
    EXPECT_EQ(platform::ResolveCase("./sub/none.dbf"), "./sub/none.dbf");
    EXPECT_FALSE(platform::FileExists("none.dbf"));
    ASSERT_EQ(chdir(old.c_str()), 0);
}

TEST(FileNames, FilesDifferingOnlyInCaseStayTwoFilesInOneProcess) {
    TempDir dir;
    const std::string lower = MakeFile(dir, "cc.dbf", "lower");
    const std::string upper = MakeFile(dir, "CC.DBF", "UPPER");
    GSO_DiskFile a(lower, true, false);
    a.Open();
    GSO_DiskFile b(upper, true, false);
    b.Open();
    EXPECT_FALSE(a.Identity().SameFile(b.Identity()));
    EXPECT_EQ(Contents(b), "UPPER");
    b.WriteAt(0, "written", 7);
    EXPECT_EQ(Contents(a), "lower");
    a.Close();
    b.Close();
    EXPECT_EQ(testutil::ReadText(lower), "lower");
    EXPECT_EQ(testutil::ReadText(upper), "written");
    // Each exact spelling opens its own file even when the other one is open.
    GSO_DiskFile c(dir.File("CC.DBF"), false, true);
    c.Open();
    GSO_DiskFile d(dir.File("cc.dbf"), false, true);
    d.Open();
    EXPECT_EQ(Contents(d), "lower");
}

TEST(FileNames, FilesDifferingOnlyInCaseStayTwoFilesAcrossProcesses) {
    TempDir dir;
    const std::string lower = MakeFile(dir, "cc.dbf", "lower");
    const std::string upper = MakeFile(dir, "CC.DBF", "UPPER");
    GSO_DiskFile mine(lower, true, false);  // exclusive: another opener of it would fail
    mine.Open();
    pid_t child = testutil::Spawn([&] {
        GSO_DiskFile other(upper, true, false);
        other.Open();
        other.WriteAt(0, "child", 5);
        other.Close();
        GSO_DiskFile same(dir.File("cc.dbf"), true, false);
        try {
            same.Open();
        } catch (const ERidedezError&) {
            return 0;  // held exclusively by the parent, as it must be
        }
        return 3;
    });
    EXPECT_EQ(testutil::Wait(child), 0);
    EXPECT_EQ(Contents(mine), "lower");
    mine.Close();
    EXPECT_EQ(testutil::ReadText(upper), "child");
}

TEST(FileNames, OneFileThroughTwoSpellingsSharesOneHandle) {
    TempDir dir;
    const std::string p = MakeFile(dir, "Kaz1.dbf", "data");
    ASSERT_EQ(mkdir(dir.File("sub").c_str(), 0755), 0);
    ASSERT_EQ(symlink(dir.Path().c_str(), dir.File("sub/back").c_str()), 0);
    GSO_DiskFile first(p, false, true);
    first.Open();
    // Another case spelling and a path through a link both lead to the same file.
    for (const std::string& other : {dir.File("KAZ1.DBF"), dir.File("sub/back/Kaz1.dbf")}) {
        GSO_DiskFile second(other, true, false);
        second.Open();
        EXPECT_TRUE(second.Identity().SameFile(first.Identity())) << other;
        EXPECT_TRUE(second.IsShared()) << other;  // taken over from the first object
        EXPECT_FALSE(second.HandleWritable()) << other;
    }
    EXPECT_EQ(GSobjFileColl::Instance().FindSameFile(first.Identity(), &first), nullptr);
}

TEST(FileNames, AnAmbiguousNameIsRefusedWithBothCandidates) {
    TempDir dir;
    const std::string mixed = MakeFile(dir, "Data.dbf", "mixed");
    const std::string upper = MakeFile(dir, "DATA.DBF", "upper");
    const std::string wanted = dir.File("data.dbf");
    const std::string expected = "Ridedez Error 1012, SubCode 1107.\r " + wanted +
                                 ": the name fits " + upper + " and " + mixed +
                                 " alike; give its exact spelling";
    GSO_DiskFile f(wanted, true, false);
    EXPECT_EQ(ErrorText([&] { f.Open(); }), expected);
    EXPECT_TRUE(f.IsClosed());
    GSO_DiskFile g(wanted, true, false);
    std::string created = ErrorText([&] { g.CreateNew(); });
    EXPECT_NE(created.find("Ridedez Error 1012, SubCode 1108."), std::string::npos) << created;
    EXPECT_NE(created.find(upper + " and " + mixed), std::string::npos) << created;
    EXPECT_FALSE(platform::FileExists(wanted));
    struct stat st{};
    EXPECT_NE(lstat(wanted.c_str(), &st), 0);  // nothing was created under the name
    // An exact spelling wins.
    GSO_DiskFile exact(mixed, false, true);
    exact.Open();
    EXPECT_EQ(Contents(exact), "mixed");
    EXPECT_EQ(testutil::ReadText(upper), "upper");
}

// ---- creation -------------------------------------------------------------------------

const std::vector<TgsFieldDef> kFields = {{"NAME", 'C', 20, 0}, {"NOTES", 'M', 0, 0}};

TEST(FileNames, CreatingOverAnExistingTableInAnyCaseIsRefused) {
    TempDir dir;
    CreateDBFTable(dir.File("DATA.DBF"), 0x83, kFields);
    {
        auto t = GSO_dBHandler::Open(dir.File("DATA.DBF"), true, false);
        t->BlankRecord();
        t->PutTextByName("NAME", "kept");
        t->AddRecord();
    }
    const std::vector<uint8_t> table = testutil::ReadBytes(dir.File("DATA.DBF"));
    const std::vector<uint8_t> memo = testutil::ReadBytes(dir.File("DATA.DBT"));
    std::string old = platform::ExpandPath(".");
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
    for (const std::string& name : {std::string("data.dbf"), std::string("Data.Dbf"),
                                    std::string("DATA.DBF"), dir.File("data.dbf")}) {
        std::string msg = ErrorText([&] { CreateDBFTable(name, 0x03, {{"B", 'N', 3, 0}}); });
        EXPECT_EQ(msg.rfind("File already exists - ", 0), 0u) << name << ": " << msg;
    }
    ASSERT_EQ(chdir(old.c_str()), 0);
    EXPECT_EQ(testutil::ReadBytes(dir.File("DATA.DBF")), table);
    EXPECT_EQ(testutil::ReadBytes(dir.File("DATA.DBT")), memo);
    EXPECT_NE(access(dir.File("data.dbf").c_str(), F_OK), 0);
    // Asked to, creation replaces the table it found, not a second one beside it.
    TgsCreateOptions force;
    force.overwrite = true;
    CreateDBFTable(dir.File("data.dbf"), 0x83, kFields, force);
    EXPECT_NE(access(dir.File("data.dbf").c_str(), F_OK), 0);
    EXPECT_EQ(GSO_dBHandler::Open(dir.File("DATA.DBF"), false, true)->RecordCount(), 0);
}

// Whether `path` is absent, or a table that opens with its memo file and no records.
::testing::AssertionResult NoTableOrAWholeOne(const std::string& path) {
    if (access(path.c_str(), F_OK) != 0) return ::testing::AssertionSuccess();
    try {
        auto t = GSO_dBHandler::Open(path, false, true);
        if (t->RecordCount() != 0 || t->FieldCount() != 2) {
            return ::testing::AssertionFailure() << path << ": not the table created";
        }
        t->GoRecord(gsMoveTop);
    } catch (const std::exception& e) {
        return ::testing::AssertionFailure() << path << ": " << e.what();
    }
    if (access(platform::SiblingPath(path, ".DBT").c_str(), F_OK) != 0) {
        return ::testing::AssertionFailure() << path << ": no memo file";
    }
    return ::testing::AssertionSuccess();
}

TEST(FileNames, CreationKilledAtAnyMomentLeavesNoTableOrAWholeOne) {
    TempDir dir;
    std::mt19937 random(11);
    int killedMidway = 0;
    for (int round = 0; round < 40; ++round) {
        const std::string target = dir.File("k" + std::to_string(round % 4) + ".dbf");
        pid_t child = fork();
        if (child == 0) {
            // Creates the table over and over, replacing it, until killed.
            TgsCreateOptions force;
            force.overwrite = true;
            for (;;) CreateDBFTable(target, 0x83, kFields, force);
        }
        ASSERT_GT(child, 0);
        usleep(200 + random() % 3000);
        kill(child, SIGKILL);
        int st = 0;
        waitpid(child, &st, 0);
        killedMidway += WIFSIGNALED(st) ? 1 : 0;
        EXPECT_TRUE(NoTableOrAWholeOne(target)) << "round " << round;
    }
    EXPECT_EQ(killedMidway, 40);
}

}  // namespace

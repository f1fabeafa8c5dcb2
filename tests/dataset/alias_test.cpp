// The alias file, the alias list, DatabaseName and the table directory.

#include <unistd.h>

#include "DsHelpers.h"
#include "dataset/AliasList.h"
#include "dataset/Directories.h"
#include "dataset/Profile.h"
#include "engine/platform/ConfigDir.h"

using dstest::ErrorText;

namespace {

// Points the configuration directory at a folder with the given alias file and reloads
// the list; restores both afterwards.
class AliasFile {
public:
    AliasFile(const testutil::TempDir& dir, const std::string& text) : saved_(platform::ConfigDirectory()) {
        if (!text.empty()) {
            testutil::WriteBytes(dir.File("ridedez.cfg"), std::vector<uint8_t>(text.begin(), text.end()));
        }
        platform::SetConfigDirectory(dir.Path());
        LoadAliasList();
    }
    ~AliasFile() {
        platform::SetConfigDirectory(saved_);
        LoadAliasList();
    }

private:
    std::string saved_;
};

}  // namespace

TEST(Profile, SectionsEntriesCommentsAndCase) {
    TProfileFile p = TProfileFile::FromText(
        "; a comment\r\n"
        "[Other]\r\n"
        "data = /x\r\n"
        "\r\n"
        "  [ alias ]  \n"
        "Data = /srv/data  \n"
        ";skip=/no\n"
        "Quoted=\"/with space/\"\n"
        "data=/second\n"
        "Empty=\n"
        "NoEquals\n"
        "[ALIAS]\n"
        "Late=/ignored\n");
    EXPECT_EQ(p.EntryNames("Alias"), (std::vector<std::string>{"Data", "Quoted", "Empty", "NoEquals"}));
    EXPECT_EQ(p.ReadString("ALIAS", "DATA"), "/srv/data");
    EXPECT_EQ(p.ReadString("alias", "quoted"), "/with space/");
    EXPECT_EQ(p.ReadString("Alias", "Empty", "fallback"), "");
    EXPECT_EQ(p.ReadString("Alias", "Late", "fallback"), "fallback");
    EXPECT_EQ(p.ReadString("Other", "data"), "/x");
    EXPECT_EQ(p.ReadString("Missing", "data", "f"), "f");
    EXPECT_TRUE(p.EntryNames("Missing").empty());
    EXPECT_TRUE(TProfileFile("/nonexistent/ridedez.cfg").EntryNames("Alias").empty());
}

TEST(Aliases, LoadedFromTheConfigurationDirectory) {
    testutil::TempDir cfg;
    AliasFile file(cfg, "[Alias]\nkaz=/srv/kaz\nblank=\nWork=/home/w/\n[Other]\nx=/y\n");
    std::vector<std::string> lines = TAliasList::Instance().Lines();
    EXPECT_EQ(lines, (std::vector<std::string>{"Default Directory", "KAZ=/SRV/KAZ", "WORK=/HOME/W/"}));
    EXPECT_EQ(TAliasList::Instance().Directory("Kaz"), "/SRV/KAZ");
    EXPECT_EQ(TAliasList::Instance().Directory("blank"), "");
    EXPECT_EQ(TAliasList::Instance().Directory("Default Directory"), "");
    EXPECT_EQ(TableDirectory("kaz"), "/SRV/KAZ/");   // a separator is added
    EXPECT_EQ(TableDirectory("work"), "/HOME/W/");
    EXPECT_EQ(TableDirectory(""), "");
}

TEST(Aliases, MissingFileGivesOnlyTheDefaultLine) {
    testutil::TempDir cfg;
    AliasFile file(cfg, "");
    EXPECT_EQ(TAliasList::Instance().Lines(), (std::vector<std::string>{"Default Directory"}));
}

TEST(Aliases, DatabaseNameSetter) {
    testutil::TempDir cfg;
    AliasFile file(cfg, "[Alias]\nKAZ=/srv/kaz\n");
    TRidedezDataSet ds;
    ds.SetDatabaseName("default DIRECTORY");
    EXPECT_EQ(ds.DatabaseName(), "default DIRECTORY");
    ds.SetDatabaseName("kaz");
    EXPECT_EQ(ds.DatabaseName(), "KAZ");
    EXPECT_EQ(TAliasList::Instance().Lines().size(), 2u);  // an alias is not added again
    ds.SetDatabaseName("/tmp/some/dir/");
    EXPECT_EQ(ds.DatabaseName(), "/TMP/SOME/DIR");
    std::vector<std::string> lines = TAliasList::Instance().Lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[2], "/TMP/SOME/DIR=/TMP/SOME/DIR");
    EXPECT_EQ(TableDirectory(ds.DatabaseName()), "/TMP/SOME/DIR/");
}

TEST(Aliases, DefaultDirectoryIsTheExecutablesDirectory) {
    SetExecutableDirectoryFunction([] { return std::string("/opt/kaztest"); });
    EXPECT_EQ(TableDirectory("Default Directory"), "/opt/kaztest/");
    EXPECT_EQ(TableDirectory("DEFAULT directory"), "/opt/kaztest/");
    SetExecutableDirectoryFunction(nullptr);
    // The test program's own directory.
    const std::string exe = ExecutableDirectory();
    EXPECT_EQ(exe.back(), '/');
    EXPECT_EQ(access((exe + "test_dataset").c_str(), X_OK), 0) << exe;
}

TEST(Aliases, TablesOpenThroughAnAliasWhateverTheCaseOnDisk) {
    testutil::TempDir cfg;
    testutil::TempDir data;
    ASSERT_EQ(system(("mkdir -p '" + data.File("Tables") + "'").c_str()), 0);
    CreateDBFTable(data.File("Tables/name.dbf"), 0x03, dstest::Defs({"Name:C:15"}));
    AliasFile file(cfg, "[Alias]\nmine=" + data.File("Tables") + "\n");
    TRidedezDataSet ds;
    ds.SetDatabaseName("Mine");
    ds.SetTableName("NAME.DBF");
    ds.Open();
    EXPECT_EQ(ds.RecordCount(), 0);
    ds.Close();
    // A directory given as DatabaseName works the same way, in any case.
    TRidedezDataSet direct;
    direct.SetDatabaseName(data.File("tables/"));
    direct.SetTableName("Name");
    direct.Open();
    EXPECT_TRUE(direct.Active());
}

TEST(Aliases, EmptyDatabaseNameOpensRelativeToTheCurrentDirectory) {
    testutil::TempDir data;
    CreateDBFTable(data.File("NAME.DBF"), 0x03, dstest::Defs({"Name:C:15"}));
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(chdir(data.Path().c_str()), 0);
    TRidedezDataSet ds;
    ds.SetTableName("NAME.DBF");
    std::string err = ErrorText([&] { ds.Open(); });
    ds.Close();
    ASSERT_EQ(chdir(cwd), 0);
    EXPECT_EQ(err, "");
    EXPECT_EQ(ds.TablePath(), "NAME.DBF");
}

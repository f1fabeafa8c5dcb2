#include <gtest/gtest.h>

#include "TestUtil.h"


using testutil::TempDir;

namespace {

const std::string kTool = XB_DBF_TOOL;

TEST(DbfTool, CreateThenInfo) {
    TempDir dir;
    std::string p = dir.File("t.dbf");
    auto r = testutil::Run(kTool + " create " + p +
                 " --version 0x83 NAME:C:20 AMOUNT:N:10:2 BDATE:D ACTIVE:L NOTES:M");
    ASSERT_EQ(r.status, 0) << r.err;
    r = testutil::Run(kTool + " info " + p);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("{\"version\": 131, \"records\": 0, \"header_length\": 193, "
                          "\"record_length\": 50, \"flags\": 0, \"language_driver\": 0, "
                          "\"last_update\": \"",
                          0),
              0u)
        << r.out;
    EXPECT_NE(r.out.find("\"fields\": [{\"name\": \"NAME\", \"type\": \"C\", \"length\": 20, "
                         "\"decimals\": 0}, {\"name\": \"AMOUNT\", \"type\": \"N\", \"length\": "
                         "10, \"decimals\": 2}, {\"name\": \"BDATE\", \"type\": \"D\", \"length\": "
                         "8, \"decimals\": 0}, {\"name\": \"ACTIVE\", \"type\": \"L\", \"length\": "
                         "1, \"decimals\": 0}, {\"name\": \"NOTES\", \"type\": \"M\", \"length\": "
                         "10, \"decimals\": 0}]}\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(testutil::ReadBytes(dir.File("t.dbt")).size(), 512u);
}

TEST(DbfTool, InfoOfAPeerTable) {
    auto r = testutil::Run(kTool + " info " + std::string(XB_SHARED_DIR) + "/fixtures/debian/p30_vfp.dbf");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"version\": 48, \"records\": 40"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"last_update\": \"2001-02-03\""), std::string::npos) << r.out;
}

TEST(DbfTool, ErrorsGoToStandardErrorWithTheEngineMessage) {
    TempDir dir;
    auto r = testutil::Run(kTool + " info " + dir.File("none.dbf"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "dbf info: File not found - " + dir.File("none.dbf") + "\n");

    testutil::WriteBytes(dir.File("bad.dbf"), std::vector<uint8_t>(40, 0x04));
    r = testutil::Run(kTool + " info " + dir.File("bad.dbf"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("dBase DBF file header invalid - " + dir.File("bad.dbf")), std::string::npos);

    r = testutil::Run(kTool + " create " + dir.File("x.dbf") + " NAME:C:300:1:9");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("NAME:TYPE[:LENGTH[:DECIMALS]]"), std::string::npos) << r.err;

    r = testutil::Run(kTool + " create " + dir.File("x.dbf") + " --version 0x99 A:C:1");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("is not one of"), std::string::npos) << r.err;
}

TEST(DbfTool, CommandLineMistakesExitWithTwo) {
    EXPECT_EQ(testutil::Run(kTool).status, 2);
    EXPECT_EQ(testutil::Run(kTool + " frobnicate").status, 2);
    auto r = testutil::Run(kTool + " info");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("usage: dbf info FILE"), std::string::npos);
    EXPECT_EQ(testutil::Run(kTool + " create /tmp/x.dbf --bogus A:C:1").status, 2);
}

TEST(DbfTool, HelpExplainsEveryVerb) {
    auto r = testutil::Run(kTool + " --help");
    ASSERT_EQ(r.status, 0);
    for (const char* verb : {"dbf create FILE", "dbf info FILE"}) {
        EXPECT_NE(r.out.find(verb), std::string::npos) << verb;
    }
    r = testutil::Run(kTool + " create --help");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("--version"), std::string::npos);
}

}  // namespace

// The kazdata command line: help, usage errors and exit statuses.

#include <gtest/gtest.h>

#include <string>

#include "KazdataSupport.h"

namespace {

using namespace kazdatatest;

TEST(KazdataCommandLine, HelpExplainsEveryCommand) {
    const testutil::CommandResult r = Kazdata("--help");
    EXPECT_EQ(r.status, 0);
    for (const char* word :
         {"kazdata build", "kazdata import", "--aiken", "--csv", "--separator", "--header",
          "kazdata generate", "kazdata export", "ANSWER: X", "Input, A, B, C,", "kazdata check",
          "kazdata export-results"}) {
        EXPECT_NE(r.out.find(word), std::string::npos) << word;
    }
    EXPECT_EQ(Kazdata("import --help").out, r.out);
}

TEST(KazdataCommandLine, BadCommandLinesExitWithTwo) {
    EXPECT_EQ(Kazdata("").status, 2);
    EXPECT_EQ(Kazdata("frobnicate").status, 2);
    const testutil::CommandResult r = Kazdata("import only-one-file");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("usage: kazdata import"), std::string::npos) << r.err;
    EXPECT_EQ(Kazdata("import --separator ab x.csv y.dbf").status, 2);
    EXPECT_EQ(Kazdata("import --colour x.csv y.dbf").status, 2);
    EXPECT_EQ(Kazdata("generate 0").status, 2);
    EXPECT_EQ(Kazdata("generate x7").status, 2);
    EXPECT_EQ(Kazdata("build onlyone").status, 2);
    EXPECT_EQ(Kazdata("export").status, 2);
}

TEST(KazdataCommandLine, AMissingBankIsReportedAndExitsWithOne) {
    testutil::TempDir dir;
    const testutil::CommandResult r =
        Kazdata("import " + Quote(dir.File("none.txt")) + " " + Quote(dir.File("Kaz1.dbf")));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("none.txt: cannot be read"), std::string::npos) << r.err;
    EXPECT_EQ(Listing(dir.Path()), std::set<std::string>{});
}

TEST(KazdataCommandLine, AMissingTableIsReportedByExport) {
    testutil::TempDir dir;
    const testutil::CommandResult r = Kazdata("export " + Quote(dir.File("Kaz9.dbf")));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("kazdata export:"), std::string::npos) << r.err;
}

}  // namespace

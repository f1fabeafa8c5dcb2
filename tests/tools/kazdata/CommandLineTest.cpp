// The kazdata command line: help, usage errors and exit statuses.

#include <gtest/gtest.h>

#include <string>

#include "TestUtil.h"

namespace {

using testutil::Run;

const std::string kTool = XB_KAZDATA_TOOL;

TEST(KazdataCommandLine, HelpExplainsEveryCommand) {
    const testutil::CommandResult r = Run("'" + kTool + "' --help");
    EXPECT_EQ(r.status, 0);
    for (const char* word : {"kazdata build", "kazdata import", "--aiken", "--csv", "--separator", "--header",
                             "kazdata generate", "kazdata export", "ANSWER: X", "Input, A, B, C,"}) {
        EXPECT_NE(r.out.find(word), std::string::npos) << word;
    }
}

TEST(KazdataCommandLine, BadCommandLinesExitWithTwo) {
    EXPECT_EQ(Run("'" + kTool + "'").status, 2);
    EXPECT_EQ(Run("'" + kTool + "' frobnicate").status, 2);
    const testutil::CommandResult r = Run("'" + kTool + "' import only-one-file");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("usage: kazdata import"), std::string::npos) << r.err;
    EXPECT_EQ(Run("'" + kTool + "' import --separator ab x.csv y.dbf").status, 2);
    EXPECT_EQ(Run("'" + kTool + "' generate 0").status, 2);
    EXPECT_EQ(Run("'" + kTool + "' generate x7").status, 2);
    EXPECT_EQ(Run("'" + kTool + "' build onlyone").status, 2);
}

TEST(KazdataCommandLine, AMissingBankIsReportedAndExitsWithOne) {
    testutil::TempDir dir;
    const testutil::CommandResult r =
        Run("'" + kTool + "' import '" + dir.File("none.txt") + "' '" + dir.File("Kaz1.dbf") + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("none.txt: cannot be read"), std::string::npos) << r.err;
}

}  // namespace

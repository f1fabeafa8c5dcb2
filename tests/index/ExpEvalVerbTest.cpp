// The dbf eval verb on a table written by python3-dbf and on tables of our own.

#include "TestUtil.h"
#include "engine/DbfCreate.h"

#include <gtest/gtest.h>

namespace {

std::string Tool() { return XB_DBF_TOOL; }
std::string Fixture(const std::string& name) {
    return std::string(XB_SHARED_DIR) + "/fixtures/debian/" + name;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t b = 0;
    for (size_t e; (e = text.find('\n', b)) != std::string::npos; b = e + 1) lines.push_back(text.substr(b, e - b));
    return lines;
}

}  // namespace

TEST(ExpEvalVerb, EveryRecordOfAPeerTable) {
    auto r = testutil::Run(Tool() + " eval " + Fixture("p03_plain.dbf") +
                           " \"NAME+'|'+DTOS(BDATE)+'|'+STR(AMOUNT,10,2)\"");
    ASSERT_EQ(r.status, 0);
    std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 40u);
    // The raw field texts as the peer's expected file gives them.
    EXPECT_EQ(lines[0], "{\"_recno\": 1, \"kind\": \"text\", \"value\": \"mike                ||    -12.50\"}");
    EXPECT_EQ(lines[1], "{\"_recno\": 2, \"kind\": \"text\", \"value\": \"                    |19390124| 239135.27\"}");
    EXPECT_EQ(lines[2], "{\"_recno\": 3, \"kind\": \"text\", \"value\": \"alpha               |20740501| 707370.58\"}");
}

TEST(ExpEvalVerb, KindsAndOneRecord) {
    std::string f = Fixture("p03_plain.dbf");
    auto date = testutil::Run(Tool() + " eval " + f + " BDATE --recno 3");
    EXPECT_EQ(date.out, "{\"_recno\": 3, \"kind\": \"date\", \"value\": \"2074-05-01\"}\n");
    auto blank = testutil::Run(Tool() + " eval " + f + " BDATE --recno 1");
    EXPECT_EQ(blank.out, "{\"_recno\": 1, \"kind\": \"date\", \"value\": null}\n");
    auto number = testutil::Run(Tool() + " eval " + f + " 'AMOUNT*2' --recno 1");
    EXPECT_EQ(number.out, "{\"_recno\": 1, \"kind\": \"number\", \"value\": -25}\n");
    auto deleted = testutil::Run(Tool() + " eval " + f + " 'DELETED()' --recno 2");
    EXPECT_EQ(deleted.out, "{\"_recno\": 2, \"kind\": \"logical\", \"value\": true}\n");
}

TEST(ExpEvalVerb, MemoFieldsAreFieldReferences) {
    testutil::TempDir dir;
    CreateDBFTable(dir.File("m.dbf"), 0x83, {{"NOTES", 'M', 0, 0}});
    auto r = testutil::Run(Tool() + " eval " + dir.File("m.dbf") + " NOTES");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "{\"_recno\": 0, \"kind\": \"field\", \"value\": \"NOTES\"}\n");
}

TEST(ExpEvalVerb, EmptyTableGivesOneBlankRecord) {
    testutil::TempDir dir;
    CreateDBFTable(dir.File("e.dbf"), 0x03, {{"NAME", 'C', 4, 0}});
    auto r = testutil::Run(Tool() + " eval " + dir.File("e.dbf") + " \"NAME+'x'\"");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "{\"_recno\": 0, \"kind\": \"text\", \"value\": \"    x\"}\n");
}

TEST(ExpEvalVerb, ErrorsExitNonZeroWithTheMessage) {
    std::string f = Fixture("p03_plain.dbf");
    auto bad = testutil::Run(Tool() + " eval " + f + " 'FOO(1)' 2>&1");
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.out, "dbf eval: There is no function for FOO\n");
    auto beyond = testutil::Run(Tool() + " eval " + f + " 1 --recno 41 2>&1");
    EXPECT_EQ(beyond.status, 1);
    EXPECT_NE(beyond.out.find("dBase record request beyond EOF"), std::string::npos);
    auto usage = testutil::Run(Tool() + " eval " + f + " 2>&1");
    EXPECT_EQ(usage.status, 2);
    auto recno = testutil::Run(Tool() + " eval " + f + " 1 --recno x 2>&1");
    EXPECT_EQ(recno.status, 2);
}

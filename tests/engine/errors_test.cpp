#include <gtest/gtest.h>

#include "engine/DiskFile.h"
#include "engine/Exception.h"
#include "engine/ErrorCodes.h"
#include "engine/ErrorHandler.h"
#include "engine/RunErrors.h"
#include "engine/platform/LastError.h"
#include "TestUtil.h"

namespace {

std::string MessageOf(int code, int subcode, const std::string& detail) {
    try {
        ReportEngineError(code, subcode, detail);
    } catch (const ERidedezError& e) {
        return e.what();
    }
    return "<no exception>";
}

TEST(ErrorMessages, StatusRowWithPathAsDetail) {
    EXPECT_EQ(MessageOf(5, gsSub::kPack, "/data/INFO.DBF"), "File access denied - /data/INFO.DBF");
}

TEST(ErrorMessages, CodesFiveAndThirtyTwoShareTheirText) {
    EXPECT_EQ(MessageOf(32, gsSub::kOpen, "x"), "File access denied - x");
    EXPECT_EQ(MessageOf(5, gsSub::kOpen, "x"), "File access denied - x");
}

TEST(ErrorMessages, EmptyDetailLeavesTheSeparator) {
    EXPECT_EQ(MessageOf(1001, 1204, ""), "dBase DBF file header invalid - ");
}

TEST(ErrorMessages, UnknownCodeWithSubcode) {
    EXPECT_EQ(MessageOf(9999, 1207, "X"), std::string("Ridedez Error 9999, SubCode 1207.\r X"));
}

TEST(ErrorMessages, UnknownCodeWithoutSubcodeOrDetail) {
    EXPECT_EQ(MessageOf(9999, -7, ""), std::string("Ridedez Error 9999.\r"));
}

TEST(ErrorMessages, IndexErrorWithoutSubcode) {
    EXPECT_EQ(MessageOf(2112, -7, "/x/NAME.NTX"), std::string("Ridedez Error 2112.\r /x/NAME.NTX"));
}

TEST(ErrorMessages, EveryStatusRowFitsItsSlot) {
    for (int code : {2, 3, 4, 5, 12, 15, 32, 33, 100, 101, 102, 103, 104, 105, 106, 150, 152, 162,
                     183, 1001, 1002, 1003, 1004, 1005, 1006, 1011}) {
        const char* text = StatusText(code);
        ASSERT_NE(text, nullptr) << code;
        EXPECT_LE(std::string(text).size() + 3, 43u) << code;
    }
    EXPECT_STREQ(StatusText(33), "Record locked by another user");
    EXPECT_STREQ(StatusText(1011), "Number too large to fit in field");
    EXPECT_EQ(StatusText(221), nullptr);
}

TEST(ErrorMessages, NegativeSubcodeRaisesRunTimeErrors) {
    EXPECT_THROW(ReportEngineError(200, -1, ""), EDivByZero);
    EXPECT_THROW(ReportEngineError(201, -2, ""), ERangeError);
    EXPECT_THROW(ReportEngineError(207, -1, ""), EInvalidOp);
    EXPECT_THROW(ReportEngineError(103, -1, ""), EInOutError);
    // A code above 255 is itself a range error.
    try {
        ReportEngineError(300, -1, "");
        FAIL();
    } catch (const ERangeError& e) {
        EXPECT_STREQ(e.what(), "Range check error");
    }
    // -7 is the ordinary "no subcode", not a run-time error.
    EXPECT_THROW(ReportEngineError(200, -7, ""), ERidedezError);
}

int gHandlerCalls = 0;
void CountingHandler(int, int, const std::string&) { ++gHandlerCalls; }

TEST(ErrorMessages, InstalledHandlerThatReturnsStillEndsInAnException) {
    gHandlerCalls = 0;
    TgsErrorHandlerProc old = SetErrorHandler(CountingHandler);
    EXPECT_THROW(ReportEngineError(1002, 1207, "t"), ERidedezError);
    EXPECT_EQ(gHandlerCalls, 1);
    SetErrorHandler(old);
}

TEST(ErrorMessages, LastErrorAfterAnIOFailureIsTheReportedCode) {
    testutil::TempDir dir;
    platform::SetLastError(0);
    GSO_DiskFile f(dir.File("missing.dbf"), true, false);
    try {
        f.Open();
        FAIL();
    } catch (const ERidedezError& e) {
        EXPECT_EQ(std::string(e.what()), "File not found - " + dir.File("missing.dbf"));
    }
    EXPECT_EQ(platform::GetLastError(), 2);
    EXPECT_TRUE(f.IsClosed());

    GSO_DiskFile g(dir.File("nodir/missing.dbf"), true, false);
    EXPECT_THROW(g.Open(), ERidedezError);
    EXPECT_EQ(platform::GetLastError(), 3);
}

}  // namespace

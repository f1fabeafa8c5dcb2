// dbf append: values by field type, code pages, the report of a line that does not fit,
// a dump fed back in, and several appenders sharing one table.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "TestUtil.h"

namespace {

using testutil::TempDir;

const std::string kTool = XB_DBF_TOOL;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    for (size_t at = 0, nl; (nl = text.find('\n', at)) != std::string::npos; at = nl + 1) {
        out.push_back(text.substr(at, nl - at));
    }
    return out;
}

std::string Create(const TempDir& dir, const std::string& args) {
    const std::string table = dir.File("t.dbf");
    auto r = testutil::Run(kTool + " create " + table + " " + args);
    EXPECT_EQ(r.status, 0) << r.err;
    return table;
}

TEST(DbfAppend, StoresEveryKindOfValueAsDumpReadsIt) {
    TempDir dir;
    const std::string t = Create(dir, "--version 0x83 NAME:C:10 AMOUNT:N:8:2 BDATE:D ACTIVE:L NOTES:M");
    auto r = testutil::Run(kTool + " append " + t,
                           "{\"NAME\": \"abc\", \"AMOUNT\": -1.5, \"BDATE\": \"2024-02-29\", \"ACTIVE\": true, \"NOTES\": \"x\\ny\"}\n"
                           "\n"
                           "{\"name\": \"lower\", \"bdate\": \"19991231\", \"active\": false}\r\n"
                           "{\"NAME\": null, \"AMOUNT\": null, \"BDATE\": null, \"ACTIVE\": null, \"NOTES\": null}\n"
                           "{\"NAME\": \"del\", \"_deleted\": true, \"_recno\": 99}\n");
    ASSERT_EQ(r.status, 0) << r.err;
    r = testutil::Run(kTool + " dump --deleted " + t);
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "{\"_recno\": 1, \"_deleted\": false, \"NAME\": \"abc\", \"AMOUNT\": -1.5, \"BDATE\": \"2024-02-29\", "
                        "\"ACTIVE\": true, \"NOTES\": \"x\\ny\"}");
    // Fields not given keep the blank record's values: numbers 0.
    EXPECT_EQ(lines[1], "{\"_recno\": 2, \"_deleted\": false, \"NAME\": \"lower\", \"AMOUNT\": 0, \"BDATE\": \"1999-12-31\", "
                        "\"ACTIVE\": false, \"NOTES\": \"\"}");
    EXPECT_EQ(lines[2], "{\"_recno\": 3, \"_deleted\": false, \"NAME\": \"\", \"AMOUNT\": null, \"BDATE\": null, "
                        "\"ACTIVE\": null, \"NOTES\": \"\"}");
    EXPECT_EQ(lines[3], "{\"_recno\": 4, \"_deleted\": true, \"NAME\": \"del\", \"AMOUNT\": 0, \"BDATE\": null, "
                        "\"ACTIVE\": null, \"NOTES\": \"\"}");
    // The raw record: numbers right-aligned with their decimals, the date as yyyymmdd.
    const auto bytes = testutil::ReadBytes(t);
    const size_t hdr = bytes[8] | (bytes[9] << 8);
    EXPECT_EQ(std::string(bytes.begin() + hdr + 1, bytes.begin() + hdr + 28), "abc          -1.5020240229T");
}

struct BadLine {
    const char* line;
    const char* complaint;
};

TEST(DbfAppend, ALineThatDoesNotFitIsReportedWithItsNumberAndTheLinesBeforeItStay) {
    const BadLine cases[] = {
        {"{\"NOPE\": 1}", "line 3: unknown field NOPE"},
        {"{\"AMOUNT\": \"12\"}", "line 3: field AMOUNT: a string does not fit a field of type N"},
        {"{\"AMOUNT\": 123456.5}", "line 3: field AMOUNT: Number too large to fit in field - AMOUNT - 123456.50"},
        {"{\"NAME\": \"far too long for ten\"}", "line 3: field NAME: a text of 20 bytes is longer than the field (10)"},
        {"{\"BDATE\": \"2023-02-30\"}", "line 3: field BDATE: '2023-02-30' is not a date"},
        {"{\"ACTIVE\": 1}", "line 3: field ACTIVE: a number does not fit a field of type L"},
        {"{\"NAME\": \"x\"", "line 3: expected ',' or '}'"},
        {"[1, 2]", "line 3: expected a JSON object"},
        {"{\"NAME\": {\"a\": 1}}", "line 3: nested objects and arrays are not field values"},
        {"{\"NAME\": \"\xD0\x96\"}", "line 3: field NAME: the character U+0416 has no byte in code page latin1"},
    };
    for (const BadLine& c : cases) {
        SCOPED_TRACE(c.line);
        TempDir dir;
        const std::string t = Create(dir, "NAME:C:10 AMOUNT:N:8:2 BDATE:D ACTIVE:L");
        auto r = testutil::Run(kTool + " append " + t,
                               "{\"NAME\": \"one\"}\n{\"NAME\": \"two\"}\n" + std::string(c.line) + "\n{\"NAME\": \"four\"}\n");
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err.rfind("dbf append: " + std::string(c.complaint), 0), 0u) << r.err;
        EXPECT_NE(r.err.find("(2 records appended before it)"), std::string::npos) << r.err;
        r = testutil::Run(kTool + " dump " + t);
        ASSERT_EQ(r.status, 0) << r.err;
        const auto lines = Lines(r.out);
        ASSERT_EQ(lines.size(), 2u) << r.out;
        EXPECT_NE(lines[1].find("\"NAME\": \"two\""), std::string::npos);
        // The header's count agrees with the file.
        const auto bytes = testutil::ReadBytes(t);
        EXPECT_EQ(bytes[4] | (bytes[5] << 8), 2);
    }
}

TEST(DbfAppend, TheOutputOfDumpAppendsBackIntoTheSameRecords) {
    TempDir dir;
    const std::string peer = std::string(XB_SHARED_DIR) + "/fixtures/debian/p03_plain.dbf";
    auto dumped = testutil::Run(kTool + " dump --deleted " + peer);
    ASSERT_EQ(dumped.status, 0) << dumped.err;
    const std::string t = Create(dir, "NAME:C:20 CITY:C:15 AMOUNT:N:10:2 QTY:N:5 RATE:F:12:4 BDATE:D ACTIVE:L");
    auto r = testutil::Run(kTool + " append " + t, dumped.out);
    ASSERT_EQ(r.status, 0) << r.err;
    r = testutil::Run(kTool + " dump --deleted " + t);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, dumped.out);
    EXPECT_EQ(Lines(r.out).size(), 40u);
}

TEST(DbfAppend, CyrillicTextGoesThroughEitherCodePageByteForByte) {
    // Every letter of both code pages: A0..FF of Windows-1251 and 80..AF, E0..F7 of 866.
    struct Case {
        const char* page;
        int from, to;
    };
    for (const Case& c : {Case{"1251", 0xC0, 0xFF}, Case{"866", 0x80, 0xAF}, Case{"866", 0xE0, 0xF7}}) {
        TempDir dir;
        const std::string t = Create(dir, "TXT:C:100");
        std::string raw;
        for (int b = c.from; b <= c.to; ++b) raw += static_cast<char>(b);
        // Dump decodes the raw bytes; append must encode the text back to the same bytes.
        const std::string t2 = dir.File("raw.dbf");
        ASSERT_EQ(testutil::Run(kTool + " create " + t2 + " TXT:C:100").status, 0);
        auto r = testutil::Run(kTool + " append --codepage latin1 " + t2, "{\"TXT\": \"" + [&] {
            std::string u;
            for (unsigned char ch : raw) u += static_cast<char>(0xC0 | (ch >> 6)), u += static_cast<char>(0x80 | (ch & 0x3F));
            return u;
        }() + "\"}\n");
        ASSERT_EQ(r.status, 0) << r.err;
        auto decoded = testutil::Run(kTool + " dump --codepage " + std::string(c.page) + " " + t2);
        ASSERT_EQ(decoded.status, 0) << decoded.err;
        // Cyrillic letters are two bytes in UTF-8.
        EXPECT_NE(decoded.out.find("\xD0"), std::string::npos);
        r = testutil::Run(kTool + " append --codepage " + std::string(c.page) + " " + t, decoded.out);
        ASSERT_EQ(r.status, 0) << r.err;
        const auto a = testutil::ReadBytes(t), b = testutil::ReadBytes(t2);
        const size_t ha = a[8] | (a[9] << 8);
        EXPECT_EQ(std::string(a.begin() + ha + 1, a.begin() + ha + 1 + raw.size()), raw) << c.page;
    }
}

TEST(DbfAppend, FourSharedAppendersAtOnceWriteEveryRecordExactlyOnce) {
    TempDir dir;
    const std::string t = Create(dir, "W:N:2 I:N:6 TXT:C:30");
    constexpr int kWriters = 4;
    constexpr int kRecords = 5000;
    std::string cmd = "(";
    for (int w = 0; w < kWriters; ++w) {
        std::string in;
        for (int i = 0; i < kRecords; ++i) {
            in += "{\"W\": " + std::to_string(w) + ", \"I\": " + std::to_string(i) + ", \"TXT\": \"writer " +
                  std::to_string(w) + " record " + std::to_string(i) + "\"}\n";
        }
        testutil::WriteBytes(dir.File("in" + std::to_string(w)), std::vector<uint8_t>(in.begin(), in.end()));
        cmd += kTool + " append --shared " + t + " < " + dir.File("in" + std::to_string(w)) + " & ";
    }
    cmd += "wait) && echo done";
    auto r = testutil::Run(cmd);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "done\n");
    EXPECT_EQ(r.err, "");
    r = testutil::Run(kTool + " dump --deleted " + t);
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), static_cast<size_t>(kWriters * kRecords));
    std::set<std::pair<int, int>> seen;
    for (size_t k = 0; k < lines.size(); ++k) {
        int recno = 0, w = -1, i = -1, w2 = -2, i2 = -2;
        ASSERT_EQ(std::sscanf(lines[k].c_str(),
                              "{\"_recno\": %d, \"_deleted\": false, \"W\": %d, \"I\": %d, \"TXT\": \"writer %d record %d\"}",
                              &recno, &w, &i, &w2, &i2),
                  5)
            << lines[k];
        EXPECT_EQ(recno, static_cast<int>(k + 1));
        EXPECT_EQ(w, w2) << lines[k];  // whole: the record's parts belong together
        EXPECT_EQ(i, i2) << lines[k];
        EXPECT_TRUE(seen.insert({w, i}).second) << "twice: " << lines[k];
    }
    EXPECT_EQ(seen.size(), static_cast<size_t>(kWriters * kRecords));
    const auto bytes = testutil::ReadBytes(t);
    const uint32_t stored = bytes[4] | (bytes[5] << 8) | (bytes[6] << 16) | (static_cast<uint32_t>(bytes[7]) << 24);
    const size_t hdr = bytes[8] | (bytes[9] << 8), rec = bytes[10] | (bytes[11] << 8);
    EXPECT_EQ(stored, static_cast<uint32_t>(kWriters * kRecords));
    EXPECT_EQ(bytes.size(), hdr + rec * kWriters * kRecords + 1);
    EXPECT_EQ(bytes.back(), 0x1A);
}

TEST(DbfAppend, AnExclusiveAppenderKeepsOthersOut) {
    TempDir dir;
    const std::string t = Create(dir, "A:C:5");
    // A shared dump while an exclusive append holds the table must fail cleanly.
    auto r = testutil::Run("(sleep 1; echo '{\"A\": \"x\"}') | " + kTool + " append " + t + " & sleep 0.3; " + kTool +
                           " dump " + t + "; wait");
    EXPECT_NE(r.err.find("dbf dump: "), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
    r = testutil::Run(kTool + " dump " + t);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(Lines(r.out).size(), 1u);
}

TEST(DbfAppend, CommandLineMistakes) {
    TempDir dir;
    const std::string t = Create(dir, "A:C:5");
    EXPECT_EQ(testutil::Run(kTool + " append").status, 2);
    EXPECT_EQ(testutil::Run(kTool + " append " + t + " --codepage 437").status, 2);
    EXPECT_EQ(testutil::Run(kTool + " append " + t + " --bogus").status, 2);
    auto r = testutil::Run(kTool + " append " + dir.File("none.dbf"), "{}\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "dbf append: File not found - " + dir.File("none.dbf") + "\n");
}

// The command lines append and dump refuse, each with its reason, before any file is touched.
TEST(DbfAppend, CommandLinesAppendAndDumpRefuse) {
    TempDir dir;
    const std::string t = Create(dir, "NAME:C:10");
    struct Case {
        std::string args;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {"append", "no FILE given"},
        {"append " + t + " " + t, "expected exactly one FILE"},
        {"append --codepage", "--codepage needs a value"},
        {"append --codepage ebcdic " + t, "unknown code page 'ebcdic'"},
        {"append --quiet " + t, "unknown option --quiet"},
        {"dump --format", "--format needs a value"},
        {"dump --format xml " + t, "unknown format 'xml'"},
        {"dump --shared " + t, "unknown option --shared"},
        {"dump " + t + " other.dbf", "expected exactly one FILE"},
    };
    for (const Case& c : cases) {
        auto r = testutil::Run(kTool + " " + c.args, "{\"NAME\": \"x\"}\n");
        EXPECT_NE(r.status, 0) << c.args;
        EXPECT_NE(r.err.find(c.reason), std::string::npos) << c.args << ": " << r.err;
    }
    // Options before and after FILE, with their values.
    auto r = testutil::Run(kTool + " append " + t + " --codepage 1251 --shared", "{\"NAME\": \"x\"}\n");
    EXPECT_EQ(r.status, 0) << r.err;
    r = testutil::Run(kTool + " dump --format csv " + t + " --deleted --codepage 866");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("x"), std::string::npos);
    EXPECT_EQ(Lines(r.out).size(), 2u);  // the header line and the one record
}

}  // namespace

// Tables the engine writes (dbf create + dbf append, every version and memo kind) read
// the same through dbf dump and through the peers' readers: dbfread, python3-dbf (which
// cannot open dBase IV tables) and the peers' byte-level parser.

#include <gtest/gtest.h>

#include <charconv>
#include <cstdio>
#include <string>
#include <vector>

#include "TestUtil.h"

namespace {

using testutil::TempDir;

const std::string kTool = XB_DBF_TOOL;
const std::string kCompare = std::string("/usr/bin/python3 ") + XB_SOURCE_DIR + "/tests/tools/dump_compare.py";

std::string Num(double v) {
    if (v == 0) return "0";
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

std::string Quoted(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

// Latin-1 bytes as UTF-8 (the dump's and append's form of text under --codepage latin1).
std::string Utf8(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

struct Version {
    const char* hex;
    bool memo;
    bool general;
    bool fox;  // 0x30: I T Y B
};

// The field list and the rows for one version; each row is the JSON line for append,
// and the line dump must give back for it.
struct TablePlan {
    std::vector<std::string> fields;
    std::vector<std::string> input;
    std::vector<std::string> dumped;
};

TablePlan Build(const Version& v, int rows) {
    TablePlan t;
    t.fields = {"NAME:C:20", "AMOUNT:N:10:2", "QTY:N:5", "RATE:F:12:4", "BDATE:D", "ACTIVE:L"};
    if (v.memo) t.fields.push_back("NOTES:M");
    if (v.general) t.fields.push_back("BLOB:G");
    if (v.fox) {
        for (const char* f : {"ID:I", "STAMP:T", "PRICE:Y", "RATIO:B"}) t.fields.push_back(f);
    }
    const int memoLengths[] = {0, 1, 510, 511, 512, 513, 5000, 2, 1023, 1024, 100};
    for (int i = 0; i < rows; ++i) {
        std::vector<std::pair<std::string, std::string>> kv;  // name, JSON value
        kv.emplace_back("NAME", Quoted(i % 7 == 3 ? "" : "name " + std::to_string(i) + (i % 4 == 1 ? " \xC3\xA9t\xC3\xA9" : "")));
        kv.emplace_back("AMOUNT", i % 5 == 4 ? "null" : Num(((i * 7919) % 2000000 - 1000000) / 100.0));
        kv.emplace_back("QTY", Num((i * 37) % 19999 - 9999));
        kv.emplace_back("RATE", i % 6 == 5 ? "null" : Num(((i * 12345) % 100000000 - 50000000) / 10000.0));
        char date[16];
        std::snprintf(date, sizeof date, "%04d-%02d-%02d", 1901 + (i * 13) % 199, 1 + i % 12, 1 + (i * 7) % 28);
        kv.emplace_back("BDATE", i % 6 == 2 ? "null" : Quoted(date));
        kv.emplace_back("ACTIVE", i % 3 == 0 ? "true" : i % 3 == 1 ? "false" : "null");
        if (v.memo) {
            std::string text;
            const int len = memoLengths[i % 11];
            for (int k = 0; k < len; ++k) text += k % 61 == 60 ? '\n' : static_cast<char>('A' + (k + i) % 26);
            kv.emplace_back("NOTES", Quoted(text));
        }
        if (v.general) {
            std::string bytes;
            for (int k = 0; k < (i % 4) * 37; ++k) bytes += static_cast<char>((k * 31 + i) % 256);
            kv.emplace_back("BLOB", Quoted(Utf8(bytes)));
        }
        if (v.fox) {
            kv.emplace_back("ID", Num(static_cast<double>(static_cast<int64_t>(i) * 104729 % 4000000000LL - 2000000000)));
            char stamp[40];
            std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02dT%02d:%02d:%02d.%03d", 1950 + i % 80, 1 + i % 12,
                          1 + i % 28, i % 24, (i * 7) % 60, (i * 11) % 60, (i * 37) % 1000);
            kv.emplace_back("STAMP", i % 5 == 1 ? "null" : Quoted(stamp));
            kv.emplace_back("PRICE", Num(((i * 1234567LL) % 10000000000LL - 5000000000LL) / 10000.0));
            kv.emplace_back("RATIO", Num(i * 0.1 - 1.5));
        }
        std::string in = "{", out = "{\"_recno\": " + std::to_string(i + 1) + ", \"_deleted\": false";
        for (const auto& [name, value] : kv) {
            in += (in.size() > 1 ? ", " : "") + Quoted(name) + ": " + value;
            // A blank fox date-time, binary number or memo reads back as its empty form.
            std::string back = value;
            if ((name == "NOTES" || name == "BLOB") && value == "null") back = "\"\"";
            out += ", " + Quoted(name) + ": " + back;
        }
        t.input.push_back(in + "}\n");
        t.dumped.push_back(out + "}\n");
    }
    return t;
}

class EngineWritten : public ::testing::TestWithParam<Version> {};

TEST_P(EngineWritten, ReadsTheSameThroughDumpAndThePeers) {
    const Version& v = GetParam();
    TempDir dir;
    const std::string table = dir.File("t.dbf");
    const TablePlan plan = Build(v, 33);
    std::string create = kTool + " create " + table + " --version " + v.hex;
    for (const std::string& f : plan.fields) create += " " + f;
    auto r = testutil::Run(create);
    ASSERT_EQ(r.status, 0) << r.err;
    std::string input;
    for (const std::string& s : plan.input) input += s;
    r = testutil::Run(kTool + " append --codepage latin1 " + table, input);
    ASSERT_EQ(r.status, 0) << r.err;

    const std::string dump = dir.File("dump.jsonl");
    r = testutil::Run(kTool + " dump --deleted --codepage latin1 " + table + " | tee " + dump);
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> got;
    for (size_t at = 0, nl; (nl = r.out.find('\n', at)) != std::string::npos; at = nl + 1) {
        got.push_back(r.out.substr(at, nl + 1 - at));
    }
    ASSERT_EQ(got.size(), plan.dumped.size());
    for (size_t i = 0; i < got.size(); ++i) EXPECT_EQ(got[i], plan.dumped[i]) << "record " << i + 1;

    std::vector<std::string> readers = {"dbfread", "raw"};
    if (std::string(v.hex) != "0x8B") readers.push_back("pydbf");
    for (const std::string& reader : readers) {
        r = testutil::Run(kCompare + " check " + reader + " " + table + " " + dump + " --encoding latin-1");
        EXPECT_EQ(r.status, 0) << reader << ":\n" << r.out << r.err;
        EXPECT_NE(r.out.find("compared "), std::string::npos) << reader << ": " << r.out;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryVersion, EngineWritten,
                         ::testing::Values(Version{"0x03", false, false, false}, Version{"0x83", true, false, false},
                                           Version{"0x8B", true, false, false}, Version{"0xF5", true, false, false},
                                           Version{"0x30", true, true, true}),
                         [](const auto& info) { return std::string("v") + (info.param.hex + 2); });

}  // namespace

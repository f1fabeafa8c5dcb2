#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

#include "engine/platform/LastError.h"
#include "engine/DbfCreate.h"
#include "engine/DbfHeader.h"
#include "engine/DbfLayout.h"
#include "engine/DiskFile.h"
#include "engine/Exception.h"
#include "TestUtil.h"

using testutil::TempDir;

namespace {

// A table image: header, descriptors, terminator, records.
struct Image {
    uint8_t version = 0x03;
    std::vector<std::tuple<std::string, char, int, int>> fields;  // name, type, len, dec
    int records = 0;
    int extraAfterTerminator = 0;
    bool endMarker = true;

    std::vector<uint8_t> Build() const {
        int descriptors = static_cast<int>(fields.size()) * 32;
        int headerLength = 32 + descriptors + 1 + (version == 0x30 ? 263 : 0) + extraAfterTerminator;
        int recordLength = 1;
        for (auto& f : fields) recordLength += std::get<2>(f) + (std::get<1>(f) == 'C' ? 256 * std::get<3>(f) : 0);
        std::vector<uint8_t> b(static_cast<size_t>(headerLength), 0);
        b[0] = version;
        b[4] = static_cast<uint8_t>(records);
        b[8] = static_cast<uint8_t>(headerLength);
        b[9] = static_cast<uint8_t>(headerLength >> 8);
        b[10] = static_cast<uint8_t>(recordLength);
        b[11] = static_cast<uint8_t>(recordLength >> 8);
        for (size_t i = 0; i < fields.size(); ++i) {
            uint8_t* d = b.data() + 32 + 32 * i;
            const std::string& name = std::get<0>(fields[i]);
            std::memcpy(d, name.data(), std::min<size_t>(name.size(), 11));
            d[11] = static_cast<uint8_t>(std::get<1>(fields[i]));
            d[16] = static_cast<uint8_t>(std::get<2>(fields[i]));
            d[17] = static_cast<uint8_t>(std::get<3>(fields[i]));
        }
        b[32 + descriptors] = 0x0D;
        for (int r = 0; r < records; ++r) {
            std::vector<uint8_t> rec(static_cast<size_t>(recordLength), ' ');
            b.insert(b.end(), rec.begin(), rec.end());
        }
        if (endMarker) b.push_back(0x1A);
        return b;
    }
};

TgsDBFLayout Load(const std::string& path) {
    GSO_DiskFile f(path, false, true);
    f.Open();
    TgsDBFLayout layout;
    layout.Read(f);
    return layout;
}

std::string LoadError(const std::string& path) {
    try {
        Load(path);
    } catch (const ERidedezError& e) {
        return e.what();
    }
    return "<opened>";
}

Image Simple() {
    Image im;
    im.fields = {{"NAME", 'C', 20, 0}, {"AMOUNT", 'N', 10, 2}, {"BDATE", 'D', 8, 0}};
    return im;
}

TEST(DbfHeader, OnlyTheFiveVersionBytesAreAccepted) {
    TempDir dir;
    for (uint8_t v : {0x04, 0x31, 0x43, 0x63, 0xCB, 0xE5, 0xFB, 0x00, 0x02}) {
        Image im = Simple();
        im.version = v;
        std::string p = dir.File("v.dbf");
        testutil::WriteBytes(p, im.Build());
        EXPECT_EQ(LoadError(p), "dBase DBF file header invalid - " + p) << int(v);
    }
    for (uint8_t v : {0x03, 0x83, 0x8B, 0xF5, 0x30}) {
        Image im = Simple();
        im.version = v;
        std::string p = dir.File("ok.dbf");
        testutil::WriteBytes(p, im.Build());
        EXPECT_EQ(Load(p).fields.size(), 3u) << int(v);
    }
}

TEST(DbfHeader, RecordCountComesFromTheFileSize) {
    TempDir dir;
    Image im = Simple();
    std::string p = dir.File("c.dbf");
    testutil::WriteBytes(p, im.Build());
    EXPECT_EQ(Load(p).recordCount, 0);

    im.records = 97;
    std::vector<uint8_t> b = im.Build();
    b[4] = 100;  // the stored count is not trusted
    testutil::WriteBytes(p, b);
    TgsDBFLayout l = Load(p);
    EXPECT_EQ(l.recordCount, 97);
    EXPECT_EQ(l.header.StoredCount(), 100u);

    im.endMarker = false;
    testutil::WriteBytes(p, im.Build());
    EXPECT_EQ(Load(p).recordCount, 97);
    // A partial record at the end does not count.
    b = im.Build();
    b.insert(b.end(), 10, ' ');
    testutil::WriteBytes(p, b);
    EXPECT_EQ(Load(p).recordCount, 97);
}

TEST(DbfHeader, FieldPositionsAndLongCharacterFields) {
    TempDir dir;
    Image im;
    im.fields = {{"A", 'C', 0x2C, 1}, {"B", 'N', 5, 2}, {"C", 'L', 1, 0}};
    std::string p = dir.File("l.dbf");
    testutil::WriteBytes(p, im.Build());
    TgsDBFLayout l = Load(p);
    ASSERT_EQ(l.fields.size(), 3u);
    EXPECT_EQ(l.fields[0].length, 300);
    EXPECT_EQ(l.fields[0].decimals, 0);
    EXPECT_EQ(l.fields[0].position, 1);
    EXPECT_EQ(l.fields[1].position, 301);
    EXPECT_EQ(l.fields[1].decimals, 2);
    EXPECT_EQ(l.fields[2].position, 306);
    EXPECT_EQ(l.fields[2].number, 3);
    EXPECT_EQ(l.RecordOffset(2), l.header.HeaderLength() + 307);
}

TEST(DbfHeader, StrayBytesAfterTheTerminatorAndFullNameSlots) {
    TempDir dir;
    Image im = Simple();
    im.fields.push_back({"ELEVENCHARS", 'C', 3, 0});
    std::string p = dir.File("s.dbf");
    testutil::WriteBytes(p, im.Build());
    TgsDBFLayout plain = Load(p);
    im.extraAfterTerminator = 1;
    testutil::WriteBytes(p, im.Build());
    TgsDBFLayout stray = Load(p);
    ASSERT_EQ(stray.fields.size(), plain.fields.size());
    EXPECT_STREQ(stray.fields[3].name, "ELEVENCHARS");
    EXPECT_TRUE(FieldNameMatches(stray.fields[3], "elevenchars"));
    // A whole area after the terminator (as some FoxPro writers leave) adds no fields.
    im.extraAfterTerminator = 263;
    testutil::WriteBytes(p, im.Build());
    EXPECT_EQ(Load(p).fields.size(), plain.fields.size());
}

TEST(DbfHeader, FileShorterThanAHeaderIsAShortHeaderRead) {
    TempDir dir;
    std::string p = dir.File("short.dbf");
    for (size_t size : {0u, 1u, 20u, 31u}) {
        std::vector<uint8_t> b = Simple().Build();
        b.resize(size);
        testutil::WriteBytes(p, b);
        platform::SetLastError(0);
        EXPECT_EQ(LoadError(p), "Ridedez Error 221, SubCode 1204.\r " + p + ": the file holds " +
                                    std::to_string(size) + " bytes, fewer than a table header");
        EXPECT_EQ(platform::GetLastError(), 221) << size;
    }
}

TEST(DbfHeader, UnusableHeadersFailCleanly) {
    TempDir dir;
    std::string p = dir.File("bad.dbf");
    auto expectError = [&](const std::vector<uint8_t>& b, const std::string& what) {
        testutil::WriteBytes(p, b);
        std::string msg = LoadError(p);
        EXPECT_EQ(msg.rfind("dBase DBF file header invalid - " + p, 0), 0u) << msg;
        EXPECT_NE(msg.find(what), std::string::npos) << msg;
    };
    std::vector<uint8_t> good = Simple().Build();

    expectError(std::vector<uint8_t>(good.begin(), good.begin() + 60), "past the end of the file");
    auto b = good;
    b[8] = 20;
    b[9] = 0;
    expectError(b, "too small");
    b = good;
    b[10] = b[11] = 0;
    expectError(b, "record length is 0");
    b = good;
    b[10] = 12;  // the fields need 39 bytes
    b[11] = 0;
    expectError(b, "of a record of 12 bytes");
    Image fox = Simple();
    fox.version = 0x30;
    b = fox.Build();
    b[8] = 200;  // below the 296 a version 0x30 header needs
    b[9] = 0;
    expectError(b, "at least 296");
    EXPECT_EQ(LoadError(p + ".none"), "File not found - " + p + ".none");
}

TEST(DbfHeader, StampWritesDateCountFlagsAndTime) {
    TgsDBFHeader h;
    h.bytes[28] = 0xF1;
    platform::DateTime t{2003, 7, 9, 13, 45, 30, 250};
    h.Stamp(97, h.FlagBits(), 42, t);
    EXPECT_EQ(h.bytes[1], 3);
    EXPECT_EQ(h.bytes[2], 7);
    EXPECT_EQ(h.bytes[3], 9);
    EXPECT_EQ(h.StoredCount(), 97u);
    EXPECT_EQ(h.bytes[28], 0x01);
    EXPECT_EQ(h.UserId(), 42u);
    EXPECT_EQ(h.UpdateStamp(), ((13u * 64 + 45) * 64 + 30) * 1024 + 250);
    h.Stamp(0, 0, 0, platform::DateTime{2100, 1, 2, 0, 0, 0, 0});
    EXPECT_EQ(h.bytes[1], 0);
}

TEST(DbfHeader, LongRequestedNamesMatchNothing) {
    TgsDBFField f;
    std::strcpy(f.name, "NAME");
    EXPECT_TRUE(FieldNameMatches(f, "Name"));
    EXPECT_FALSE(FieldNameMatches(f, "NAM"));
    EXPECT_FALSE(FieldNameMatches(f, ""));
    EXPECT_FALSE(FieldNameMatches(f, std::string("NAME\0\0\0\0\0\0\0\0X", 13)));
    std::strcpy(f.name, "ABCDEFGHIJK");
    EXPECT_FALSE(FieldNameMatches(f, "ABCDEFGHIJKL"));
    EXPECT_TRUE(FieldNameMatches(f, "abcdefghijk"));
}

// Every table other programs wrote reads with the header facts they recorded.
TEST(DbfHeader, PeerFixturesReadWithTheirRecordedStructure) {
    const std::string dir = std::string(XB_SHARED_DIR) + "/fixtures/debian";
    testutil::CommandResult r = testutil::Run(
        "/usr/bin/python3 -c \"import json,glob,os\n"
        "for p in sorted(glob.glob('" + dir + "/*.expected.json')):\n"
        "  d=json.load(open(p)); h=d['header']\n"
        "  print(d['set'], int(h['version'],16), h['header_len'], h['record_len'], h['records'], len(h['fields']))\n"
        "  for f in h['fields']: print(' ', f[0], f[1], f[2], f[3])\n\"");
    ASSERT_EQ(r.status, 0) << r.err;
    std::istringstream in(r.out);
    std::string set;
    int tables = 0;
    while (in >> set) {
        int version, hl, rl, records, nfields;
        in >> version >> hl >> rl >> records >> nfields;
        SCOPED_TRACE(set);
        TgsDBFLayout l = Load(dir + "/" + set + ".dbf");
        EXPECT_EQ(l.header.Version(), version);
        EXPECT_EQ(l.header.HeaderLength(), hl);
        EXPECT_EQ(l.header.RecordLength(), rl);
        EXPECT_EQ(l.recordCount, records);
        ASSERT_EQ(static_cast<int>(l.fields.size()), nfields);
        for (int i = 0; i < nfields; ++i) {
            std::string name, type;
            int len, dec;
            in >> name >> type >> len >> dec;
            EXPECT_STREQ(l.fields[i].name, name.c_str());
            EXPECT_EQ(l.fields[i].type, type[0]);
            EXPECT_EQ(l.fields[i].length, len);
            if (type != "C") {
                EXPECT_EQ(l.fields[i].decimals, dec);
            }
        }
        ++tables;
    }
    EXPECT_GE(tables, 12);
}

TEST(DbfHeader, HarbourTablesRead) {
    const std::string dir = std::string(XB_SHARED_DIR) + "/fixtures/harbour";
    TgsDBFLayout ntx = Load(dir + "/ntx/main.dbf");
    EXPECT_EQ(ntx.header.Version(), 0x83);
    EXPECT_EQ(ntx.recordCount, 1000);
    ASSERT_EQ(ntx.fields.size(), 9u);
    EXPECT_STREQ(ntx.fields[8].name, "NOTES");
    TgsDBFLayout vfp = Load(dir + "/cdx_vfp/main.dbf");
    EXPECT_EQ(vfp.header.Version(), 0x30);
    EXPECT_EQ(vfp.fields.size(), 9u);
    EXPECT_EQ(vfp.fields[8].length, 4);
    TgsDBFLayout big = Load(dir + "/big/big.dbf");
    EXPECT_EQ(big.recordCount, 70000);
}

}  // namespace

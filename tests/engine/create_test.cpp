#include <gtest/gtest.h>

#include "engine/DbfCreate.h"
#include "engine/DbfLayout.h"
#include "engine/DiskFile.h"
#include "engine/Exception.h"
#include "engine/platform/Paths.h"
#include "TestUtil.h"

using testutil::TempDir;

namespace {

std::vector<TgsFieldDef> FieldsFor(uint8_t version) {
    std::vector<TgsFieldDef> f = {{"NAME", 'C', 20, 0}, {"AMOUNT", 'N', 10, 2}, {"RATE", 'F', 12, 4},
                                  {"BDATE", 'D', 0, 0}, {"ACTIVE", 'L', 0, 0}};
    if (version != 0x03) f.push_back({"NOTES", 'M', 0, 0});
    if (version == 0x30) {
        for (const char* t : {"I", "T", "Y", "B", "G"}) f.push_back({std::string("X") + t, t[0], 0, 0});
    }
    return f;
}

TgsDBFLayout Load(const std::string& path) {
    GSO_DiskFile f(path, false, true);
    f.Open();
    TgsDBFLayout layout;
    layout.Read(f);
    return layout;
}

TEST(CreateTable, EveryVersionWritesAValidEmptyTableAndMemoFile) {
    TempDir dir;
    struct Case {
        uint8_t version;
        const char* memo;
        size_t memoSize;
    } cases[] = {{0x03, nullptr, 0}, {0x83, "t.dbt", 512}, {0x8B, "t.dbt", 512},
                 {0xF5, "t.fpt", 512}, {0x30, "t.fpt", 512}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.version));
        std::string p = dir.File("t.dbf");
        TgsCreateOptions opt;
        opt.overwrite = true;
        opt.languageDriver = 0xC9;
        CreateDBFTable(p, c.version, FieldsFor(c.version), opt);
        std::vector<uint8_t> b = testutil::ReadBytes(p);
        TgsDBFLayout l = Load(p);
        EXPECT_EQ(l.header.Version(), c.version);
        EXPECT_EQ(l.recordCount, 0);
        EXPECT_EQ(l.header.LanguageDriver(), 0xC9);
        EXPECT_EQ(l.fields.size(), FieldsFor(c.version).size());
        ASSERT_EQ(b.size(), l.header.HeaderLength() + 1u);
        EXPECT_EQ(b.back(), 0x1A);
        EXPECT_EQ(b[32 + 32 * l.fields.size()], 0x0D);
        int sum = 1;
        for (const TgsDBFField& f : l.fields) sum += f.length;
        EXPECT_EQ(l.header.RecordLength(), sum);
        if (c.memo) {
            std::vector<uint8_t> m = testutil::ReadBytes(dir.File(c.memo));
            ASSERT_EQ(m.size(), c.memoSize);
            if (c.version == 0x83) {
                EXPECT_EQ(m[0], 1);
                EXPECT_EQ(m[16], 0x03);
            } else if (c.version == 0x8B) {
                EXPECT_EQ(m[0], 1);
                EXPECT_EQ(m[20] | (m[21] << 8), 512);
                EXPECT_EQ(std::string(m.begin() + 8, m.begin() + 9), "T");
            } else {
                EXPECT_EQ(m[3], 8);  // the first free block after the 512-byte header
                EXPECT_EQ(m[7], 64);
            }
            std::remove(dir.File(c.memo).c_str());
        }
    }
    // 0x30 records the memo file in its flags only when it has memo fields.
    CreateDBFTable(dir.File("f.dbf"), 0x30, {{"ID", 'I', 0, 0}});
    EXPECT_EQ(Load(dir.File("f.dbf")).header.FlagBits(), 0);
    EXPECT_FALSE(platform::FileExists(dir.File("f.fpt")));
    CreateDBFTable(dir.File("g.dbf"), 0x30, {{"N", 'M', 0, 0}});
    EXPECT_EQ(Load(dir.File("g.dbf")).header.FlagBits(), 0x02);
}

TEST(CreateTable, LongCharacterFieldsUseTheDecimalsByte) {
    TempDir dir;
    std::string p = dir.File("c.dbf");
    CreateDBFTable(p, 0x03, {{"LONGC", 'C', 1000, 0}, {"SHORT", 'C', 1, 0}});
    TgsDBFLayout l = Load(p);
    EXPECT_EQ(l.fields[0].length, 1000);
    std::vector<uint8_t> b = testutil::ReadBytes(p);
    EXPECT_EQ(b[32 + 16], 1000 & 0xFF);
    EXPECT_EQ(b[32 + 17], 1000 >> 8);
    EXPECT_EQ(l.header.RecordLength(), 1002);
}

TEST(CreateTable, BadDefinitionsAreRefusedAndLeaveNoFile) {
    TempDir dir;
    std::string p = dir.File("bad.dbf");
    auto refused = [&](uint8_t version, std::vector<TgsFieldDef> fields, const std::string& what) {
        try {
            CreateDBFTable(p, version, fields);
            ADD_FAILURE() << "created: " << what;
        } catch (const ERidedezError& e) {
            EXPECT_NE(std::string(e.what()).find(what), std::string::npos) << e.what();
        }
        EXPECT_FALSE(platform::FileExists(p));
        EXPECT_FALSE(platform::FileExists(dir.File("bad.dbt")));
    };
    refused(0x03, {}, "at least one field");
    refused(0x03, {{"", 'C', 5, 0}}, "1 to 10 characters");
    refused(0x03, {{"ELEVENCHARS", 'C', 5, 0}}, "1 to 10 characters");
    refused(0x03, {{"NA-ME", 'C', 5, 0}}, "letters, digits and underscores");
    refused(0x03, {{"A", 'C', 5, 0}, {"a", 'N', 5, 0}}, "used twice");
    refused(0x03, {{"A", 'C', 0, 0}}, "1 to 65,534");
    refused(0x03, {{"A", 'N', 21, 0}}, "1 to 20 digits");
    refused(0x03, {{"A", 'N', 5, 4}}, "no room");
    refused(0x03, {{"A", 'D', 9, 0}}, "always 8");
    refused(0x03, {{"A", 'M', 0, 0}}, "no memo file");
    refused(0x83, {{"A", 'I', 0, 0}}, "needs a version 0x30");
    refused(0x83, {{"A", 'G', 0, 0}}, "needs a version 0x30");
    refused(0x83, {{"A", 'Q', 1, 0}}, "unknown field type");
    refused(0x04, {{"A", 'C', 1, 0}}, "is not one of");
    refused(0x03, {{"A", 'C', 40000, 0}, {"B", 'C', 40000, 0}}, "65,535");
    // An existing table is not replaced unless asked.
    CreateDBFTable(p, 0x83, {{"A", 'C', 1, 0}});
    try {
        CreateDBFTable(p, 0x83, {{"B", 'C', 2, 0}});
        ADD_FAILURE();
    } catch (const ERidedezError& e) {
        EXPECT_EQ(std::string(e.what()), "File already exists - " + p);
    }
    EXPECT_STREQ(Load(p).fields[0].name, "A");
}

TEST(CreateTable, FoxProTwoTablesTakeGeneralFields) {
    TempDir dir;
    CreateDBFTable(dir.File("g.dbf"), 0xF5, {{"PIC", 'G', 0, 0}, {"NOTE", 'M', 0, 0}});
    TgsDBFLayout l = Load(dir.File("g.dbf"));
    ASSERT_EQ(l.fields.size(), 2u);
    EXPECT_EQ(l.fields[0].type, 'G');
    EXPECT_EQ(l.fields[0].length, 10);
}

TEST(CreateTable, FieldDefinitionText) {
    TgsFieldDef f = ParseFieldDef("AMOUNT:N:10:2");
    EXPECT_EQ(f.name, "AMOUNT");
    EXPECT_EQ(f.type, 'N');
    EXPECT_EQ(f.length, 10);
    EXPECT_EQ(f.decimals, 2);
    EXPECT_EQ(ParseFieldDef("BDATE:D").length, 0);
    EXPECT_THROW(ParseFieldDef("NAME"), ERidedezError);
    EXPECT_THROW(ParseFieldDef("NAME:C:x"), ERidedezError);
    EXPECT_THROW(ParseFieldDef("NAME:CC:5"), ERidedezError);
    EXPECT_THROW(ParseFieldDef("NAME:C:99999999999"), ERidedezError);
}

// What we create, the peers read with the same structure.
TEST(CreateTable, PeersReadTheTablesWeCreate) {
    TempDir dir;
    for (uint8_t v : {0x03, 0x83, 0x8B, 0xF5, 0x30}) {
        char name[16];
        std::snprintf(name, sizeof name, "p%02x.dbf", v);
        CreateDBFTable(dir.File(name), v, FieldsFor(v));
    }
    CreateDBFTable(dir.File("long.dbf"), 0x03, {{"LONGC", 'C', 1000, 0}, {"N", 'N', 5, 0}});
    std::string script =
        "import dbfread, dbf, glob, os\n"
        "for p in sorted(glob.glob('" + dir.Path() + "/*.dbf')):\n"
        "  t = dbfread.DBF(p)\n"
        "  print(os.path.basename(p), 'dbfread', len(t), ' '.join('%s:%s:%d:%d' % (f.name, f.type, f.length, f.decimal_count) for f in t.fields))\n"
        "  kind = 'clp' if 'long' in p else None\n"
        "  if not p.endswith('p8b.dbf'):\n"
        "    u = dbf.Table(p, dbf_type=kind) if kind else dbf.Table(p); u.open()\n"
        "    print(os.path.basename(p), 'pydbf', len(u), ' '.join(u.field_names)); u.close()\n";
    testutil::WriteBytes(dir.File("check.py"), std::vector<uint8_t>(script.begin(), script.end()));
    testutil::CommandResult r = testutil::Run("/usr/bin/python3 " + dir.File("check.py"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("p03.dbf dbfread 0 NAME:C:20:0 AMOUNT:N:10:2 RATE:F:12:4 BDATE:D:8:0 ACTIVE:L:1:0\n"),
              std::string::npos) << r.out;
    EXPECT_NE(r.out.find("p83.dbf dbfread 0 NAME:C:20:0 AMOUNT:N:10:2 RATE:F:12:4 BDATE:D:8:0 ACTIVE:L:1:0 NOTES:M:10:0\n"),
              std::string::npos) << r.out;
    EXPECT_NE(r.out.find("p8b.dbf dbfread 0 NAME:C:20:0"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("pf5.dbf dbfread 0 NAME:C:20:0 AMOUNT:N:10:2 RATE:F:12:4 BDATE:D:8:0 ACTIVE:L:1:0 NOTES:M:10:0\n"),
              std::string::npos) << r.out;
    EXPECT_NE(r.out.find("p30.dbf dbfread 0 NAME:C:20:0 AMOUNT:N:10:2 RATE:F:12:4 BDATE:D:8:0 ACTIVE:L:1:0 NOTES:M:4:0 XI:I:4:0 XT:T:8:0 XY:Y:8:0 XB:B:8:0 XG:G:4:0\n"),
              std::string::npos) << r.out;
    EXPECT_NE(r.out.find("long.dbf dbfread 0 LONGC:C:1000:0 N:N:5:0\n"), std::string::npos) << r.out;
    for (const char* t : {"p03.dbf pydbf 0", "p83.dbf pydbf 0", "pf5.dbf pydbf 0", "p30.dbf pydbf 0 name amount rate bdate active notes xi xt xy xb xg", "long.dbf pydbf 0 longc n"}) {
        EXPECT_NE(r.out.find(t), std::string::npos) << t << "\n" << r.out;
    }
}

}  // namespace

// Memo files written by other programs (python3-dbf, Xbase64, Harbour) read as their
// expectations say. The expected texts come from the fixtures' JSON through Debian's
// Python, one line per memo: record number, field name, hex of the bytes.

#include <map>
#include <sstream>

#include "memo_helpers.h"

using testutil::TempDir;

namespace {

const std::string kFixtures = std::string(XB_SHARED_DIR) + "/fixtures/";

// Extracts the memo texts of a fixture's expectations as "recno field hex" lines.
const char* kExtract = R"PY(
import json, sys
d = json.load(open(sys.argv[1]))
if 'header' in d:
    enc = d.get('encoding') or 'cp1252'
    types = {f[0]: f[1] for f in d['header']['fields']}
    for r in d['records']:
        for name, t in types.items():
            if t not in 'MG':
                continue
            v = r['values'][name]
            b = bytes.fromhex(v) if t == 'G' else v.encode(enc)
            print(r['recno'], name, b.hex() or '-')
else:
    names = [f['name'] for f in d['fields'] if f['type'] == 'M']
    for r in d['records']:
        for name in names:
            b = r[name].encode('latin-1')
            assert len(b) == r[name + '_len']
            print(r['recno'], name, b.hex() or '-')
)PY";

std::string FromHex(const std::string& hex) {
    std::string out;
    if (hex == "-") return out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        out.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    return out;
}

struct Expected {
    int recno;
    std::string field;
    std::string text;
};

std::vector<Expected> ExpectedMemos(const std::string& json) {
    TempDir dir;
    const std::string script = dir.File("extract.py");
    testutil::WriteBytes(script, std::vector<uint8_t>(kExtract, kExtract + std::strlen(kExtract)));
    testutil::CommandResult r = testutil::Run("/usr/bin/python3 '" + script + "' '" + json + "'");
    EXPECT_EQ(r.status, 0) << r.err;
    std::vector<Expected> out;
    std::istringstream in(r.out);
    Expected e;
    std::string hex;
    while (in >> e.recno >> e.field >> hex) {
        e.text = FromHex(hex);
        out.push_back(e);
    }
    return out;
}

// Reads every memo of the table through a memo object opened read-only and compares.
void CheckFixture(const std::string& table, const std::string& json, uint8_t version,
                  size_t minimumMemos, size_t minimumNonEmpty) {
    SCOPED_TRACE(table);
    std::vector<Expected> expected = ExpectedMemos(json);
    ASSERT_GE(expected.size(), minimumMemos);
    std::map<std::string, std::vector<int32_t>> blocks;
    auto memo = CreateMemoObject(nullptr, table, version, false, false);
    ASSERT_NE(memo, nullptr);
    size_t nonEmpty = 0;
    for (const Expected& e : expected) {
        if (!blocks.count(e.field)) blocks[e.field] = memotest::BlockNumbers(table, e.field);
        const std::vector<int32_t>& b = blocks[e.field];
        ASSERT_LE(static_cast<size_t>(e.recno), b.size());
        const int32_t block = b[static_cast<size_t>(e.recno - 1)];
        EXPECT_EQ(memo->MemoLength(block), static_cast<int32_t>(e.text.size()))
            << "record " << e.recno << " " << e.field << " block " << block;
        EXPECT_TRUE(memo->MemoText(block) == e.text) << "record " << e.recno << " " << e.field;
        // A buffer of half the memo gets half of it and nothing more.
        std::vector<char> half(e.text.size() / 2 + 1, '#');
        int32_t count = static_cast<int32_t>(e.text.size() / 2);
        if (count > 0) {
            memo->MemoRead(block, half.data(), count);
            EXPECT_EQ(count, static_cast<int32_t>(e.text.size() / 2));
            EXPECT_EQ(half.back(), '#');
            EXPECT_TRUE(std::string(half.data(), static_cast<size_t>(count)) == e.text.substr(0, static_cast<size_t>(count)));
        }
        if (!e.text.empty()) ++nonEmpty;
    }
    EXPECT_GE(nonEmpty, minimumNonEmpty);
}

TEST(MemoFixtures, PythonDbfDbt3) {
    CheckFixture(kFixtures + "debian/p83_memo.dbf", kFixtures + "debian/p83_memo.expected.json", 0x83, 40, 25);
}

TEST(MemoFixtures, Xbase64Dbt3) {
    CheckFixture(kFixtures + "debian/x83_memo.dbf", kFixtures + "debian/x83_memo.expected.json", 0x83, 40, 25);
}

TEST(MemoFixtures, Xbase64Dbt4) {
    CheckFixture(kFixtures + "debian/x8b_memo.dbf", kFixtures + "debian/x8b_memo.expected.json", 0x8B, 40, 25);
}

TEST(MemoFixtures, PythonDbfFptWithTextAndBinaryMemos) {
    CheckFixture(kFixtures + "debian/pf5_fpt.dbf", kFixtures + "debian/pf5_fpt.expected.json", 0xF5, 80, 40);
}

TEST(MemoFixtures, PythonDbfVisualFoxProFpt) {
    CheckFixture(kFixtures + "debian/p30_vfp.dbf", kFixtures + "debian/p30_vfp.expected.json", 0x30, 40, 25);
}

TEST(MemoFixtures, CyrillicMemosInBothCodePages) {
    CheckFixture(kFixtures + "debian/cyr1251.dbf", kFixtures + "debian/cyr1251.expected.json", 0x83, 40, 25);
    CheckFixture(kFixtures + "debian/cyr866.dbf", kFixtures + "debian/cyr866.expected.json", 0x83, 40, 25);
}

TEST(MemoFixtures, HarbourDbt) {
    CheckFixture(kFixtures + "harbour/ntx/main.dbf", kFixtures + "harbour/ntx/main.ntx.expected.json", 0x83, 1000, 170);
}

TEST(MemoFixtures, HarbourFpt) {
    CheckFixture(kFixtures + "harbour/cdx/main.dbf", kFixtures + "harbour/cdx/main.cdx.expected.json", 0xF5, 1000, 170);
}

TEST(MemoFixtures, HarbourVisualFoxProFpt) {
    CheckFixture(kFixtures + "harbour/cdx_vfp/main.dbf", kFixtures + "harbour/cdx_vfp/main.cdx.expected.json",
                 0x30, 1000, 170);
}

// A copy of a peer's file takes new memos and rewrites without disturbing the others.
TEST(MemoFixtures, WritingIntoPeerFilesKeepsTheirMemos) {
    struct Set {
        std::string dir, name, memoExt;
        uint8_t version;
    };
    const Set sets[] = {{"harbour/ntx/", "main", ".dbt", 0x83},
                        {"harbour/cdx/", "main", ".fpt", 0xF5},
                        {"debian/", "x8b_memo", ".dbt", 0x8B},
                        {"debian/", "p83_memo", ".dbt", 0x83}};
    for (const Set& s : sets) {
        SCOPED_TRACE(s.dir + s.name);
        TempDir dir;
        const std::string table = dir.File(s.name + ".dbf");
        testutil::WriteBytes(table, testutil::ReadBytes(kFixtures + s.dir + s.name + ".dbf"));
        testutil::WriteBytes(dir.File(s.name + s.memoExt),
                             testutil::ReadBytes(kFixtures + s.dir + s.name + s.memoExt));
        const std::string field = s.dir == "debian/" ? "NOTE" : "NOTES";
        std::vector<int32_t> blocks = memotest::BlockNumbers(table, field);
        auto memo = CreateMemoObject(nullptr, table, s.version, true, false);
        std::vector<std::string> before;
        for (int32_t b : blocks) before.push_back(memo->MemoText(b));
        // Rewrite every third memo longer, every third shorter, add new ones.
        for (size_t i = 0; i < blocks.size(); ++i) {
            if (blocks[i] == 0 || i % 3 == 2) continue;
            std::string t = memotest::Pattern(i % 3 == 0 ? before[i].size() + 700 : before[i].size() / 2, static_cast<unsigned>(i));
            blocks[i] = memo->MemoWrite(blocks[i], t.data(), static_cast<int32_t>(t.size()));
            before[i] = t;
        }
        for (int k = 0; k < 10; ++k) {
            std::string t = memotest::Pattern(static_cast<size_t>(300 * k + 1), static_cast<unsigned>(k + 5000));
            blocks.push_back(memo->MemoWrite(0, t.data(), static_cast<int32_t>(t.size())));
            before.push_back(t);
        }
        for (size_t i = 0; i < blocks.size(); ++i) {
            EXPECT_TRUE(memo->MemoText(blocks[i]) == before[i]) << "memo " << i << " block " << blocks[i];
        }
    }
}

}  // namespace

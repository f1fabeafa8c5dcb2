// Memo files this engine writes read back the same with python3-dbfread (through the
// team's checker, which corrects dbfread's dBase IV lengths). The record block numbers
// are written by hand, as the table object would store them.

#include <sstream>

#include "memo_helpers.h"

using memotest::MakeTable;
using memotest::OpenMemo;
using memotest::Pattern;
using testutil::TempDir;

namespace {

// The NOTE memo of every record as dbfread sees it, hex per line ("-" when empty).
std::vector<std::string> PeerMemos(const std::string& table) {
    const std::string checker = std::string(XB_SHARED_DIR) + "/peers/dbfcheck.py";
    const std::string decode =
        "import sys, json\n"
        "for line in sys.stdin:\n"
        "    v = json.loads(line)['values']['NOTE']\n"
        "    print(v.encode('latin-1').hex() or '-')\n";
    TempDir dir;
    const std::string script = dir.File("decode.py");
    testutil::WriteBytes(script, std::vector<uint8_t>(decode.begin(), decode.end()));
    testutil::CommandResult r = testutil::Run("/usr/bin/python3 '" + checker +
                                              "' --no-header --encoding latin-1 '" + table +
                                              "' | /usr/bin/python3 '" + script + "'");
    EXPECT_EQ(r.status, 0) << r.err;
    std::vector<std::string> out;
    std::istringstream in(r.out);
    std::string hex;
    while (in >> hex) out.push_back(hex);
    return out;
}

std::string Hex(const std::string& s) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (unsigned char c : s) {
        out.push_back(digits[c >> 4]);
        out.push_back(digits[c & 15]);
    }
    return out.empty() ? "-" : out;
}

void CrossCheck(uint8_t version) {
    SCOPED_TRACE(static_cast<int>(version));
    TempDir dir;
    const std::string table = MakeTable(dir, "peer.dbf", version);
    auto memo = OpenMemo(table, version);
    const size_t lengths[] = {0, 1, 2, 55, 56, 57, 64, 100, 502, 503, 504, 505, 510, 511, 512, 513,
                              1000, 1023, 1024, 1025, 5000, 33000, 70000};
    std::vector<int32_t> blocks;
    std::vector<std::string> texts;
    for (size_t n : lengths) {
        texts.push_back(Pattern(n, static_cast<unsigned>(n + version)));
        blocks.push_back(memo->MemoWrite(0, texts.back().data(), static_cast<int32_t>(n)));
    }
    // Rewrites, shorter and longer, and (dBase IV) reuse of freed blocks.
    for (size_t i = 1; i < texts.size(); i += 4) {
        texts[i] = Pattern(texts[i].size() * 2 + 3, static_cast<unsigned>(i));
        blocks[i] = memo->MemoWrite(blocks[i], texts[i].data(), static_cast<int32_t>(texts[i].size()));
        texts[i + 1] = Pattern(texts[i + 1].size() / 3, static_cast<unsigned>(i + 1));
        blocks[i + 1] = memo->MemoWrite(blocks[i + 1], texts[i + 1].data(),
                                        static_cast<int32_t>(texts[i + 1].size()));
    }
    memo->MemoFree(blocks[5]);
    blocks[5] = 0;
    texts[5].clear();
    texts.push_back(Pattern(300, 77));
    blocks.push_back(memo->MemoWrite(0, texts.back().data(), 300));
    memo->Close();
    memotest::AppendRecords(table, blocks);

    std::vector<std::string> peer = PeerMemos(table);
    ASSERT_EQ(peer.size(), texts.size());
    for (size_t i = 0; i < texts.size(); ++i) {
        EXPECT_TRUE(peer[i] == Hex(texts[i])) << "record " << i + 1 << " of " << texts[i].size() << " bytes";
    }
}

TEST(MemoPeers, DbfreadReadsOurDbt3) { CrossCheck(0x83); }
TEST(MemoPeers, DbfreadReadsOurDbt4) { CrossCheck(0x8B); }
TEST(MemoPeers, DbfreadReadsOurFpt) { CrossCheck(0xF5); }
TEST(MemoPeers, DbfreadReadsOurVisualFoxProFpt) { CrossCheck(0x30); }

}  // namespace

// MDX files we write, byte for byte against hand-computed layouts of small files: the file
// header, the tag table with its thread bytes, tag headers, key blocks with their back
// chain, the binary-coded decimal number keys and their comparable form, the production
// index mark, renaming, deleting the last tag and closing with the changed flag.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>

#include "IndexTestSupport.h"
#include "engine/Exception.h"
#include "engine/platform/Clock.h"
#include "index/mdx/GSobjMDXFile.h"
#include "index/mdx/GSobjMDXTag.h"
#include "index/mdx/MdxLayout.h"

using namespace indextest;

namespace {

std::string Bytes(const std::vector<uint8_t>& b, size_t at, size_t n) {
    return std::string(reinterpret_cast<const char*>(&b[at]), n);
}

std::vector<uint8_t> Stored(double v) {
    const std::string c = mdx::ComparableFromNumber(v);
    std::vector<uint8_t> out(mdx::kNumberKeyLength);
    mdx::StoredFromComparable(reinterpret_cast<const uint8_t*>(c.data()), c.size(), out.data());
    return out;
}

uint8_t TableFlags(const std::string& path) { return testutil::ReadBytes(path)[28]; }

class MdxLayout : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.File("people.dbf");
        CreatePeople(path);
        table = IndexedTable::Open(path);
    }
    std::unique_ptr<GSobjMDXFile> Open(const std::string& name, bool create = false) {
        return std::make_unique<GSobjMDXFile>(table.get(), create, create, false, true, dir.File(name));
    }
    std::vector<uint8_t> File(const std::string& name) { return testutil::ReadBytes(dir.File(name)); }

    testutil::TempDir dir;
    std::string path;
    std::unique_ptr<IndexedTable> table;
};

}  // namespace

TEST(MdxNumbers, TwelveAndAHalfAsStoredDecimals) {
    const std::vector<uint8_t> plus = Stored(12.5);
    const uint8_t expected[12] = {54, 0x11, 0x12, 0x50, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(plus, std::vector<uint8_t>(expected, expected + 12));
    std::vector<uint8_t> minus = Stored(-12.5);
    EXPECT_EQ(minus[0], 54);
    EXPECT_EQ(minus[1], 0x91);
    EXPECT_EQ(minus[2], 0x12);
    EXPECT_EQ(minus[3], 0x50);
    const uint8_t zero[12] = {52, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(Stored(0), std::vector<uint8_t>(zero, zero + 12));
    EXPECT_EQ(Stored(-0.0), std::vector<uint8_t>(zero, zero + 12));
    // One digit is counted as a whole byte's two; 15 significant digits at most.
    EXPECT_EQ(Stored(7)[1], 4 * 2 + 1);
    EXPECT_EQ(Stored(7)[0], 53);
    EXPECT_EQ(Stored(0.05)[0], 51);
    const std::vector<uint8_t> pi = Stored(3.14159265358979323846);
    EXPECT_EQ(pi[1], 4 * 16 + 1);
    EXPECT_EQ(pi[2], 0x31);
    EXPECT_EQ(pi[8], 0x97);  // rounded to 15 digits: 314159265358979
    EXPECT_EQ(pi[9], 0x90);
    EXPECT_EQ(pi[10], 0x00);
}

TEST(MdxNumbers, ComparableFormsOrderLikeTheNumbersAndComeBack) {
    const double values[] = {-1e150, -123456789.125, -12.5, -12.25, -1, -0.05, -1e-40, 0,
                             1e-40,  0.05,           0.5,   1,      12.25, 12.5, 99999.99, 1e150};
    for (size_t i = 0; i + 1 < std::size(values); ++i)
        EXPECT_LT(mdx::ComparableFromNumber(values[i]), mdx::ComparableFromNumber(values[i + 1])) << values[i];
    for (double v : values) {
        const std::string c = mdx::ComparableFromNumber(v);
        ASSERT_EQ(c.size(), 12u);
        EXPECT_DOUBLE_EQ(mdx::NumberFromComparable(reinterpret_cast<const uint8_t*>(c.data()), c.size()), v);
        // Stored and read back, the comparable form is the same.
        uint8_t stored[12];
        mdx::StoredFromComparable(reinterpret_cast<const uint8_t*>(c.data()), c.size(), stored);
        EXPECT_EQ(mdx::ComparableFromStored(stored), c) << v;
    }
    // The high sentinel of number branches lies above both sign markers.
    EXPECT_LT(mdx::ComparableFromNumber(1e300), std::string(1, static_cast<char>(mdx::kMarkerHigh)));
    std::mt19937 rng(3);
    for (int i = 0; i < 2000; ++i) {
        const double a = (static_cast<int>(rng() % 2000001) - 1000000) / 100.0;
        const double b = (static_cast<int>(rng() % 2000001) - 1000000) / 100.0;
        const int byNumber = a < b ? -1 : a > b ? 1 : 0;
        const int c = mdx::ComparableFromNumber(a).compare(mdx::ComparableFromNumber(b));
        EXPECT_EQ(byNumber, c < 0 ? -1 : c > 0 ? 1 : 0) << a << " " << b;
    }
}

// A number key holds the number's fifteen significant digits, rounded as its exact decimal
// expansion is: read back, it is the double nearest to those digits as printf rounds them.
// Amounts with few decimals, arbitrary doubles, halfway cases and values that round up to
// the next power of ten.
TEST(MdxNumbers, KeysHoldTheFifteenDigitsTheExactExpansionRoundsTo) {
    auto roundTrip = [](double v) {
        const std::string c = mdx::ComparableFromNumber(v);
        return mdx::NumberFromComparable(reinterpret_cast<const uint8_t*>(c.data()), c.size());
    };
    auto fifteenDigits = [](double v) {
        char text[64];
        std::snprintf(text, sizeof text, "%.14e", v);
        return std::strtod(text, nullptr);
    };
    std::vector<double> values = {1,  9.5,  10,  99999.99, 1e14, 999999999999999.0, 999999999999999.5,
                                  1.000000000000005, 1.0000000000000049, 9999.9999999999995, 9999.999999999999,
                                  123456789012345.6, 0.1, 0.3, 5e-8, 1e15, 1e16, 12345678901234567.0, 1e22, 1e23};
    std::mt19937_64 rng(7);
    for (int i = 0; i < 20000; ++i) {
        // Stored amounts: up to ten digits with two decimals.
        values.push_back(static_cast<double>(static_cast<int64_t>(rng() % 20000000000ull) - 9999999999) / 100.0);
        // Any double of a wide range of magnitudes.
        uint64_t bits = (rng() & 0x000FFFFFFFFFFFFFull) | ((1023 - 30 + rng() % 90) << 52);
        double any;
        std::memcpy(&any, &bits, sizeof any);
        values.push_back(i % 2 ? any : -any);
    }
    for (double v : values) EXPECT_EQ(roundTrip(v), fifteenDigits(v)) << std::hexfloat << v;
}

TEST_F(MdxLayout, NewFileHasTheHeaderAreaOnly) {
    { auto f = Open("people.mdx", true); EXPECT_EQ(f->TagCount(), 0u); }
    const auto b = File("people.mdx");
    ASSERT_EQ(b.size(), 2048u);
    const platform::DateTime now = platform::Now();
    EXPECT_EQ(b[0], 2);
    EXPECT_EQ(b[1], now.year % 100);
    EXPECT_EQ(b[2], now.month);
    EXPECT_EQ(b[3], now.day);
    EXPECT_EQ(Bytes(b, 4, 16), std::string("PEOPLE\0\0\0\0\0\0\0\0\0\0", 16));
    EXPECT_EQ(mdx::Get16(&b[20]), 2);
    EXPECT_EQ(mdx::Get16(&b[22]), 1024);
    EXPECT_EQ(b[24], 1);
    EXPECT_EQ(b[25], 48);
    EXPECT_EQ(b[26], 32);
    EXPECT_EQ(mdx::Get16(&b[28]), 0);
    EXPECT_EQ(mdx::Get32(&b[32]), 4u);
    EXPECT_EQ(b[44], now.year % 100);
    EXPECT_EQ(b[45], now.month);
    EXPECT_EQ(b[46], now.day);
    EXPECT_EQ(std::count(b.begin() + 512, b.end(), 0), 2048 - 512);
}

TEST_F(MdxLayout, TagsAreKeptInNameOrderAndThreaded) {
    Append(*table, {"Smith", 12.5, "20010203", true});
    auto f = Open("people.mdx", true);
    f->CreateTag("b", "NAME", "", false, true);
    f->CreateTag("A", "AMOUNT", "", false, true);
    ASSERT_EQ(f->TagCount(), 2u);
    EXPECT_EQ(f->Tag(0)->Name(), "A");
    EXPECT_EQ(f->Tag(1)->Name(), "B");
    const int64_t headerA = f->Tag(0)->HeaderPosition();
    const int64_t headerB = f->Tag(1)->HeaderPosition();
    // B's header came first (units 4 and 5), its root block next, then A's.
    EXPECT_EQ(headerB, 4);
    EXPECT_EQ(headerA, 8);
    auto b = File("people.mdx");
    EXPECT_EQ(mdx::Get16(&b[28]), 2);
    EXPECT_EQ(b[512 + 17], 1);
    EXPECT_EQ(mdx::Get32(&b[544]), static_cast<uint32_t>(headerA));
    EXPECT_EQ(Bytes(b, 548, 11), std::string("A\0\0\0\0\0\0\0\0\0\0", 11));
    EXPECT_EQ(b[544 + 16], 0);
    EXPECT_EQ(b[544 + 17], 2);
    EXPECT_EQ(b[544 + 18], 0);
    EXPECT_EQ(b[544 + 19], 2);
    EXPECT_EQ(b[544 + 20], 'N');
    EXPECT_EQ(mdx::Get32(&b[576]), static_cast<uint32_t>(headerB));
    EXPECT_EQ(Bytes(b, 580, 2), std::string("B\0", 2));
    EXPECT_EQ(b[576 + 17], 0);
    EXPECT_EQ(b[576 + 20], 'C');
    // Reopened, the tags come back in table order.
    f.reset();
    f = Open("people.mdx");
    ASSERT_EQ(f->TagCount(), 2u);
    EXPECT_EQ(f->Tag(0)->Name(), "A");
    EXPECT_EQ(f->Tag(0)->KeyType(), 'N');
    EXPECT_EQ(f->Tag(1)->HeaderPosition(), headerB);
}

TEST_F(MdxLayout, TagHeaderAndLeafBlockOfASmallTextTag) {
    Append(*table, {"Smythe", 1, "", true});
    Append(*table, {"Smith", 2, "", false});
    Append(*table, {"Adams", 3, "", true});
    auto f = Open("people.mdx", true);
    f->CreateTag("NAME", "NAME", "", false, true);
    f->CreateTag("NAMEDU", "NAME", "ACTIVE", true, false);
    f.reset();
    const auto b = File("people.mdx");
    // NAME: header at unit 4, its leaf at 6; NAMEDU: header at 8, leaf at 10.
    ASSERT_EQ(b.size(), 12u * 512);
    const size_t h = 4 * 512;
    EXPECT_EQ(mdx::Get32(&b[h + 0]), 6u);
    EXPECT_EQ(b[h + 8], 0x10);
    EXPECT_EQ(b[h + 9], 'C');
    EXPECT_EQ(mdx::Get16(&b[h + 12]), 10);
    EXPECT_EQ(mdx::Get16(&b[h + 14]), 62);  // (1024 - 8) div 16 - 1
    EXPECT_EQ(mdx::Get16(&b[h + 18]), 16);  // 10 + 4 rounded up to 4
    EXPECT_EQ(b[h + 23], 0);
    EXPECT_EQ(Bytes(b, h + 24, 5), std::string("NAME\0", 5));
    EXPECT_EQ(b[h + 245], 0);
    EXPECT_EQ(b[h + 246], 1);
    EXPECT_EQ(mdx::Get32(&b[h + 248]), 6u);
    EXPECT_EQ(mdx::Get32(&b[h + 252]), 6u);
    const size_t leaf = 6 * 512;
    EXPECT_EQ(mdx::Get32(&b[leaf + 0]), 3u);
    EXPECT_EQ(mdx::Get32(&b[leaf + 4]), 0u);  // no block before it
    EXPECT_EQ(mdx::Get32(&b[leaf + 8]), 3u);
    EXPECT_EQ(Bytes(b, leaf + 12, 10), "Adams     ");
    EXPECT_EQ(mdx::Get32(&b[leaf + 24]), 2u);
    EXPECT_EQ(Bytes(b, leaf + 28, 10), "Smith     ");
    EXPECT_EQ(mdx::Get32(&b[leaf + 40]), 1u);
    EXPECT_EQ(Bytes(b, leaf + 44, 10), "Smythe    ");
    EXPECT_EQ(mdx::Get32(&b[leaf + 56]), 0u);  // a leaf: nothing after the counted entries
    // NAMEDU: unique, descending, FOR ACTIVE: Smythe then Adams.
    const size_t h2 = 8 * 512;
    EXPECT_EQ(b[h2 + 8], 0x10 | 0x40 | 0x08);
    EXPECT_EQ(b[h2 + 23], 0x40);
    EXPECT_EQ(b[h2 + 245], 1);
    EXPECT_EQ(Bytes(b, h2 + 762, 7), std::string("ACTIVE\0", 7));
    const size_t leaf2 = 10 * 512;
    EXPECT_EQ(mdx::Get32(&b[leaf2]), 2u);
    EXPECT_EQ(mdx::Get32(&b[leaf2 + 8]), 1u);
    EXPECT_EQ(mdx::Get32(&b[leaf2 + 24]), 3u);
    // The file header followed the file on closing.
    EXPECT_EQ(mdx::Get32(&b[32]), 12u);
}

TEST_F(MdxLayout, NumberAndDateKeysAsStored) {
    Append(*table, {"A", 12.5, "20010203", true});
    Append(*table, {"B", -12.5, "", true});
    auto f = Open("people.mdx", true);
    f->CreateTag("AMOUNT", "AMOUNT", "", false, true);
    f->CreateTag("BDATE", "BDATE", "", false, true);
    GSobjMDXTag* amount = static_cast<GSobjMDXTag*>(f->FindTag("AMOUNT"));
    GSobjMDXTag* date = static_cast<GSobjMDXTag*>(f->FindTag("BDATE"));
    EXPECT_EQ(amount->KeyLength(), 12);
    EXPECT_EQ(amount->EntrySize(), 16);
    EXPECT_EQ(date->KeyLength(), 8);
    EXPECT_EQ(date->EntrySize(), 12);
    EXPECT_EQ(date->MaxKeys(), 83);
    const int64_t amountLeaf = amount->RootPage();
    const int64_t dateLeaf = date->RootPage();
    f.reset();
    const auto b = File("people.mdx");
    const size_t a = static_cast<size_t>(amountLeaf) * 512;
    EXPECT_EQ(mdx::Get32(&b[a + 8]), 2u);  // -12.5 first
    EXPECT_EQ(b[a + 12], 54);
    EXPECT_EQ(b[a + 13], 0x91);
    EXPECT_EQ(mdx::Get32(&b[a + 24]), 1u);
    EXPECT_EQ(b[a + 29], 0x11);
    EXPECT_EQ(b[a + 30], 0x12);
    EXPECT_EQ(b[a + 31], 0x50);
    const size_t d = static_cast<size_t>(dateLeaf) * 512;
    double first, second;
    std::memcpy(&first, &b[d + 12], 8);
    std::memcpy(&second, &b[d + 24], 8);
    EXPECT_EQ(mdx::Get32(&b[d + 8]), 1u);
    EXPECT_EQ(first, 2451944.0);  // 3 February 2001
    EXPECT_EQ(mdx::Get32(&b[d + 20]), 2u);
    EXPECT_EQ(second, 1.0E+100);  // the blank date last
}

TEST_F(MdxLayout, ProductionIndexMarkFollowsTheFileNamedLikeTheTable) {
    Append(*table, {"A", 1, "", true});
    auto other = Open("other.mdx", true);
    other->CreateTag("NAME", "NAME", "", false, true);
    other.reset();
    testutil::TempDir elsewhere;
    { GSobjMDXFile f(table.get(), true, true, false, true, elsewhere.File("people.mdx")); f.CreateTag("NAME", "NAME", "", false, true); }
    table.reset();
    EXPECT_EQ(TableFlags(path) & 1, 0);
    table = IndexedTable::Open(path);
    // Named like the table (but for case), the file marks it once it holds a tag.
    auto f = Open("PEOPLE.MDX", true);
    EXPECT_EQ(TableFlags(path) & 1, 0);
    f->CreateTag("NAME", "NAME", "", false, true);
    EXPECT_EQ(TableFlags(path) & 1, 1);
    f.reset();
    table.reset();
    EXPECT_EQ(TableFlags(path) & 1, 1);
    table = IndexedTable::Open(path);
    f = Open("PEOPLE.MDX");
    f->CreateTag("AMOUNT", "AMOUNT", "", false, true);
    EXPECT_TRUE(f->DeleteTag("NAME"));
    EXPECT_EQ(TableFlags(path) & 1, 1);
    EXPECT_FALSE(f->DeleteTag("NAME"));
    EXPECT_TRUE(f->DeleteTag("amount"));
    // The last tag gone: the file is its header area again and the mark is cleared.
    EXPECT_EQ(TableFlags(path) & 1, 0);
    f.reset();
    EXPECT_EQ(File("PEOPLE.MDX").size(), 2048u);
    EXPECT_EQ(mdx::Get16(&File("PEOPLE.MDX")[28]), 0);
    EXPECT_EQ(mdx::Get32(&File("PEOPLE.MDX")[32]), 4u);
    f = Open("PEOPLE.MDX");
    EXPECT_EQ(f->TagCount(), 0u);
    // A new tag marks the table again.
    f->CreateTag("NAME", "NAME", "", false, true);
    EXPECT_EQ(TableFlags(path) & 1, 1);
    // A table that lost its mark gets it back when its production file is opened.
    f.reset();
    table.reset();
    auto bytes = testutil::ReadBytes(path);
    bytes[28] = 0;
    testutil::WriteBytes(path, bytes);
    table = IndexedTable::Open(path);
    f = Open("PEOPLE.MDX");
    EXPECT_EQ(TableFlags(path) & 1, 1);
}

TEST_F(MdxLayout, RenamingRewritesTheTableName) {
    Append(*table, {"A", 1, "", true});
    auto f = Open("people.mdx", true);
    f->CreateTag("NAME", "NAME", "", false, true);
    ASSERT_TRUE(f->RenameFile(dir.File("clients.dbf")));
    f.reset();
    const auto b = File("clients.mdx");
    EXPECT_EQ(Bytes(b, 4, 16), std::string("CLIENTS\0\0\0\0\0\0\0\0\0", 16));
    f = Open("clients.mdx");
    EXPECT_EQ(Walk(*f->FindTag("NAME")).size(), 1u);
}

TEST_F(MdxLayout, DescendingTagsBeginWithTheHighestKey) {
    const double amounts[] = {5, -7, 12.5, 0, 3};
    for (double a : amounts) Append(*table, {"N", a, "", true});
    auto f = Open("people.mdx", true);
    GSobjIndexTag* d = f->CreateTag("AMT_D", "AMOUNT", "", false, false);
    EXPECT_EQ(d->MoveTo(-3), 3);
    EXPECT_EQ(d->MoveTo(-1), 1);
    EXPECT_EQ(d->MoveTo(-4), 2);
    TgsVariant key(256);
    key.SetNumber(3);
    EXPECT_EQ(d->Seek(key), 5);
    key.SetNumber(4);
    EXPECT_EQ(d->Seek(key), 0);
    EXPECT_EQ(d->CurrentEntry().link, 5);  // the next key in the tag's order
}

TEST_F(MdxLayout, TheTagTableHoldsFortySevenTags) {
    Append(*table, {"A", 1, "", true});
    auto f = Open("people.mdx", true);
    for (int i = 0; i < 47; ++i) f->CreateTag("T" + std::to_string(100 + i), "NAME", "", false, true);
    EXPECT_THROW(f->CreateTag("T999", "NAME", "", false, true), Exception);
    EXPECT_EQ(f->TagCount(), 47u);
    // Replacing one is still allowed.
    EXPECT_NE(f->CreateTag("T120", "AMOUNT", "", false, true), nullptr);
    f.reset();
    f = Open("people.mdx");
    EXPECT_EQ(f->TagCount(), 47u);
    EXPECT_EQ(f->FindTag("T120")->KeyType(), 'N');
}

TEST_F(MdxLayout, AnEmptyTableGetsAnEmptyRootBlockThatTakesKeys) {
    auto f = Open("people.mdx", true);
    GSobjIndexTag* tag = f->CreateTag("NAME", "NAME", "", false, true);
    auto* mdxTag = static_cast<GSobjMDXTag*>(tag);
    EXPECT_EQ(mdxTag->RootPage(), 6);
    EXPECT_EQ(mdxTag->FirstBlock(), 6);
    EXPECT_EQ(mdxTag->LastBlock(), 6);
    EXPECT_EQ(tag->MoveTo(-3), 0);
    EXPECT_TRUE(tag->Bof());
    EXPECT_TRUE(tag->Eof());
    table->files = {f.get()};
    Append(*table, {"Zed", 1, "", true});
    Append(*table, {"Abe", 2, "", true});
    table->files.clear();
    EXPECT_EQ(Records(Walk(*tag)), (std::vector<int32_t>{2, 1}));
    f.reset();
    const auto b = File("people.mdx");
    EXPECT_EQ(b.size(), 4096u);
    EXPECT_EQ(mdx::Get32(&b[6 * 512]), 2u);
    EXPECT_EQ(Bytes(b, 6 * 512 + 12, 10), "Abe       ");
}

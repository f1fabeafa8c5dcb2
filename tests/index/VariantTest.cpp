// TgsVariant: storage, conversions and comparison.

#include "ExpTestSupport.h"
#include "engine/RunErrors.h"
#include "index/expr/TgsVariant.h"

using namespace exptest;

class Variant : public ExpTest {};

TEST_F(Variant, CapacityAndGrowth) {
    TgsVariant v(256);
    EXPECT_EQ(v.Capacity(), 256u);
    EXPECT_EQ(v.Length(), 0u);
    const uint8_t* block = v.Data();
    v.SetText("abc");
    EXPECT_EQ(v.Data(), block);  // no new block while it fits
    v.SetSize(300);
    EXPECT_EQ(v.Capacity(), 300u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(v.Data()), 3), "abc");
    v.Clear();
    EXPECT_EQ(v.Capacity(), 0u);
    EXPECT_EQ(v.Type(), TgsVariantType::Empty);
    EXPECT_EQ(v.Data(), nullptr);
}

TEST_F(Variant, Assign) {
    TgsVariant a, b;
    a.SetText("hello");
    EXPECT_TRUE(b.Assign(&a));
    EXPECT_EQ(b.AsText(), "hello");
    EXPECT_NE(b.Data(), a.Data());
    EXPECT_FALSE(b.Assign(nullptr));
    EXPECT_EQ(b.AsText(), "hello");
    TgsVariant c = a;
    EXPECT_EQ(c.Type(), TgsVariantType::Text);
}

TEST_F(Variant, SettersSetTypeAndLength) {
    TgsVariant v;
    v.SetNumber(2.5);
    EXPECT_EQ(v.Type(), TgsVariantType::Number);
    EXPECT_EQ(v.Length(), 8u);
    v.SetDate(2460385);
    EXPECT_EQ(v.Type(), TgsVariantType::Date);
    EXPECT_EQ(v.Length(), 4u);
    v.SetLogical(true);
    EXPECT_EQ(v.Length(), 1u);
    v.SetBytes("\x01\x02", 2);
    EXPECT_EQ(v.Type(), TgsVariantType::Bytes);
    v.AppendBytes("\x03", 1);
    EXPECT_EQ(v.Length(), 3u);
    v.SetText("ab", 1);
    EXPECT_EQ(v.AsText(), "a");
    v.AppendBytes("cd", 2);
    EXPECT_EQ(v.Type(), TgsVariantType::Bytes);
    EXPECT_EQ(v.AsText(), "acd");
    v.AppendBytes(v.Data(), 3);  // its own bytes, while the block grows
    EXPECT_EQ(v.AsText(), "acdacd");
}

TEST_F(Variant, AsText) {
    TgsVariant v;
    EXPECT_EQ(v.AsText(), "");
    v.SetNumber(2.5);
    EXPECT_EQ(v.AsText(), "2.5");
    v.SetNumber(100);
    EXPECT_EQ(v.AsText(), "100");
    v.SetNumber(1e20);
    EXPECT_EQ(v.AsText(), "1E20");
    v.SetNumber(-0.000001);
    EXPECT_EQ(v.AsText(), "-1E-6");
    v.SetNumber(0.1 + 0.2);
    EXPECT_EQ(v.AsText(), "0.3");
    v.SetDate(static_cast<int32_t>(Day(2024, 3, 5)));
    EXPECT_EQ(v.AsText(), "05.03.2024");
    v.SetLogical(false);
    EXPECT_EQ(v.AsText(), "F");
    v.SetLogical(true);
    EXPECT_EQ(v.AsText(), "T");
}

TEST_F(Variant, AsNumber) {
    TgsVariant v;
    EXPECT_EQ(v.AsNumber(), 0);
    v.SetText(" 12.5 ");
    EXPECT_EQ(v.AsNumber(), 12.5);
    v.SetText("12x");
    EXPECT_THROW(v.AsNumber(), EConvertError);
    v.SetDate(2460385);
    EXPECT_EQ(v.AsNumber(), 2460385);
    v.SetLogical(true);
    EXPECT_EQ(v.AsNumber(), 1);
    double d = 7.25;
    v.SetBytes(&d, sizeof d);
    EXPECT_EQ(v.AsNumber(), 7.25);
}

TEST_F(Variant, AsDate) {
    TgsVariant v;
    EXPECT_EQ(v.AsDate(), 0);
    v.SetText("20240305");
    EXPECT_EQ(v.AsDate(), Day(2024, 3, 5));
    v.SetText("05.03.2024");
    EXPECT_EQ(v.AsDate(), Day(2024, 3, 5));
    v.SetNumber(20240305.9);
    EXPECT_EQ(v.AsDate(), Day(2024, 3, 5));
    v.SetNumber(1e30);
    EXPECT_EQ(v.AsDate(), 0);
    int32_t day = 2451545;
    v.SetBytes(&day, sizeof day);
    EXPECT_EQ(v.AsDate(), 2451545);
    v.SetLogical(true);
    EXPECT_EQ(v.AsDate(), 0);
}

TEST_F(Variant, AsLogical) {
    TgsVariant v;
    EXPECT_FALSE(v.AsLogical());
    for (const char* t : {"T", "t", "Y", "y", "J", "j"}) {
        v.SetText(t);
        EXPECT_TRUE(v.AsLogical()) << t;
    }
    v.SetText("F");
    EXPECT_FALSE(v.AsLogical());
    v.SetNumber(0.5);
    EXPECT_FALSE(v.AsLogical());
    v.SetNumber(-2);
    EXPECT_TRUE(v.AsLogical());
    v.SetDate(5);
    EXPECT_FALSE(v.AsLogical());
    v.SetBytes("\x01", 1);
    EXPECT_TRUE(v.AsLogical());
}

TEST_F(Variant, CopyToAndTextOperations) {
    TgsVariant v;
    v.SetText("ab\xe0");
    char out[8] = {};
    EXPECT_EQ(v.CopyTo(out, 2), 2u);
    EXPECT_EQ(std::string(out, 2), "ab");
    v.UpperText();
    EXPECT_EQ(v.AsText(), "AB\xc0");
    v.PadText(5);
    EXPECT_EQ(v.AsText(), "AB\xc0  ");
    v.PadText(2);
    EXPECT_EQ(v.Length(), 5u);  // never shortens
    v.TrimText();
    EXPECT_EQ(v.AsText(), "AB\xc0");
    TgsVariant n;
    n.SetNumber(1);
    n.PadText(20);
    n.TrimText();
    n.UpperText();
    EXPECT_EQ(n.Length(), 8u);
}

TEST_F(Variant, CompareTexts) {
    TgsVariant a, b;
    int matched = -1;
    a.SetText("ABC");
    b.SetText("ABD");
    EXPECT_EQ(a.Compare(&b, matched, 0), -1);
    EXPECT_EQ(matched, 3);
    EXPECT_EQ(b.Compare(&a, matched, 0), 1);
    b.SetText("ABC");
    EXPECT_EQ(a.Compare(&b, matched, 0), 0);
    EXPECT_EQ(matched, 4);
    b.SetText("ABCD");
    EXPECT_EQ(a.Compare(&b, matched, 0), 0);  // a proper prefix takes the caller's result
    EXPECT_EQ(a.Compare(&b, matched, -1), -1);
    EXPECT_EQ(a.Compare(&b, matched, 5), 1);
    EXPECT_EQ(matched, 4);
    EXPECT_EQ(b.Compare(&a, matched, 0), 1);
    b.SetText("\xff");
    EXPECT_EQ(a.Compare(&b, matched, 0), -1);  // unsigned bytes
}

TEST_F(Variant, CompareEmptyAndMissing) {
    TgsVariant a, b;
    int matched = -1;
    EXPECT_EQ(a.Compare(nullptr, matched, 0), 1);
    EXPECT_EQ(matched, 0);
    a.SetText("");
    b.SetText("");
    EXPECT_EQ(a.Compare(&b, matched, 0), 0);
    b.SetText("x");
    EXPECT_EQ(a.Compare(&b, matched, 0), -1);
    EXPECT_EQ(b.Compare(&a, matched, 0), 1);
}

TEST_F(Variant, CompareRawBytesTakeTheOtherSidesType) {
    TgsVariant raw, text;
    int matched;
    raw.SetBytes("AB", 2);
    text.SetText("ABC");
    EXPECT_EQ(raw.Compare(&text, matched, 0), 0);  // compared as text: prefix result
    EXPECT_EQ(text.Compare(&raw, matched, 0), 1);
    TgsVariant raw2;
    raw2.SetBytes("ABC", 3);
    EXPECT_EQ(raw.Compare(&raw2, matched, 0), -1);  // raw bytes: the shorter is below
    TgsVariant num;
    num.SetNumber(2);
    double one = 1;
    raw.SetBytes(&one, sizeof one);
    EXPECT_EQ(raw.Compare(&num, matched, 0), -1);
}

TEST_F(Variant, CompareNumbersDatesLogicals) {
    TgsVariant a, b;
    int matched;
    a.SetNumber(-1);
    b.SetNumber(2);
    EXPECT_EQ(a.Compare(&b, matched, 0), -1);
    EXPECT_EQ(b.Compare(&a, matched, 0), 1);
    b.SetNumber(-1);
    EXPECT_EQ(a.Compare(&b, matched, 0), 0);
    a.SetDate(10);
    b.SetDate(9);
    EXPECT_EQ(a.Compare(&b, matched, 0), 1);
    a.SetLogical(true);
    b.SetLogical(false);
    EXPECT_EQ(a.Compare(&b, matched, 0), 1);
    EXPECT_EQ(b.Compare(&a, matched, 0), -1);
    b.SetLogical(true);
    EXPECT_EQ(a.Compare(&b, matched, 0), 0);
    b.SetNumber(1);
    EXPECT_THROW(a.Compare(&b, matched, 0), ERidedezError);
}

// The text module: every code page against the system's iconv, the program's Kazakh
// positions, the OEM/ANSI permutation, UTF-8 and case folding.

#include <gtest/gtest.h>
#include <iconv.h>

#include <set>

#include "engine/text/CaseFold.h"
#include "engine/text/CodePage.h"
#include "engine/text/OemAnsi.h"
#include "engine/text/Utf8.h"

using xbtext::CodePage;
using xbtext::CodePageId;

namespace {

uint32_t U(char32_t c) { return static_cast<uint32_t>(c); }

// The character iconv gives for one byte of `charset`, or nothing when it maps none.
std::optional<char32_t> IconvDecode(iconv_t cd, uint8_t byte) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char in[1] = {static_cast<char>(byte)};
    char32_t out[2] = {};
    char* inp = in;
    char* outp = reinterpret_cast<char*>(out);
    size_t inLeft = 1, outLeft = sizeof out;
    if (iconv(cd, &inp, &inLeft, &outp, &outLeft) == static_cast<size_t>(-1)) return std::nullopt;
    if (inLeft != 0 || outLeft != sizeof out - sizeof(char32_t)) return std::nullopt;
    return out[0];
}

struct SystemName {
    CodePageId id;
    const char* iconvName;
};
const SystemName kSystemNames[] = {
    {CodePageId::Cp1251, "CP1251"}, {CodePageId::Cp866, "CP866"},
    {CodePageId::Kz1048, "RK1048"}, {CodePageId::Pt154, "PT154"},
    {CodePageId::Latin1, "ISO-8859-1"},
};

TEST(TextModule, EveryCodePageAgreesWithIconvOnEveryByte) {
    for (const SystemName& s : kSystemNames) {
        iconv_t cd = iconv_open("UTF-32LE", s.iconvName);
        ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1)) << s.iconvName;
        const CodePage& page = CodePage::Of(s.id);
        int mapped = 0;
        for (int b = 0; b < 256; ++b) {
            std::optional<char32_t> expected = IconvDecode(cd, static_cast<uint8_t>(b));
            if (!expected) {
                // Unassigned there: it reads as the control character of its own value.
                EXPECT_EQ(U(page.ToUnicode(static_cast<uint8_t>(b))), U(static_cast<char32_t>(b)))
                    << s.iconvName << " byte " << b;
                continue;
            }
            ++mapped;
            EXPECT_EQ(U(page.ToUnicode(static_cast<uint8_t>(b))), U(*expected))
                << s.iconvName << " byte " << b;
            EXPECT_EQ(page.FromUnicode(*expected), std::optional<uint8_t>(b))
                << s.iconvName << " byte " << b;
        }
        iconv_close(cd);
        EXPECT_GE(mapped, 255) << s.iconvName;
    }
}

TEST(TextModule, TextThroughACodePageComesBackByteForByte) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    for (CodePageId id : {CodePageId::Cp1251, CodePageId::Cp866, CodePageId::KazakhDisplay,
                          CodePageId::Kz1048, CodePageId::Pt154, CodePageId::Latin1}) {
        const CodePage& page = CodePage::Of(id);
        const std::string utf8 = page.Decode(all);
        EXPECT_TRUE(xbtext::IsValidUtf8(utf8));
        std::string back;
        char32_t bad = 0;
        ASSERT_TRUE(page.Encode(utf8, back, bad)) << page.Name() << " " << U(bad);
        EXPECT_EQ(back, all) << page.Name();
        std::string same;
        ASSERT_TRUE(page.Recode(all, page, same, bad));
        EXPECT_EQ(same, all);
        std::set<char32_t> distinct;
        for (int b = 0; b < 256; ++b) distinct.insert(page.ToUnicode(static_cast<uint8_t>(b)));
        EXPECT_EQ(distinct.size(), 256u) << page.Name();
        CodePageId named;
        ASSERT_TRUE(CodePage::FromName(page.Name(), named));
        EXPECT_EQ(named, id);
    }
    CodePageId named;
    EXPECT_FALSE(CodePage::FromName("utf8", named));
    EXPECT_FALSE(CodePage::FromName("", named));
}

// The Kazakh alphabet: 42 letters, each in upper and lower case.
const char* const kKazakhAlphabet[] = {
    "АаӘәБбВвГгҒғДдЕеЁёЖжЗзИиЙйКкҚқЛлМмНнҢңОоӨөПпРрСсТтУуҰұҮүФфХхҺһЦцЧчШшЩщЪъЫыІіЬьЭэЮюЯя"};

TEST(TextModule, TheProgramsPositionsHoldAll84KazakhLetters) {
    const CodePage& kaz = CodePage::Of(CodePageId::KazakhDisplay);
    std::optional<std::u32string> letters = xbtext::DecodeUtf8(kKazakhAlphabet[0]);
    ASSERT_TRUE(letters);
    ASSERT_EQ(letters->size(), 84u);
    std::set<uint8_t> bytes;
    for (char32_t ch : *letters) {
        std::optional<uint8_t> b = kaz.FromUnicode(ch);
        ASSERT_TRUE(b) << "U+" << std::hex << static_cast<uint32_t>(ch);
        EXPECT_EQ(U(kaz.ToUnicode(*b)), U(ch));
        bytes.insert(*b);
    }
    EXPECT_EQ(bytes.size(), 84u);
    // The positions the font draws as Kazakh letters, read in Windows-1251 as І ґ µ № є
    // » ј Ѕ ѕ; everything else is Windows-1251 but for the program's own choices.
    const std::pair<uint8_t, char32_t> font[] = {{0xB2, U'Қ'}, {0xB4, U'Ө'}, {0xB5, U'Ұ'},
                                                 {0xB9, U'ғ'}, {0xBA, U'қ'}, {0xBB, U'ң'},
                                                 {0xBC, U'ө'}, {0xBD, U'ұ'}, {0xBE, U'ү'}};
    for (const auto& [b, ch] : font) EXPECT_EQ(U(kaz.ToUnicode(b)), U(ch)) << int(b);
    const std::set<uint8_t> ours = {0x80, 0x8A, 0x8C, 0x8D, 0x8E, 0x8F, 0x9A, 0x9F};
    const CodePage& ansi = CodePage::Of(CodePageId::Cp1251);
    int differing = 0;
    for (int b = 0; b < 256; ++b) {
        if (kaz.ToUnicode(static_cast<uint8_t>(b)) == ansi.ToUnicode(static_cast<uint8_t>(b))) continue;
        ++differing;
        const bool fontPlace = b >= 0xB2 && b <= 0xBE && b != 0xB3 && b != 0xB6 && b != 0xB7 && b != 0xB8;
        EXPECT_TRUE(fontPlace || ours.count(static_cast<uint8_t>(b))) << b;
    }
    EXPECT_EQ(differing, 17);
    // The same letters in KZ-1048 and PT154, which other software writes.
    for (CodePageId id : {CodePageId::Kz1048, CodePageId::Pt154}) {
        for (char32_t ch : *letters) EXPECT_TRUE(CodePage::Of(id).FromUnicode(ch)) << int(id);
    }
}

TEST(TextModule, RecodingMovesQuestionTextsBetweenKazakhCodePages) {
    const CodePage& kaz = CodePage::Of(CodePageId::KazakhDisplay);
    const CodePage& kz1048 = CodePage::Of(CodePageId::Kz1048);
    std::string display, standard, back;
    char32_t bad = 0;
    ASSERT_TRUE(kaz.Encode("Қазақ әліпбиінде", display, bad));
    ASSERT_TRUE(kaz.Recode(display, kz1048, standard, bad));
    EXPECT_EQ(kz1048.Decode(standard), "Қазақ әліпбиінде");
    EXPECT_NE(standard, display);
    ASSERT_TRUE(kz1048.Recode(standard, kaz, back, bad));
    EXPECT_EQ(back, display);
    // A character the target lacks stops the recoding and is named.
    std::string out;
    EXPECT_FALSE(kaz.Recode(display, CodePage::Of(CodePageId::Cp866), out, bad));
    EXPECT_EQ(U(bad), U(U'Қ'));
    EXPECT_FALSE(kaz.Encode("\xD2", out, bad));
    EXPECT_EQ(U(bad), 0xFFFFFFFFu);
}

TEST(TextModule, OemAnsiPermutationFollowsTheCodePages) {
    const auto& toOem = xbtext::AnsiToOemTable();
    const auto& toAnsi = xbtext::OemToAnsiTable();
    iconv_t cd = iconv_open("CP866", "CP1251");
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
    int shared = 0;
    for (int b = 0; b < 256; ++b) {
        EXPECT_EQ(toAnsi[toOem[b]], b);
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char in[1] = {static_cast<char>(b)}, out[4] = {};
        char* inp = in;
        char* outp = out;
        size_t inLeft = 1, outLeft = sizeof out;
        if (iconv(cd, &inp, &inLeft, &outp, &outLeft) != static_cast<size_t>(-1) &&
            outLeft == sizeof out - 1) {
            ++shared;
            EXPECT_EQ(toOem[b], static_cast<uint8_t>(out[0])) << b;
        }
    }
    iconv_close(cd);
    EXPECT_EQ(shared, 128 + 77);  // ASCII, the 66 Russian letters and 11 more
    EXPECT_EQ(toOem[0x95], 0xF9);  // the bullet becomes the bullet operator
    EXPECT_EQ(toOem[0x80], 0xB0);  // characters 866 lacks take its free places, in order
    EXPECT_EQ(toOem[0xBE], 0xFE);
}

TEST(TextModule, Utf8IsStrict) {
    size_t bad = 99;
    EXPECT_FALSE(xbtext::DecodeUtf8("ab\xC0\x80", &bad));  // overlong
    EXPECT_EQ(bad, 2u);
    EXPECT_FALSE(xbtext::DecodeUtf8("\xED\xA0\x80"));       // a surrogate
    EXPECT_FALSE(xbtext::DecodeUtf8("\xF4\x90\x80\x80"));   // beyond U+10FFFF
    EXPECT_FALSE(xbtext::DecodeUtf8("\xD2"));               // cut short
    EXPECT_FALSE(xbtext::DecodeUtf8("\xE2\x82"));
    EXPECT_TRUE(*xbtext::DecodeUtf8("Қ€😀") == std::u32string(U"Қ€😀"));
    EXPECT_EQ(xbtext::EncodeUtf8(U"Қ€😀"), "Қ€😀");
    std::string s;
    xbtext::AppendUtf8(s, 0xD800);
    EXPECT_EQ(s, "\xEF\xBF\xBD");
}

TEST(TextModule, CaseFoldingPairsEveryKazakhLetterWithItsOwn) {
    std::optional<std::u32string> letters = xbtext::DecodeUtf8(kKazakhAlphabet[0]);
    ASSERT_TRUE(letters);
    std::set<char32_t> folded;
    for (size_t i = 0; i < letters->size(); i += 2) {
        EXPECT_EQ(U(xbtext::FoldCase((*letters)[i])), U((*letters)[i + 1])) << i;
        EXPECT_EQ(U(xbtext::FoldCase((*letters)[i + 1])), U((*letters)[i + 1])) << i;
        folded.insert(xbtext::FoldCase((*letters)[i]));
    }
    EXPECT_EQ(folded.size(), 42u);
    EXPECT_EQ(U(xbtext::FoldCase(U'Z')), U(U'z'));
    EXPECT_EQ(U(xbtext::FoldCase(U'Ä')), U(U'ä'));
    EXPECT_EQ(U(xbtext::FoldCase(U'×')), U(U'×'));
    EXPECT_EQ(U(xbtext::FoldCase(U'Ş')), U(U'ş'));
    EXPECT_EQ(U(xbtext::FoldCase(U'Ž')), U(U'ž'));
    EXPECT_EQ(U(xbtext::FoldCase(U'1')), U(U'1'));
    std::string out;
    EXPECT_TRUE(xbtext::FoldUtf8("ҚАЗАҚ.DBF", out));
    EXPECT_EQ(out, "қазақ.dbf");
    EXPECT_FALSE(xbtext::FoldUtf8("\xC4\xC0.DBF", out));
}

}  // namespace

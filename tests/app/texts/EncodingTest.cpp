// The display encoding: the Kazakh letters, the rest of Windows-1251, and what it refuses.

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>

#include "app/texts/DisplayText.h"
#include "app/texts/KazEncoding.h"
#include "app/texts/Utf8.h"

namespace {

using kaztexts::DisplayText;
using kaztexts::KazEncoding;

// Every letter of the Kazakh Cyrillic alphabet, upper and lower case.
const char32_t kKazakhUpper[] = U"АӘБВГҒДЕЁЖЗИЙКҚЛМНҢОӨПРСТУҰҮФХҺЦЧШЩЪЫІЬЭЮЯ";
const char32_t kKazakhLower[] = U"аәбвгғдеёжзийкқлмнңоөпрстуұүфхһцчшщъыіьэюя";

TEST(Encoding, TheNineFontPositions) {
    const struct {
        uint8_t byte;
        char32_t letter;
    } fixed[] = {{0xB2, U'Қ'}, {0xB4, U'Ө'}, {0xB5, U'Ұ'}, {0xB9, U'ғ'}, {0xBA, U'қ'},
                 {0xBB, U'ң'}, {0xBC, U'ө'}, {0xBD, U'ұ'}, {0xBE, U'ү'}};
    for (const auto& f : fixed) {
        EXPECT_EQ(KazEncoding::ToUnicode(f.byte), f.letter) << std::hex << int(f.byte);
        EXPECT_EQ(KazEncoding::FromUnicode(f.letter), f.byte) << std::hex << int(f.byte);
    }
}

TEST(Encoding, TheChosenPositions) {
    const struct {
        uint8_t byte;
        char32_t letter;
    } chosen[] = {{0x80, U'І'}, {0x8A, U'Ә'}, {0x9A, U'ә'}, {0x8C, U'Ғ'},
                  {0x8D, U'Ң'}, {0x8E, U'Ү'}, {0x8F, U'Һ'}, {0x9F, U'һ'}};
    for (const auto& c : chosen) {
        EXPECT_EQ(KazEncoding::ToUnicode(c.byte), c.letter) << std::hex << int(c.byte);
        EXPECT_EQ(KazEncoding::FromUnicode(c.letter), c.byte) << std::hex << int(c.byte);
    }
    EXPECT_EQ(KazEncoding::ToUnicode(0xB3), U'і');
}

TEST(Encoding, EveryKazakhLetterSurvivesBothWays) {
    std::set<uint8_t> used;
    for (const char32_t* alphabet : {kKazakhUpper, kKazakhLower}) {
        const std::u32string letters(alphabet);
        ASSERT_EQ(letters.size(), 42u);
        for (char32_t letter : letters) {
            auto byte = KazEncoding::FromUnicode(letter);
            ASSERT_TRUE(byte.has_value()) << static_cast<uint32_t>(letter);
            EXPECT_GE(*byte, 0x80);
            EXPECT_EQ(KazEncoding::ToUnicode(*byte), letter);
            EXPECT_TRUE(used.insert(*byte).second) << "two letters share " << int(*byte);
        }
        // The whole alphabet as a text, through UTF-8 and back.
        const std::string utf8 = kaztexts::Utf8::Encode(letters);
        kaztexts::EncodedText encoded = DisplayText::FromUtf8(utf8);
        EXPECT_TRUE(encoded.Complete());
        EXPECT_EQ(encoded.bytes.size(), 42u);
        EXPECT_EQ(DisplayText::ToUtf8(encoded.bytes), utf8);
        EXPECT_EQ(DisplayText::ToUnicode(encoded.bytes), letters);
    }
    EXPECT_EQ(used.size(), 84u);
}

TEST(Encoding, EveryByteReadsAsADistinctCharacterAndBack) {
    std::set<char32_t> seen;
    for (int b = 0; b < 256; ++b) {
        const char32_t ch = KazEncoding::ToUnicode(static_cast<uint8_t>(b));
        EXPECT_TRUE(seen.insert(ch).second) << b;
        EXPECT_EQ(KazEncoding::FromUnicode(ch), static_cast<uint8_t>(b)) << b;
    }
}

TEST(Encoding, RussianLettersAndAsciiStayWhereWindows1251HasThem) {
    for (int b = 0; b < 0x80; ++b)
        EXPECT_EQ(KazEncoding::ToUnicode(static_cast<uint8_t>(b)), char32_t(b));
    for (int b = 0xC0; b <= 0xFF; ++b) {
        EXPECT_EQ(KazEncoding::ToUnicode(static_cast<uint8_t>(b)), char32_t(0x0410 + (b - 0xC0)));
    }
    EXPECT_EQ(KazEncoding::ToUnicode(0xA8), U'Ё');
    EXPECT_EQ(KazEncoding::ToUnicode(0xB8), U'ё');
    // Common punctuation keeps its place.
    EXPECT_EQ(KazEncoding::ToUnicode(0xAB), U'«');
    EXPECT_EQ(KazEncoding::ToUnicode(0x96), U'–');
    EXPECT_EQ(KazEncoding::ToUnicode(0x97), U'—');
    EXPECT_EQ(KazEncoding::ToUnicode(0x85), U'…');
    EXPECT_EQ(KazEncoding::ToUnicode(0xB7), U'·');
    EXPECT_EQ(KazEncoding::ToUnicode(0x88), U'€');
    EXPECT_EQ(KazEncoding::ToUnicode(0x98), char32_t(0x98));
}

TEST(Encoding, DisplacedAndForeignCharactersAreRefused) {
    // The characters whose positions the Kazakh letters took, and some outside Windows-1251.
    for (char32_t ch : std::u32string(U"ЂЉЊЌЋЏљџґµ№є»јЅѕ✓中")) {
        EXPECT_FALSE(KazEncoding::FromUnicode(ch).has_value()) << static_cast<uint32_t>(ch);
    }
    EXPECT_FALSE(KazEncoding::FromUnicode(0x1F600).has_value());
    EXPECT_FALSE(KazEncoding::FromUnicode(0xFFFD).has_value());
}

TEST(Encoding, RefusalsNameTheColumnAndTheCharacter) {
    kaztexts::EncodedText e = DisplayText::FromUtf8("Қала №5 «Алматы»");
    ASSERT_EQ(e.refused.size(), 2u);
    EXPECT_EQ(e.refused[0].column, 6u);
    EXPECT_EQ(e.refused[0].character, U'№');
    EXPECT_EQ(e.refused[1].column, 16u);
    EXPECT_EQ(e.refused[1].character, U'»');
    EXPECT_EQ(e.refused[0].Describe(),
              "column 6: '№' (U+2116) cannot be written in the display encoding");
    EXPECT_EQ(e.bytes, "\xB2\xE0\xEB\xE0 ?5 \xAB\xC0\xEB\xEC\xE0\xF2\xFB?");
    EXPECT_FALSE(e.Complete());
}

TEST(Encoding, ControlCharactersAreNamedButNotShown) {
    kaztexts::EncodedText e = DisplayText::FromUtf8(
        "a\xC2\x85"
        "b");
    ASSERT_EQ(e.refused.size(), 1u);
    EXPECT_EQ(e.refused[0].CharacterText(), "(U+0085)");
    EXPECT_EQ(e.refused[0].Describe(),
              "column 2: (U+0085) cannot be written in the display encoding");
    EXPECT_EQ(kaztexts::TextRefusal({1, U'✓', false}).CharacterText(), "'✓' (U+2713)");
}

TEST(Encoding, InvalidUtf8IsRefusedWhereItStarts) {
    struct Case {
        std::string text;
        size_t column;
    } cases[] = {
        {"ab\xC0\x80", 3},        // overlong
        {"\xED\xA0\x80", 1},      // surrogate
        {"a\xD2", 2},             // cut short
        {"\xD2\x9A\xD2x", 2},     // continuation missing
        {"\xF5\x80\x80\x80", 1},  // beyond U+10FFFF
        {"abc\x80", 4},           // stray continuation byte
    };
    for (const Case& c : cases) {
        kaztexts::EncodedText e = DisplayText::FromUtf8(c.text);
        ASSERT_EQ(e.refused.size(), 1u) << c.text;
        EXPECT_TRUE(e.refused[0].invalidUtf8);
        EXPECT_EQ(e.refused[0].column, c.column) << c.text;
        EXPECT_EQ(e.refused[0].Describe(),
                  "column " + std::to_string(c.column) + ": not valid UTF-8");
    }
    size_t bad = 99;
    EXPECT_FALSE(kaztexts::Utf8::Decode("ok\xE2\x82", &bad).has_value());
    EXPECT_EQ(bad, 2u);
    EXPECT_EQ(kaztexts::Utf8::Decode("\xF0\x9F\x98\x80")->front(), char32_t(0x1F600));
}

}  // namespace

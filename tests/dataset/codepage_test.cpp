// The OEM/ANSI translation tables.

#include <gtest/gtest.h>

#include <set>

#include "DsHelpers.h"
#include "dataset/CodePages.h"

using dstest::Bytes;
using dstest::Hex;

TEST(CodePages, RussianLettersMapBetweenTheBlocks) {
    // А..Я, а..п, р..я and Ё ё in 1251 and in 866.
    for (int i = 0; i < 32; ++i) {
        EXPECT_EQ(codepage::AnsiToOem(static_cast<uint8_t>(0xC0 + i)), 0x80 + i);
        EXPECT_EQ(codepage::OemToAnsi(static_cast<uint8_t>(0x80 + i)), 0xC0 + i);
    }
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(codepage::AnsiToOem(static_cast<uint8_t>(0xE0 + i)), 0xA0 + i);
        EXPECT_EQ(codepage::AnsiToOem(static_cast<uint8_t>(0xF0 + i)), 0xE0 + i);
    }
    EXPECT_EQ(codepage::AnsiToOem(0xA8), 0xF0);
    EXPECT_EQ(codepage::AnsiToOem(0xB8), 0xF1);
    EXPECT_EQ(codepage::AnsiToOem(0xB9), 0xFC);  // №
    EXPECT_EQ(Hex(codepage::AnsiToOem(Bytes("CFF0E8E2E5F2"))), "8FE0A8A2A5E2");
}

TEST(CodePages, CharactersBothPagesHoldSurviveTheRoundTrip) {
    std::set<uint8_t> images;
    int common = 0;
    for (int b = 0; b < 256; ++b) {
        const uint8_t oem = codepage::AnsiToOem(static_cast<uint8_t>(b));
        if (codepage::OemToAnsi(oem) == b) {
            ++common;
            EXPECT_TRUE(images.insert(oem).second) << b;
        }
    }
    // ASCII, the 64 Russian letters, Ё ё Є є Ї ї Ў ў ° · № ¤ and the no-break space, and
    // the bullet, whose substitute (the bullet operator) comes back as a bullet.
    EXPECT_EQ(common, 128 + 64 + 13 + 1);
    EXPECT_EQ(codepage::OemToAnsi(codepage::AnsiToOem(0x95)), 0x95);
    for (int b = 0; b < 128; ++b) {
        EXPECT_EQ(codepage::AnsiToOem(static_cast<uint8_t>(b)), b);
        EXPECT_EQ(codepage::OemToAnsi(static_cast<uint8_t>(b)), b);
    }
}

TEST(CodePages, MissingCharactersGetTheirSubstitutes) {
    EXPECT_EQ(codepage::AnsiToOem(0xB2), 'I');   // І
    EXPECT_EQ(codepage::AnsiToOem(0xB3), 'i');   // і
    EXPECT_EQ(codepage::AnsiToOem(0x96), '-');   // –
    EXPECT_EQ(codepage::AnsiToOem(0xAB), '<');   // «
    EXPECT_EQ(codepage::AnsiToOem(0xBB), '>');   // »
    EXPECT_EQ(codepage::AnsiToOem(0x98), '?');   // unassigned
    EXPECT_EQ(codepage::AnsiToOem(0xBA), 0xF3);  // є has its own place
    EXPECT_EQ(codepage::OemToAnsi(0xB3), '|');   // │
    EXPECT_EQ(codepage::OemToAnsi(0xC4), '-');   // ─
    EXPECT_EQ(codepage::OemToAnsi(0xC5), '+');   // ┼
    EXPECT_EQ(codepage::OemToAnsi(0xB1), '#');   // ▒
    EXPECT_EQ(codepage::OemToAnsi(0xF9), 0x95);  // ∙ becomes •
    EXPECT_EQ(codepage::OemToAnsi(0xFB), 'v');   // √
}

TEST(CodePages, DatasetTranslateFollowsTheSwitch) {
    TRidedezDataSet ds;
    const std::string ansi = Bytes("C0E1");
    EXPECT_EQ(Hex(ds.Translate(ansi, true)), "80A1");
    EXPECT_EQ(ds.Translate(Bytes("80A1"), false), ansi);
    char buf[8] = {};
    EXPECT_EQ(ds.Translate(ansi.c_str(), buf, true), 0);
    EXPECT_EQ(Hex(buf), "80A1");
    EXPECT_EQ(ds.Translate(nullptr, buf, true), 0);
    EXPECT_EQ(buf[0], '\0');
    ds.SetTranslateASCII(false);
    EXPECT_EQ(ds.Translate(ansi, true), ansi);
    std::string same = ansi;
    ds.Translate(same.c_str(), same.data(), false);
    EXPECT_EQ(same, ansi);
}

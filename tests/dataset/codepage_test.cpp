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

TEST(CodePages, EveryByteSurvivesTheRoundTrip) {
    std::set<uint8_t> images;
    for (int b = 0; b < 256; ++b) {
        const uint8_t oem = codepage::AnsiToOem(static_cast<uint8_t>(b));
        EXPECT_EQ(codepage::OemToAnsi(oem), b) << b;
        EXPECT_TRUE(images.insert(oem).second) << b;
    }
    EXPECT_EQ(images.size(), 256u);
    for (int b = 0; b < 128; ++b) {
        EXPECT_EQ(codepage::AnsiToOem(static_cast<uint8_t>(b)), b);
        EXPECT_EQ(codepage::OemToAnsi(static_cast<uint8_t>(b)), b);
    }
}

TEST(CodePages, CharactersBothPagesHoldKeepTheirOwnPlaces) {
    EXPECT_EQ(codepage::AnsiToOem(0xBA), 0xF3);  // є
    EXPECT_EQ(codepage::AnsiToOem(0xA8), 0xF0);  // Ё
    EXPECT_EQ(codepage::AnsiToOem(0xB9), 0xFC);  // №
    EXPECT_EQ(codepage::AnsiToOem(0x95), 0xF9);  // the bullet
    EXPECT_EQ(codepage::AnsiToOem(0xC0), 0x80);  // А
    EXPECT_EQ(codepage::AnsiToOem(0xFF), 0xEF);  // я
}

TEST(CodePages, MissingCharactersTakeTheFreePlaces) {
    // 1251's own characters that 866 lacks go to the pseudographic places, in order.
    EXPECT_EQ(codepage::AnsiToOem(0x80), 0xB0);  // Ђ
    EXPECT_EQ(codepage::AnsiToOem(0xB2), 0xD9);  // І, the program's Қ
    EXPECT_EQ(codepage::AnsiToOem(0xBE), 0xFE);  // ѕ, the program's ү
    EXPECT_EQ(codepage::OemToAnsi(0xC4), 0x94);  // ─ comes back as the quote it stands for
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

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <random>

#include "engine/DBFDate.h"
#include "engine/Exception.h"
#include "engine/FieldText.h"
#include "engine/RunErrors.h"
#include "engine/platform/Clock.h"
#include "engine/platform/Locale.h"
#include "TableFixture.h"

using namespace tabletest;
using testutil::TempDir;

namespace {

class Fields : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.File("f.dbf");
        CreateDBFTable(path, 0x83,
                       {{"C5", 'C', 5, 0}, {"N5", 'N', 5, 0}, {"N62", 'N', 6, 2}, {"N41", 'N', 4, 1},
                        {"D", 'D', 0, 0}, {"L", 'L', 0, 0}, {"M", 'M', 0, 0}, {"LONGC", 'C', 300, 0},
                        {"F", 'F', 8, 3}, {"X", 'C', 1, 0}});
        t = GSO_dBHandler::Open(path, true, false);
        t->BlankRecord();
    }
    std::string Raw(int n) {
        return std::string(reinterpret_cast<const char*>(t->CurrentBuffer()) + t->FieldOffset(n),
                           static_cast<size_t>(t->FieldLength(n)));
    }
    TempDir dir;
    std::string path;
    std::unique_ptr<GSO_dBHandler> t;
};

TEST_F(Fields, TextIsAlignedByTypeAndCut) {
    t->PutText(1, "AB");
    EXPECT_EQ(Raw(1), "AB   ");
    t->PutText(2, "AB");
    EXPECT_EQ(Raw(2), "   AB");
    t->PutText(1, "ABCDEFG");
    EXPECT_EQ(Raw(1), "ABCDE");
    t->PutText(1, "");
    EXPECT_EQ(Raw(1), "     ");
    // Reading stops at a NUL and trims nothing.
    t->CurrentBuffer()[t->FieldOffset(1) + 2] = 0;
    EXPECT_EQ(t->GetText(1), std::string("  "));
    t->PutText(8, std::string(300, 'z'));
    EXPECT_EQ(t->GetText(8).size(), 300u);
    EXPECT_EQ(t->GetText(99), "");
    EXPECT_FALSE(t->PutText(0, "x"));
}

TEST_F(Fields, NumbersAreFormattedToTheField) {
    t->PutNumber(3, 3.14159);
    EXPECT_EQ(Raw(3), "  3.14");
    t->PutNumber(4, -1.5);
    EXPECT_EQ(Raw(4), "-1.5");
    EXPECT_EQ(ErrorOf([&] { t->PutNumber(2, 123456); }),
              "Number too large to fit in field - N5 - 123456");
    EXPECT_EQ(ErrorOf([&] { t->PutNumber(1, 1); }), "dBase field is of incorrect type - ");
    t->PutNumber(9, 2.5);
    EXPECT_EQ(Raw(9), "   2.500");
    EXPECT_EQ(t->GetNumber(9), 2.5);
}

TEST_F(Fields, NumbersAreReadStrictly) {
    t->PutText(2, "");
    EXPECT_EQ(t->GetNumber(2), 0);
    t->PutText(3, " 12.50");
    EXPECT_EQ(t->GetNumber(3), 12.5);
    t->PutText(3, "-1e2");
    EXPECT_EQ(t->GetNumber(3), -100);
    t->PutText(3, "12,50");
    EXPECT_EQ(ErrorOf([&] { t->GetNumber(3); }),
              "dBase field is of incorrect type - Invalid number in field f->N62 ( 12,50)");
    for (const char* bad : {"1x", "--1", "inf", "nan", "0x10", ".", "1e"}) {
        t->PutText(3, bad);
        EXPECT_THROW(t->GetNumber(3), ERidedezError) << bad;
    }
    t->BlankRecord();
    EXPECT_EQ(Raw(3), "  0.00");  // a blank record holds formatted zeros
}

// Short decimals take a quicker way than long ones; both must read as the library's
// correctly rounded conversion of the same digits.
TEST(FieldNumberText, EveryFormReadsAsTheCorrectlyRoundedValue) {
    std::mt19937_64 rng(7);
    for (int i = 0; i < 200000; ++i) {
        const int intDigits = static_cast<int>(rng() % 12);
        const int fracDigits = static_cast<int>(rng() % 9);
        std::string digits;
        for (int k = 0; k < intDigits; ++k) digits += static_cast<char>('0' + rng() % 10);
        std::string text = std::string(rng() % 3, ' ') + (rng() % 2 ? "-" : (rng() % 5 ? "" : "+")) + digits;
        if (fracDigits > 0 || rng() % 4 == 0) {
            text += '.';
            for (int k = 0; k < fracDigits; ++k) text += static_cast<char>('0' + rng() % 10);
        }
        if (intDigits + fracDigits == 0) continue;
        std::string canonical;
        for (char c : text) {
            if (c != ' ' && c != '+') canonical += c;
        }
        if (canonical.find('.') == (canonical[0] == '-' ? 1u : 0u)) canonical.insert(canonical[0] == '-' ? 1 : 0, "0");
        double expected = 0;
        auto r = std::from_chars(canonical.data(), canonical.data() + canonical.size(), expected);
        ASSERT_EQ(r.ec, std::errc()) << canonical;
        double got = 1;
        ASSERT_TRUE(ParseFieldNumber(text, got)) << text;
        ASSERT_EQ(std::memcmp(&got, &expected, sizeof got), 0) << "'" << text << "' " << got << " " << expected;
    }
    double v = 0;
    EXPECT_TRUE(ParseFieldNumber("1234567890123456789", v));  // past the short way
    EXPECT_EQ(v, 1234567890123456789.0);
    EXPECT_TRUE(ParseFieldNumber("-0.000", v));
    EXPECT_TRUE(std::signbit(v));
    EXPECT_TRUE(ParseFieldNumber("2.5E+3", v));
    EXPECT_EQ(v, 2500);
    EXPECT_TRUE(ParseFieldNumber("1e999", v));
    EXPECT_EQ(v, HUGE_VAL);
    EXPECT_TRUE(ParseFieldNumber("-1e-999", v));
    EXPECT_EQ(v, 0);
    for (const char* bad : {"", " ", "-", "+.", "1.2.3", "1 2", "1e+", "1\t", "1e5x"}) {
        EXPECT_FALSE(ParseFieldNumber(bad, v)) << bad;
    }
}

TEST_F(Fields, DatesAreStoredAndRead) {
    TgsDBFDate& dates = TgsDBFDate::Instance();
    EXPECT_EQ(dates.BaseDay(), 2415019);
    t->PutText(5, "20240229");
    const int32_t leap = t->GetDate(5);
    EXPECT_EQ(leap, 2415019 + TgsDBFDate::DayCount(2024, 2, 29));
    EXPECT_EQ(dates.JulianToStorage(leap), "20240229");
    t->PutText(5, "");
    EXPECT_EQ(t->GetDate(5), 0);
    t->PutText(5, "00000000");
    EXPECT_EQ(t->GetDate(5), 0);
    t->PutText(5, "20230230");
    EXPECT_EQ(t->GetDate(5), 2415019);
    t->PutDate(5, 0);
    EXPECT_EQ(Raw(5), "        ");
    EXPECT_FALSE(t->PutDate(1, leap));  // not a date field: nothing stored
    EXPECT_EQ(ErrorOf([&] { t->PutDate(5, -1); }), "dBase field is of incorrect type - ");
    t->PutText(5, "garbage!");
    EXPECT_EQ(ErrorOf([&] { t->GetDate(5); }),
              "dBase field is of incorrect type - Invalid date in field f->D (garbage!)");
    EXPECT_EQ(dates.JulianFromText("        "), 0);
    EXPECT_EQ(TgsDBFDate::DayCount(1980, 1, 1) + 2415019, 2444240);
}

TEST_F(Fields, DatesInTheLocaleFormat) {
    platform::Locale loc;
    loc.shortDateFormat = "dd.MM.yy";
    platform::Locale old = platform::SetLocale(loc);
    auto oldClock = platform::SetClock(std::make_shared<platform::FixedClock>(
        platform::DateTime{2026, 12, 8, 10, 0, 0, 0}));
    TgsDBFDate& dates = TgsDBFDate::Instance();
    int32_t day = dates.JulianFromText("20240229");
    EXPECT_EQ(dates.JulianToDisplay(day), "29.02.2024");
    EXPECT_EQ(dates.JulianFromText("29.02.24"), day);
    EXPECT_EQ(dates.JulianFromText("29.02.2024"), day);
    EXPECT_EQ(dates.JulianToday(), dates.JulianFromText("20261208"));
    EXPECT_THROW(dates.JulianFromText("31.02.2024"), EConvertError);
    EXPECT_THROW(dates.JulianFromText("1.2"), EConvertError);
    t->PutFromText(5, "01.03.24");
    EXPECT_EQ(Raw(5), "20240301");
    EXPECT_EQ(t->GetDisplayText(5), "01.03.2024");
    loc.shortDateFormat = "M/d/yyyy";
    platform::SetLocale(loc);
    EXPECT_EQ(dates.JulianToDisplay(day), "2/29/2024");
    EXPECT_EQ(dates.JulianFromText("2/29/2024"), day);
    EXPECT_EQ(dates.JulianToDisplay(0), "");
    int y, m, d;
    dates.JulianSplit(day, y, m, d);
    EXPECT_EQ(y * 10000 + m * 100 + d, 20240229);
    platform::SetLocale(old);
    platform::SetClock(oldClock);
}

TEST_F(Fields, Logicals) {
    for (const char* yes : {"t", "Y", "j", "T", "y", "J"}) {
        t->PutText(6, yes);
        EXPECT_TRUE(t->GetLogical(6)) << yes;
    }
    for (const char* no : {"F", "N", "?", " "}) {
        t->PutText(6, no);
        EXPECT_FALSE(t->GetLogical(6)) << no;
    }
    t->PutLogical(6, true);
    EXPECT_EQ(Raw(6), "T");
    t->PutLogical(6, false);
    EXPECT_EQ(Raw(6), "F");
    EXPECT_EQ(ErrorOf([&] { t->PutLogical(1, true); }), "dBase field is of incorrect type - ");
}

TEST_F(Fields, LookupByName) {
    EXPECT_EQ(t->FieldNumber("n62  "), 3);
    EXPECT_EQ(t->FieldNumber("NOPE"), 0);
    EXPECT_EQ(t->FieldNumber("LONGC-TOO-LONG-NAME"), 0);
    EXPECT_EQ(ErrorOf([&] { t->GetTextByName("nope"); }), "dBase field name is invalid - nope");
    EXPECT_EQ(ErrorOf([&] { t->GetDateByName("c5"); }), "dBase field is of incorrect type - c5");
    EXPECT_EQ(ErrorOf([&] { t->GetLogicalByName("D"); }), "dBase field is of incorrect type - D");
    EXPECT_EQ(ErrorOf([&] { t->GetNumberByName("L"); }), "dBase field is of incorrect type - L");
    EXPECT_NO_THROW(t->GetNumberByName("M"));
    // Storing by name names the field whose type does not fit, as reading does.
    EXPECT_EQ(ErrorOf([&] { t->PutNumberByName("c5", 1); }), "dBase field is of incorrect type - c5");
    EXPECT_EQ(ErrorOf([&] { t->PutNumberByName("D", 1); }), "dBase field is of incorrect type - D");
    EXPECT_EQ(ErrorOf([&] { t->PutNumberByName("nope", 1); }), "dBase field name is invalid - nope");
    EXPECT_EQ(t->FieldName(8), "LONGC");
    EXPECT_EQ(t->FieldType(7), 'M');
    EXPECT_EQ(t->FieldDecimals(3), 2);
    EXPECT_EQ(t->FieldDecimals(1), 0);
    EXPECT_EQ(t->FieldLength(8), 300);
    EXPECT_EQ(t->FieldOffset(2), 6);
    EXPECT_EQ(t->FieldType(0), '\0');
    EXPECT_EQ(t->FieldName(11), "");
}

TEST_F(Fields, DisplayTexts) {
    t->PutText(7, "0");
    EXPECT_EQ(t->GetDisplayText(7), "---memo---");
    t->PutText(7, "12");
    EXPECT_EQ(t->GetDisplayText(7), "---MEMO---");
    t->PutText(3, "");
    EXPECT_EQ(t->GetDisplayText(3), "0.00");
    t->PutText(3, "  1.25");
    EXPECT_EQ(t->GetDisplayText(3), "1.25");
    t->PutText(6, "y");
    EXPECT_EQ(t->GetDisplayText(6), "T");
    t->PutText(1, "ab");
    EXPECT_EQ(t->GetDisplayText(1), "ab");
    t->PutText(5, "");
    EXPECT_EQ(t->GetDisplayText(5), "");
}

TEST_F(Fields, PutFromTextConvertsByType) {
    EXPECT_TRUE(t->PutFromText(2, "42  "));
    EXPECT_EQ(Raw(2), "   42");
    EXPECT_TRUE(t->PutFromText(2, ""));
    EXPECT_EQ(Raw(2), "    0");
    EXPECT_EQ(ErrorOf([&] { t->PutFromText(2, "4x"); }), "dBase field is of incorrect type - ");
    EXPECT_TRUE(t->PutFromText(9, "abc"));  // F fields take the text unchanged
    EXPECT_EQ(Raw(9), "     abc");
    EXPECT_TRUE(t->PutFromText(1, "xy"));
    EXPECT_EQ(Raw(1), "xy   ");
    t->PutFromText(5, "20240101");
    EXPECT_EQ(Raw(5), "20240101");
}

TEST_F(Fields, MemosThroughTheTable) {
    std::string text(1000, 'q');
    ASSERT_TRUE(t->MemoWrite(7, text.data(), static_cast<int32_t>(text.size())));
    EXPECT_GT(t->GetNumber(7), 0);
    EXPECT_EQ(t->MemoSize(7), 1000);
    char small[10];
    EXPECT_EQ(t->MemoRead(7, small, 10), 10);
    EXPECT_EQ(std::string(small, 10), std::string(10, 'q'));
    t->AddRecord();
    t->GoRecord(1);
    EXPECT_EQ(t->MemoText(7), text);
    // No memo: an empty write leaves the field blank.
    t->BlankRecord();
    ASSERT_TRUE(t->MemoWrite(7, "", 0));
    EXPECT_EQ(Raw(7), std::string(10, ' '));
    EXPECT_EQ(t->MemoSize(7), 0);
    EXPECT_EQ(t->MemoFile(1), nullptr);
    EXPECT_NE(t->MemoFile(7), nullptr);
}

TEST(FieldsFox, BinaryFieldsOfVersion30) {
    TempDir dir;
    std::string p = dir.File("v.dbf");
    CreateDBFTable(p, 0x30, {{"I", 'I', 0, 0}, {"B", 'B', 0, 0}, {"Y", 'Y', 0, 0}, {"T", 'T', 0, 0},
                             {"M", 'M', 0, 0}, {"N", 'N', 5, 0}});
    auto t = GSO_dBHandler::Open(p, true, false);
    t->BlankRecord();
    EXPECT_EQ(t->GetNumber(1), 0);
    t->PutNumber(1, -123456789.9);
    EXPECT_EQ(t->GetNumber(1), -123456789);
    t->PutNumber(2, 3.25);
    EXPECT_EQ(t->GetNumber(2), 3.25);
    t->PutNumber(3, 12.3456);
    EXPECT_DOUBLE_EQ(t->GetNumber(3), 12.3456);
    EXPECT_EQ(t->GetDisplayText(3), "12.3456");
    const double stamp = (2460000.0 - 1721425.0) * 86400000.0 + 3723000.0;  // 01:02:03
    t->PutNumber(4, stamp);
    EXPECT_EQ(t->GetNumber(4), stamp);
    EXPECT_NE(t->GetDisplayText(4).find("01:02:03"), std::string::npos);
    EXPECT_THROW(t->PutNumber(1, 3e9), ERidedezError);
    EXPECT_EQ(t->GetNumber(1), -123456789);  // nothing stored
    // Four blanks in a date-time read as the base day and midnight.
    std::memset(t->CurrentBuffer() + t->FieldOffset(4), ' ', 8);
    EXPECT_EQ(t->GetNumber(4), (2415019.0 - 1721425.0) * 86400000.0);
    // Date-times outside any calendar show nothing rather than a made-up day.
    const int32_t wild[2] = {INT32_MIN, 12};
    std::memcpy(t->CurrentBuffer() + t->FieldOffset(4), wild, 8);
    EXPECT_EQ(t->GetDisplayText(4), "");
    const int32_t badTime[2] = {2460000, 90000000};
    std::memcpy(t->CurrentBuffer() + t->FieldOffset(4), badTime, 8);
    EXPECT_EQ(t->GetDisplayText(4), "");
    EXPECT_EQ(t->GetDisplayText(5), "---memo---");
    std::string memo = "fox memo";
    t->MemoWrite(5, memo.data(), static_cast<int32_t>(memo.size()));
    EXPECT_EQ(t->GetDisplayText(5), "---MEMO---");
    EXPECT_EQ(t->MemoText(5), memo);
    EXPECT_EQ(t->MemoFile(2), nullptr);  // B holds a double here, not a memo
}

}  // namespace

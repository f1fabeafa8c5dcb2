// The field codec: the one place where field bytes become values, for the table object
// and the dataset alike.

#include <gtest/gtest.h>

#include <string>

#include "engine/DBFDate.h"
#include "engine/FieldCodec.h"
#include "engine/platform/Locale.h"

namespace {

std::string Decimal(const std::string& field) {
    char out[fieldcodec::kDecimalTextSize];
    return std::string(out, fieldcodec::DecimalText(field.data(), field.size(), out));
}

std::string Integer(const std::string& field) {
    char out[fieldcodec::kDecimalTextSize];
    return std::string(out, fieldcodec::IntegerText(field.data(), field.size(), out));
}

size_t Trimmed(const std::string& field) { return fieldcodec::TrimmedLength(field.data(), field.size()); }

bool Logical(const std::string& field) { return fieldcodec::Logical(field.data(), field.size()); }

}  // namespace

TEST(FieldCodec, RawTextStopsAtTheFirstNulAndTrimmingDropsTrailingBlanks) {
    using std::string;
    EXPECT_EQ(fieldcodec::RawLength("ab\0cd", 5), 2u);
    EXPECT_EQ(fieldcodec::RawLength("abcde", 5), 5u);
    EXPECT_EQ(Trimmed("ab   "), 2u);
    EXPECT_EQ(Trimmed("  ab "), 4u);  // leading blanks stay
    EXPECT_EQ(Trimmed(string("ab \0 x  ", 8)), 2u);
    EXPECT_EQ(Trimmed(string(40, ' ')), 0u);
    // Long fields take the other search: a NUL far in, after blank-padded text.
    string longField = string(50, 'x') + string(10, ' ') + '\0' + string(20, 'y');
    EXPECT_EQ(fieldcodec::RawLength(longField.data(), longField.size()), 60u);
    EXPECT_EQ(Trimmed(longField), 50u);
    EXPECT_EQ(Trimmed(string(33, 'z') + string(31, ' ')), 33u);
}

TEST(FieldCodec, LogicalsAreTheTextsThatOccurInTtYyJj) {
    for (const char* yes : {"T", "t", "Y", "y", "J", "j", "Tt", "yJ", "TtYyJj"}) EXPECT_TRUE(Logical(yes)) << yes;
    for (const char* no : {"F", "N", "?", " ", "", "TX", "T ", "jT"}) EXPECT_FALSE(Logical(no)) << no;
    EXPECT_FALSE(Logical(std::string(1, '\0')));
    EXPECT_TRUE(Logical(std::string("Y\0zz", 4)));  // the raw text ends at the NUL
}

TEST(FieldCodec, NumbersHeldAsText) {
    double v = -1;
    EXPECT_TRUE(fieldcodec::TextNumber("          ", 10, v));
    EXPECT_EQ(v, 0);
    EXPECT_TRUE(fieldcodec::TextNumber("   12.50", 8, v));
    EXPECT_EQ(v, 12.5);
    EXPECT_FALSE(fieldcodec::TextNumber("  1,5", 5, v));
    // Only the first 31 characters of the trimmed text count.
    const std::string longNumber = std::string(31, '1') + "x";
    EXPECT_TRUE(fieldcodec::TextNumber(longNumber.data(), longNumber.size(), v));
    EXPECT_DOUBLE_EQ(v, 1.1111111111111111e30);
}

TEST(FieldCodec, BinaryFormsOfFoxProTables) {
    const uint8_t i[4] = {0xFE, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(fieldcodec::BinaryNumber('I', i, 4), -2);
    EXPECT_EQ(fieldcodec::BinaryNumber('I', i, 3), 0);  // too short
    uint8_t y[8];
    const int64_t cents = 123456;  // 12.3456
    std::memcpy(y, &cents, 8);
    EXPECT_DOUBLE_EQ(fieldcodec::BinaryNumber('Y', y, 8), 12.3456);
    uint8_t t[8] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
    EXPECT_EQ(fieldcodec::BinaryNumber('T', t, 8), (gsBaseJulianDay - gsDateTimeJulianOffset) * 86400000.0);
    EXPECT_TRUE(fieldcodec::IsBinaryType('M'));
    EXPECT_FALSE(fieldcodec::IsBinaryType('N'));
    EXPECT_FALSE(fieldcodec::IsBinaryType('\0'));
}

TEST(FieldCodec, DecimalTextComesStraightFromTheDigits) {
    EXPECT_EQ(Decimal("   1234.50"), "1234.5");
    EXPECT_EQ(Decimal("     12.00"), "12");
    EXPECT_EQ(Decimal("  007.0500"), "7.05");
    EXPECT_EQ(Decimal("       .5 "), "0.5");
    EXPECT_EQ(Decimal("      -.25"), "-0.25");
    EXPECT_EQ(Decimal("      0.00"), "0");
    EXPECT_EQ(Decimal("        +5"), "5");
    EXPECT_EQ(Decimal("123456789012345"), "123456789012345");
    // The text is read up to its 31st character: beyond, the cut number is another one.
    EXPECT_EQ(Decimal(std::string(28, ' ') + "1.5"), "1.5");
    // Not exact from the digits, or not a plain decimal: the caller converts.
    for (const std::string& other :
         {std::string("     -0.00"), std::string("1234567890123456"), std::string("0.00001"), std::string("1e3"),
          std::string("      "), std::string("."), std::string("-"), std::string("1 2"), std::string("1,5"),
          std::string("12\0  ", 5), std::string(29, ' ') + "1.5", std::string("1.2.3")}) {
        EXPECT_EQ(Decimal(other), "") << other;
    }
}

TEST(FieldCodec, IntegerTextOnlyForWholeNumbersOfNineDigits) {
    EXPECT_EQ(Integer("  42"), "42");
    EXPECT_EQ(Integer("  -0"), "0");
    EXPECT_EQ(Integer("0042"), "42");
    EXPECT_EQ(Integer(" -7.00"), "-7");
    EXPECT_EQ(Integer("999999999"), "999999999");
    EXPECT_EQ(Integer("1234567890"), "");  // may not fit: the caller checks the range
    EXPECT_EQ(Integer("  2.5"), "");       // rounded by the caller
    EXPECT_EQ(Integer("  - "), "");
}

TEST(FieldCodec, CalendarDatesAreEightDigitsOfARealDay) {
    int y = 0, m = 0, d = 0;
    EXPECT_TRUE(fieldcodec::CalendarDate("20240229", 8, y, m, d));
    EXPECT_EQ(y * 10000 + m * 100 + d, 20240229);
    EXPECT_FALSE(fieldcodec::CalendarDate("20230229", 8, y, m, d));
    EXPECT_FALSE(fieldcodec::CalendarDate("00000000", 8, y, m, d));
    EXPECT_FALSE(fieldcodec::CalendarDate("        ", 8, y, m, d));
    EXPECT_FALSE(fieldcodec::CalendarDate("2024022", 7, y, m, d));
    EXPECT_FALSE(fieldcodec::CalendarDate("2024-1-1", 8, y, m, d));
    EXPECT_TRUE(fieldcodec::CalendarDate("19991231  ", 10, y, m, d));
    EXPECT_FALSE(fieldcodec::CalendarDate("19991231 x", 10, y, m, d));
}

TEST(FieldCodec, DatesShownFromTheirDigitsMatchTheCalendarDisplayInEveryFormat) {
    const platform::Locale saved = platform::CurrentLocale();
    const TgsDBFDate& dates = TgsDBFDate::Instance();
    for (const char* format : {"dd.MM.yyyy", "M/d/yy", "d-M-y", "yyyy/MM/dd", "dd MMM yy", "y"}) {
        platform::Locale loc = saved;
        loc.shortDateFormat = format;
        platform::SetLocale(loc);
        for (const char* digits : {"20240229", "19990101", "00011231", "20051009", "09990515"}) {
            int y, m, d;
            ASSERT_TRUE(fieldcodec::CalendarDate(digits, 8, y, m, d)) << digits;
            char fromDigits[TgsDBFDate::kDisplaySize];
            const std::string shown(fromDigits, dates.DigitsToDisplay(digits, fromDigits));
            EXPECT_EQ(shown, dates.DateToDisplay(y, m, d)) << format << " " << digits;
        }
    }
    platform::SetLocale(saved);
    char out[TgsDBFDate::kDisplaySize];
    EXPECT_EQ(std::string(out, dates.DigitsToDisplay("20240301", out)), dates.DateToDisplay(2024, 3, 1));
}

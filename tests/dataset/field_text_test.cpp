// AsString writes a data field's text straight from the record image, without building
// the field's value. These tests hold it to the value's own text (ValueToText of Value())
// on ordinary and damaged contents, in every state that reads fields, and in other
// locales: the two must give the same text or raise the same error.

#include "DsHelpers.h"
#include "dataset/DateTime.h"
#include "engine/platform/Locale.h"

#include <random>

using dstest::ErrorText;

namespace {

// AsString and the value's text of `f`, or the error each raised.
std::pair<std::string, std::string> BothTexts(const TField& f) {
    std::string direct, viaValue;
    const std::string directError = ErrorText([&] { direct = f.AsString(); });
    const std::string valueError = ErrorText([&] { viaValue = ValueToText(f.Value()); });
    return {directError.empty() ? direct : "error: " + directError,
            valueError.empty() ? viaValue : "error: " + valueError};
}

// Walks the whole dataset comparing every field; answers the number of comparisons.
int CompareEveryField(TRidedezDataSet& ds) {
    int compared = 0;
    for (ds.First(); !ds.Eof(); ds.Next()) {
        for (int i = 0; i < ds.FieldCount(); ++i) {
            auto [direct, viaValue] = BothTexts(ds.Field(i));
            EXPECT_EQ(direct, viaValue) << ds.Field(i).FieldName() << " of record " << ds.RecNo();
            ++compared;
        }
    }
    return compared;
}

const std::vector<std::string> kDefs = {"S:C:8", "SM:N:4", "IN:N:12", "FL:N:8:2", "LONG:N:20:3", "DT:D", "LG:L"};

// Rows of raw field texts; the table object places them (numbers right-aligned).
std::vector<std::vector<std::string>> Rows() {
    using std::string;
    return {
        {"ab", "  -7", "42", "  12.25", "1.5", "20240229", "T"},
        {"", "", "", "", "", "", ""},
        {"  lead", "9999", "-2147483648", "-0.00", "12345678901234567.123", "00000000", "n"},
        {string("ab\0cd", 5), "abc", "2147483648", "   .5", "1e3", "        ", "?"},
        {"x", "1.5", "2.5", "1,5", "-1.25E+2", "20230229", "J"},
        {"\xC0\xE1", "-1", " 1e3", "1.23e2", "0.000000000000000001", "2024-1-1", string(1, '\0')},
        {"12345678", "   1", "9999999999", "99999.99", "   -12.5", string("2024\0" "101", 8), "y"},
        {"tab\t", "  - ", "007", "1.", "+3", "19000101", "F"},
    };
}

// Table `name` in `dir` with the given fields and raw rows, opened in `ds`.
void OpenWith(TRidedezDataSet& ds, const testutil::TempDir& dir, const std::string& name, uint8_t version,
              const std::vector<std::string>& defs, const std::vector<std::vector<std::string>>& rows) {
    CreateDBFTable(dir.File(name), version, dstest::Defs(defs));
    dstest::AppendRaw(dir.File(name), rows);
    ds.SetDatabaseName(dir.Path());
    ds.SetTableName(name);
    ds.Open();
}

TEST(FieldText, AgreesWithTheValuesTextOnEveryKindOfContents) {
    testutil::TempDir dir;
    TRidedezDataSet ds;
    ds.SetTranslateASCII(false);
    OpenWith(ds, dir, "V.DBF", 0x03, kDefs, Rows());
    EXPECT_EQ(CompareEveryField(ds), static_cast<int>(Rows().size() * kDefs.size()));

    // A few texts spelt out, so that agreeing on a wrong text cannot pass.
    ds.First();
    EXPECT_EQ(ds.FieldByName("FL").AsString(), "12.25");
    EXPECT_EQ(ds.FieldByName("DT").AsString(), "29.02.2024");
    EXPECT_EQ(ds.FieldByName("LG").AsString(), "True");
    EXPECT_EQ(ds.FieldByName("SM").AsString(), "-7");
    ds.Next();
    ds.Next();
    EXPECT_EQ(ds.FieldByName("IN").AsString(), "-2147483648");
    EXPECT_EQ(ds.FieldByName("FL").AsString(), "-0");
    EXPECT_EQ(ds.FieldByName("LONG").AsString(), "1.23456789012346e+16");
    ds.Next();
    EXPECT_EQ(ds.FieldByName("S").AsString(), "ab");  // cut at the NUL
    EXPECT_EQ(ds.FieldByName("LONG").AsString(), "1000");
    EXPECT_NE(ErrorText([&] { ds.FieldByName("SM").AsString(); }).find("Invalid number"), std::string::npos);
    EXPECT_EQ(ErrorText([&] { ds.FieldByName("IN").AsString(); }), "Range check error");
}

TEST(FieldText, TranslatedTextIsTheSameEitherWay) {
    testutil::TempDir dir;
    TRidedezDataSet ds;
    // OEM bytes of Cyrillic and of letters 866 lacks, as the program stores Kazakh names.
    OpenWith(ds, dir, "K.DBF", 0x03, {"NAME:C:20"}, {{"\x80\xA0\xE0\xF0\xB0\xDB\xFF"}, {"Plain"}});
    ASSERT_TRUE(ds.TranslateASCII());
    CompareEveryField(ds);
    ds.First();
    EXPECT_EQ(ds.Field(0).AsString(), ds.Translate("\x80\xA0\xE0\xF0\xB0\xDB\xFF", false));
    EXPECT_EQ(ds.Field(0).AsString().substr(0, 3), "\xC0\xE0\xF0");
}

TEST(FieldText, FoxProFieldsAndMemosAgree) {
    testutil::TempDir dir;
    CreateDBFTable(dir.File("F.DBF"), 0x30, dstest::Defs({"I:I", "B:B", "T:T", "N:N:6:1", "M:M"}));
    TRidedezDataSet ds;
    ds.SetDatabaseName(dir.Path());
    ds.SetTableName("F.DBF");
    ds.Open();
    ds.AppendRecord({Integer(-5), Float(2.75), DateTimeOf(EncodeDate(2024, 3, 15) + 0.25), Float(-3.5), Text("memo text")});
    ds.AppendRecord({Null(), Null(), Null(), Null(), Null()});
    EXPECT_EQ(CompareEveryField(ds), 10);
    ds.First();
    EXPECT_EQ(ds.FieldByName("I").AsString(), "-5");
    // B holds a double in these tables, not a memo block.
    EXPECT_EQ(ds.FieldByName("B").DataType(), TFieldType::ftFloat);
    EXPECT_EQ(ds.FieldByName("B").AsString(), "2.75");
    EXPECT_EQ(ds.FieldByName("M").AsString(), "memo text");
    EXPECT_EQ(ds.FieldByName("T").AsString(), "15.03.2024 06:00:00");
}

TEST(FieldText, EditingCalculatingAndFilteringReadTheirOwnBuffers) {
    testutil::TempDir dir;
    CreateDBFTable(dir.File("E.DBF"), 0x03, dstest::Defs({"S:C:8", "FL:N:8:2", "DT:D"}));
    dstest::AppendRaw(dir.File("E.DBF"), {{"one", "1.5", "20240101"}, {"two", "2.5", "20240202"}});
    TRidedezDataSet ds;
    ds.SetDatabaseName(dir.Path());
    ds.SetTableName("E.DBF");
    ds.SetTranslateASCII(false);
    TField& calc = ds.AddCalculatedField("C", TFieldType::ftString, 30);
    ds.AddField("S", TFieldType::ftString, 8);
    ds.AddField("FL", TFieldType::ftFloat);
    ds.AddField("DT", TFieldType::ftDate);
    std::vector<std::string> seenInCalc, seenInFilter;
    ds.onCalcFields = [&](TDataSet& d) {
        auto [direct, viaValue] = BothTexts(d.FieldByName("S"));
        EXPECT_EQ(direct, viaValue);
        seenInCalc.push_back(direct);
        d.FieldByName("C").SetAsString(direct + "/" + d.FieldByName("DT").AsString());
    };
    ds.onFilterRecord = [&](TDataSet& d, bool& accept) {
        auto [direct, viaValue] = BothTexts(d.FieldByName("FL"));
        EXPECT_EQ(direct, viaValue);
        seenInFilter.push_back(direct);
        accept = direct != "1.5";
    };
    ds.Open();
    EXPECT_EQ(calc.AsString(), "one/01.01.2024");
    ds.Edit();
    ds.FieldByName("S").SetAsString("changed");
    ds.FieldByName("FL").SetAsFloat(7.25);
    EXPECT_EQ(ds.FieldByName("S").AsString(), "changed");
    EXPECT_EQ(ds.FieldByName("FL").AsString(), "7.25");
    {
        auto [direct, viaValue] = BothTexts(ds.FieldByName("S"));
        EXPECT_EQ(direct, viaValue);
    }
    ds.Cancel();
    EXPECT_EQ(ds.FieldByName("S").AsString(), "one");
    EXPECT_EQ(ds.FieldByName("FL").AsString(), "1.5");
    ds.SetFiltered(true);
    EXPECT_EQ(ds.FieldByName("S").AsString(), "two");
    EXPECT_EQ(seenInFilter.front(), "1.5");
    EXPECT_EQ(seenInCalc.back(), "two");
}

TEST(FieldText, OtherLocalesAgreeToo) {
    platform::Locale other;
    other.shortDateFormat = "yyyy/M/d";
    other.dateSeparator = '/';
    other.decimalSeparator = ',';
    const platform::Locale saved = platform::SetLocale(other);
    struct Restore {
        platform::Locale l;
        ~Restore() { platform::SetLocale(l); }
    } restore{saved};
    testutil::TempDir dir;
    TRidedezDataSet ds;
    OpenWith(ds, dir, "V.DBF", 0x03, kDefs, Rows());
    CompareEveryField(ds);
    ds.First();
    EXPECT_EQ(ds.FieldByName("DT").AsString(), "2024/2/29");
    EXPECT_EQ(ds.FieldByName("FL").AsString(), "12,25");
}

}  // namespace

namespace {

// Random field contents from the characters that matter to the readers: digits, blanks,
// signs, points, exponents, NULs, letters and high bytes.
TEST(FieldText, RandomContentsAgree) {
    testutil::TempDir dir;
    static const char kAlphabet[] = "0123456789      .-+eEtTyYjJnN?\xC0\xFF";
    std::mt19937 rng(11);
    std::vector<std::vector<std::string>> rows;
    for (int r = 0; r < 3000; ++r) {
        std::vector<std::string> row;
        for (size_t f = 0; f < kDefs.size(); ++f) {
            std::string text(rng() % 12, ' ');
            for (char& c : text) c = rng() % 40 == 0 ? '\0' : kAlphabet[rng() % (sizeof kAlphabet - 1)];
            if (f == 5 && rng() % 2) text = std::to_string(19000101 + rng() % 1300000);  // near-dates
            row.push_back(text);
        }
        rows.push_back(row);
    }
    TRidedezDataSet ds;
    OpenWith(ds, dir, "R.DBF", 0x03, kDefs, rows);
    EXPECT_EQ(CompareEveryField(ds), static_cast<int>(rows.size() * kDefs.size()));

    // The dataset reads the record bytes itself; the values are still the table object's.
    auto t = GSO_dBHandler::Open(dir.File("R.DBF"), false, true);
    for (ds.First(); !ds.Eof(); ds.Next()) {
        t->GoRecord(ds.RecNo());
        for (int i = 0; i < ds.FieldCount(); ++i) {
            TField& f = ds.Field(i);
            const int n = f.FieldNo();
            std::string expected, got;
            switch (f.DataType()) {
                case TFieldType::ftString: {
                    expected = t->GetText(n);
                    expected.erase(expected.find_last_not_of(' ') + 1);
                    expected = ds.Translate(expected, false);
                    got = f.AsString();
                    break;
                }
                case TFieldType::ftBoolean:
                    expected = t->GetLogical(n) ? "1" : "0";
                    got = f.AsBoolean() ? "1" : "0";
                    break;
                case TFieldType::ftFloat: {
                    double tv = 0, dv = 0;
                    expected = ErrorText([&] { tv = t->GetNumber(n); });
                    got = ErrorText([&] { dv = f.AsFloat(); });
                    if (expected.empty()) expected = std::to_string(tv);
                    if (got.empty()) got = std::to_string(dv);
                    break;
                }
                case TFieldType::ftSmallint:
                case TFieldType::ftInteger: {
                    double tv = 0;
                    int32_t dv = 0;
                    expected = ErrorText([&] { tv = RoundHalfEven(t->GetNumber(n)); });
                    got = ErrorText([&] { dv = f.AsInteger(); });
                    if (expected.empty()) {
                        if (!(tv >= INT32_MIN && tv <= INT32_MAX)) {
                            expected = "Range check error";
                        } else {
                            // Small integers keep the low 16 bits, as the field kind holds them.
                            int64_t v = static_cast<int32_t>(tv);
                            if (f.DataType() == TFieldType::ftSmallint) v = static_cast<int16_t>(v);
                            expected = std::to_string(v);
                        }
                    }
                    if (got.empty()) got = std::to_string(dv);
                    break;
                }
                default: continue;
            }
            EXPECT_EQ(got, expected) << f.FieldName() << " of record " << ds.RecNo();
        }
    }
}

}  // namespace

// The index sorter: order of each key type, ties, unique retrieval, many runs, errors.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "engine/Exception.h"
#include "index/expr/TgsVariant.h"
#include "index/sort/TgsSort.h"

namespace {

std::vector<std::pair<double, int32_t>> DrainNumbers(TgsSort& s) {
    std::vector<std::pair<double, int32_t>> out;
    TgsVariant k;
    int32_t r = 0;
    while (s.NextKey(k, r)) {
        EXPECT_EQ(k.Type(), TgsVariantType::Number);
        out.emplace_back(k.AsNumber(), r);
    }
    return out;
}

std::vector<std::pair<std::string, int32_t>> DrainTexts(TgsSort& s) {
    std::vector<std::pair<std::string, int32_t>> out;
    TgsVariant k;
    int32_t r = 0;
    while (s.NextKey(k, r)) out.emplace_back(k.AsText(), r);
    return out;
}

void AddNumber(TgsSort& s, double v, int32_t r) {
    TgsVariant k;
    k.SetNumber(v);
    s.AddKey(k, r);
}

void AddText(TgsSort& s, const std::string& v, int32_t r) {
    TgsVariant k;
    k.SetText(v);
    s.AddKey(k, r);
}

void ExpectError(const std::function<void()>& f, const std::string& text) {
    try {
        f();
        ADD_FAILURE() << "no error, expected " << text;
    } catch (const ERidedezError& e) {
        EXPECT_EQ(std::string(e.what()), text);
    }
}

}  // namespace

TEST(Sort, NumbersInNumericOrderIncludingNegatives) {
    TgsSort s(9, false);
    AddNumber(s, -1.5, 1);
    AddNumber(s, 0, 2);
    AddNumber(s, 2, 3);
    AddNumber(s, -3, 4);
    AddNumber(s, -0.0, 5);
    AddNumber(s, 1e300, 6);
    AddNumber(s, -1e-300, 7);
    auto got = DrainNumbers(s);
    std::vector<std::pair<double, int32_t>> want = {{-3, 4}, {-1.5, 1}, {-1e-300, 7}, {0, 2},
                                                    {0, 5},  {2, 3},    {1e300, 6}};
    EXPECT_EQ(got, want);
}

TEST(Sort, EqualKeysComeBackByRecordNumberAndUniqueKeepsTheLowest) {
    for (bool unique : {false, true}) {
        TgsSort s(10, unique);
        AddText(s, "SMITH", 300);
        AddText(s, "JONES", 7);
        AddText(s, "SMITH", 2);
        AddText(s, "SMITH   ", 70000);  // trailing blanks do not count
        AddText(s, "SMITHS", 1);
        auto got = DrainTexts(s);
        std::vector<std::pair<std::string, int32_t>> want;
        if (unique) {
            want = {{"JONES", 7}, {"SMITH", 2}, {"SMITHS", 1}};
        } else {
            want = {{"JONES", 7}, {"SMITH", 2}, {"SMITH", 300}, {"SMITH", 70000}, {"SMITHS", 1}};
        }
        EXPECT_EQ(got, want) << "unique " << unique;
    }
}

TEST(Sort, TextOrderIsUnsignedBytesWithShorterKeysFirst) {
    TgsSort s(10, false);
    AddText(s, std::string("A\xFF", 2), 1);
    AddText(s, std::string("A\x00", 2), 2);
    AddText(s, std::string("A\x01", 2), 3);
    AddText(s, "A", 0x41424344);  // its record number bytes must not mix with key bytes
    AddText(s, "", 5);
    AddText(s, "B", 6);
    auto got = DrainTexts(s);
    std::vector<std::pair<std::string, int32_t>> want = {
        {"", 5}, {"A", 0x41424344}, {std::string("A\x00", 2), 2}, {std::string("A\x01", 2), 3},
        {std::string("A\xFF", 2), 1}, {"B", 6}};
    EXPECT_EQ(got, want);
}

TEST(Sort, DatesInDayOrder) {
    TgsSort s(9, false);
    int32_t record = 0;
    for (int32_t d : {2460000, 0, 2415019, 2460000, 1}) {
        TgsVariant k;
        k.SetDate(d);
        s.AddKey(k, ++record);
    }
    TgsVariant k;
    int32_t r = 0;
    std::vector<int32_t> days;
    while (s.NextKey(k, r)) days.push_back(k.AsDate());
    EXPECT_EQ(days, (std::vector<int32_t>{0, 1, 2415019, 2460000, 2460000}));
}

TEST(Sort, ManyRunsMergeToTheSameOrderAsOneRun) {
    std::mt19937 rng(7);
    std::vector<std::pair<std::string, int32_t>> model;
    TgsSort small(20, false, 1);  // one node page: the trie fills often
    for (int32_t r = 1; r <= 20000; ++r) {
        std::string key;
        int len = 1 + static_cast<int>(rng() % 12);
        for (int i = 0; i < len; ++i) key.push_back(static_cast<char>('A' + rng() % 6));
        AddText(small, key, r);
        model.emplace_back(key, r);
    }
    EXPECT_GT(small.RunCount(), 5u);
    EXPECT_EQ(small.PeakNodePages(), 1u);
    std::sort(model.begin(), model.end());
    EXPECT_EQ(DrainTexts(small), model);
}

TEST(Sort, UniqueAcrossRuns) {
    TgsSort s(10, true, 1);
    for (int32_t r = 1; r <= 30000; ++r) AddText(s, std::to_string(r % 1000), r);
    EXPECT_GT(s.RunCount(), 1u);
    auto got = DrainTexts(s);
    ASSERT_EQ(got.size(), 1000u);
    for (const auto& [key, rec] : got) EXPECT_EQ(rec, std::stoi(key) == 0 ? 1000 : std::stoi(key));
}

TEST(Sort, ErrorTexts) {
    ExpectError([] { TgsSort s(241, false); }, "Sort key length greater than 240 bytes");
    TgsSort s(5, false);
    ExpectError([&] { AddText(s, "123456", 1); }, "Sort key length greater than 240 bytes");
    TgsVariant logical;
    logical.SetLogical(true);
    ExpectError([&] { s.AddKey(logical, 1); }, "Variant type cannot be sorted");
    AddText(s, "ABC", 1);
    ExpectError([&] { AddNumber(s, 1, 2); }, "Variant types mismatch for compare");
    TgsVariant k;
    int32_t r = 0;
    ASSERT_TRUE(s.NextKey(k, r));
    EXPECT_EQ(k.AsText(), "ABC");
    ExpectError([&] { AddText(s, "X", 3); }, "Cannot add sort keys after beginning retrieval");
    EXPECT_FALSE(s.NextKey(k, r));
}

TEST(Sort, EmptySortGivesNothing) {
    TgsSort s(10, false);
    TgsVariant k;
    int32_t r = 0;
    EXPECT_FALSE(s.NextKey(k, r));
}

TEST(Sort, KeysSharingTheirLeadingBytesSortByTheRestWithinTheMemoryBound) {
    // Long common beginnings (past the eight bytes compared at once), keys that end where
    // others go on, and the escaped bytes 00h and 01h.
    std::mt19937 rng(11);
    std::vector<std::pair<std::string, int32_t>> model;
    TgsSort s(30, false, 1);
    const std::string stems[] = {"ABCDEFGHIJ", "ABCDEFGH", "ABCDEFG", std::string("ABCDEFGH\x00", 9),
                                 std::string("ABCDEFGH\x01", 9), "ABCDEFGHIJKLMNOP", ""};
    for (int32_t r = 1; r <= 6000; ++r) {
        std::string key = stems[rng() % 7];
        const int extra = static_cast<int>(rng() % 4);
        for (int i = 0; i < extra; ++i) key.push_back(static_cast<char>("\x00\x01" "Az\xFF"[rng() % 5]));
        while (!key.empty() && key.back() == ' ') key.pop_back();
        AddText(s, key, r);
        model.emplace_back(key, r);
    }
    EXPECT_GT(s.RunCount(), 3u);
    EXPECT_EQ(s.PeakNodePages(), 1u);
    std::sort(model.begin(), model.end(), [](const auto& a, const auto& b) {
        const int c = std::memcmp(a.first.data(), b.first.data(), std::min(a.first.size(), b.first.size()));
        if (c != 0) return c < 0;
        if (a.first.size() != b.first.size()) return a.first.size() < b.first.size();
        return a.second < b.second;
    });
    const auto got = DrainTexts(s);
    ASSERT_EQ(got.size(), model.size());
    for (size_t i = 0; i < got.size(); ++i) {
        ASSERT_EQ(got[i], model[i]) << "at " << i;
    }
}

TEST(Sort, OneFullBufferOrdersLikeAComparisonSort) {
    // Enough keys to fill most of the default buffer in one run: distributed by their
    // leading bytes, with repeated values, equal heads and every byte value.
    std::mt19937_64 rng(5);
    TgsSort numbers(20, false);
    std::vector<std::pair<double, int32_t>> numberModel;
    for (int32_t r = 1; r <= 30000; ++r) {
        const double v = r % 7 == 0 ? 42.5 : static_cast<double>(static_cast<int64_t>(rng() % 2000001) - 1000000) / 8.0;
        AddNumber(numbers, v, r);
        numberModel.emplace_back(v, r);
    }
    EXPECT_EQ(numbers.RunCount(), 0u);  // nothing written out before retrieval
    std::sort(numberModel.begin(), numberModel.end());
    EXPECT_EQ(DrainNumbers(numbers), numberModel);
    EXPECT_EQ(numbers.RunCount(), 1u);

    TgsSort texts(20, false);
    std::vector<std::pair<std::string, int32_t>> textModel;
    for (int32_t r = 1; r <= 20000; ++r) {
        std::string key = r % 3 == 0 ? "SAMEHEAD" : "";
        const int extra = static_cast<int>(rng() % 12);
        for (int i = 0; i < extra; ++i) key.push_back(static_cast<char>(rng() % 256));
        while (!key.empty() && key.back() == ' ') key.pop_back();
        AddText(texts, key, r);
        textModel.emplace_back(key, r);
    }
    std::sort(textModel.begin(), textModel.end(), [](const auto& a, const auto& b) {
        const int c = std::memcmp(a.first.data(), b.first.data(), std::min(a.first.size(), b.first.size()));
        if (c != 0) return c < 0;
        if (a.first.size() != b.first.size()) return a.first.size() < b.first.size();
        return a.second < b.second;
    });
    EXPECT_EQ(DrainTexts(texts), textModel);
    EXPECT_EQ(texts.RunCount(), 1u);
}

// The pieces of the run without windows: the arrangement table, the suffix rule, the
// time format, the final message bytes and the scaling table.

#include <gtest/gtest.h>

#include <algorithm>

#include "app/Arrangement.h"
#include "app/Elapsed.h"
#include "app/FinalMessage.h"
#include "app/ScreenScale.h"
#include "app/texts/KazTexts.h"

TEST(Arrangement, EachRowAsTheTableSays) {
    EXPECT_EQ(std::string(ArrangementFor(1).data(), 5), "ACEDB");
    EXPECT_EQ(std::string(ArrangementFor(2).data(), 5), "BAEDC");
    EXPECT_EQ(std::string(ArrangementFor(3).data(), 5), "CBAED");
    EXPECT_EQ(std::string(ArrangementFor(4).data(), 5), "BEDAC");
    EXPECT_EQ(std::string(ArrangementFor(5).data(), 5), "BCDEA");
    for (int pos = 1; pos <= 5; ++pos) {
        auto row = ArrangementFor(pos);
        EXPECT_EQ(row[size_t(pos - 1)], 'A');
        std::sort(row.begin(), row.end());
        EXPECT_EQ(std::string(row.data(), 5), "ABCDE");
    }
    EXPECT_THROW(ArrangementFor(0), std::out_of_range);
    EXPECT_THROW(ArrangementFor(6), std::out_of_range);
}

TEST(FinalMessage, SuffixForEachCount) {
    for (int n : {6, 9, 10, 16, 19, 20, 26, 29, 30}) EXPECT_EQ(FinalSuffixFor(n), kaztexts::kFinalSuffixYna) << n;
    for (int n : {0, 1, 5, 7, 8, 11, 15, 21, 25, 31, 256})
        EXPECT_EQ(FinalSuffixFor(n), kaztexts::kFinalSuffixIne) << n;
}

TEST(FinalMessage, ElapsedTimeFormat) {
    EXPECT_EQ(FormatElapsed(0), "0:00:00");
    EXPECT_EQ(FormatElapsed(307000), "0:05:07");
    EXPECT_EQ(FormatElapsed(307999), "0:05:07");
    EXPECT_EQ(FormatElapsed(3600000 + 59 * 60000 + 59000), "1:59:59");
    EXPECT_EQ(FormatElapsed(int64_t(26) * 3600000), "26:00:00");
    EXPECT_EQ(FormatElapsed(-5000), "0:00:00");
    const platform::DateTime a{2024, 12, 31, 23, 59, 30, 0}, b{2025, 1, 1, 0, 1, 0, 500};
    EXPECT_EQ(MillisecondsOf(b) - MillisecondsOf(a), 90500);
}

TEST(FinalMessage, ThreeLinesOfBytes) {
    const std::string m = FinalMessage(30, 25, 307000);
    EXPECT_EQ(m, std::string("\xD1i\xE7 \xE1\xE5\xF0i\xEB\xE3\xE5\xED 30 \xF1\xBD\xF0\xE0\xBA\xF2\xFB\xBB "
                             "\xE0\xF0\xE0\xF1\xFB\xED\xE0\xED \r25-i\xED\xE5 \xE4\xBD\xF0\xFB\xF1 \xE6\xE0\xF3\xE0\xEF "
                             "\xE1\xE5\xF0\xE4i\xBBi\xE7!\r\xD3\xE0\xBA\xFB\xF2: 0:05:07"));
    const std::string six = FinalMessage(30, 6, 0);
    EXPECT_NE(six.find("\r6-\xFB\xED\xE0 "), std::string::npos);
}

TEST(ScaleFormToScreen, FactorTable) {
    EXPECT_EQ(ScaleFactorFor(640, 96), 97);
    EXPECT_EQ(ScaleFactorFor(800, 96), 122);
    EXPECT_EQ(ScaleFactorFor(1024, 96), 158);
    EXPECT_EQ(ScaleFactorFor(640, 120), 100);
    EXPECT_EQ(ScaleFactorFor(800, 120), 108);
    EXPECT_EQ(ScaleFactorFor(1024, 120), 138);
    EXPECT_EQ(ScaleFactorFor(1280, 96), 100);
    EXPECT_EQ(ScaleFactorFor(1280, 120), 100);
    EXPECT_EQ(ScaleFactorFor(800, 144), 100);
    EXPECT_EQ(ScaleValue(409, 122), 499);
    EXPECT_EQ(ScaleValue(140, 97), 136);
    EXPECT_EQ(ScaleValue(-15, 122), -18);
}

#include "app/RandomSource.h"
#include "engine/platform/Clock.h"

TEST(RandomDraw, EachPositionCarriesTheRightAnswerAboutAFifthOfTheTime) {
    SetRandomSource(nullptr);
    auto clock = std::make_shared<platform::FixedClock>(platform::DateTime{2024, 5, 20, 9, 0, 0, 0});
    auto old = platform::SetClock(clock);
    int counts[6] = {};
    for (int i = 0; i < 5000; ++i) {
        // A question every 1.7 seconds or so, as a candidate answers them.
        const int ms = i * 1733;
        clock->now.minute = ms / 60000 % 60;
        clock->now.hour = 9 + ms / 3600000;
        clock->now.second = ms / 1000 % 60;
        clock->now.millisecond = ms % 1000;
        const int pos = DrawRightAnswerPos();
        ASSERT_GE(pos, 1);
        ASSERT_LE(pos, 5);
        ++counts[pos];
    }
    platform::SetClock(old);
    for (int p = 1; p <= 5; ++p) {
        EXPECT_GT(counts[p], 850) << p;
        EXPECT_LT(counts[p], 1150) << p;
    }
}

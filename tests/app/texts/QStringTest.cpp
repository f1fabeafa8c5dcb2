// The QString conversion the windows use (built when Qt is there).

#ifdef QT_CORE_LIB

#include <gtest/gtest.h>

#include <QString>

#include "app/texts/KazQString.h"
#include "app/texts/KazTexts.h"

namespace {

TEST(QStringConversion, KazakhTextsReadAsKazakh) {
    EXPECT_EQ(kaztexts::ToQString(kaztexts::kBtnResults), QString::fromUtf8("Қорытынды"));
    EXPECT_EQ(kaztexts::ToQString(kaztexts::kGridCount), QString::fromUtf8("СҰРАҚТАР"));
    EXPECT_EQ(kaztexts::ToQString(kaztexts::kFinalSuffixIne),
              QString::fromUtf8("-iне дұрыс жауап бердiңiз!"));
}

TEST(QStringConversion, EveryKazakhLetterSurvivesBothWays) {
    const QString alphabet = QString::fromUtf8(
        "АӘБВГҒДЕЁЖЗИЙКҚЛМНҢОӨПРСТУҰҮФХҺЦЧШЩЪЫІЬЭЮЯ"
        "аәбвгғдеёжзийкқлмнңоөпрстуұүфхһцчшщъыіьэюя");
    std::vector<kaztexts::TextRefusal> refused;
    const std::string bytes = kaztexts::FromQString(alphabet, &refused);
    EXPECT_TRUE(refused.empty());
    ASSERT_EQ(bytes.size(), 84u);
    EXPECT_EQ(kaztexts::ToQString(bytes), alphabet);
    for (QChar c : alphabet) {
        const std::string one = kaztexts::FromQString(QString(c));
        ASSERT_EQ(one.size(), 1u);
        EXPECT_EQ(kaztexts::ToQString(one), QString(c));
    }
}

TEST(QStringConversion, EveryByteSurvives) {
    std::string all;
    for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
    std::vector<kaztexts::TextRefusal> refused;
    EXPECT_EQ(kaztexts::FromQString(kaztexts::ToQString(all), &refused), all);
    EXPECT_TRUE(refused.empty());
}

TEST(QStringConversion, UnwritableCharactersBecomeQuestionMarks) {
    std::vector<kaztexts::TextRefusal> refused;
    // A character beyond the basic plane (a surrogate pair in the QString) and a lone surrogate.
    QString text = QString::fromUtf8("Ә😀№");
    text.append(QChar(0xD800));
    EXPECT_EQ(kaztexts::FromQString(text, &refused), "\x8A???");
    ASSERT_EQ(refused.size(), 3u);
    EXPECT_EQ(refused[0].column, 2u);
    EXPECT_EQ(refused[0].character, char32_t(0x1F600));
    EXPECT_EQ(refused[1].column, 3u);
    EXPECT_EQ(refused[1].character, U'№');
    EXPECT_EQ(refused[2].column, 4u);
}

}  // namespace

#endif

// The display-text catalogue: every text's bytes, and what the Kazakh ones read as.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "app/texts/DisplayText.h"
#include "app/texts/KazTexts.h"

namespace {

struct Expected {
    const char* name;
    std::string_view text;
    const char* hex;  // the Windows-1251 bytes, two hex digits each, blank-separated
};

const Expected kCatalogue[] = {
    {"kAppTitle", kaztexts::kAppTitle, "D2 E5 F1 F2 20 F2 E0 EF F1 FB F0 F3"},
    {"kMainCaption", kaztexts::kMainCaption,
     "D2 E5 F1 F2 20 F2 E0 EF F1 FB F0 F3 20 EF F0 EE E3 F0 E0 EC EC E0 F1 FB"},
    {"kTestCaptionTest", kaztexts::kTestCaptionTest, "D2 E5 F1 F2 20 F2 E0 EF F1 FB F0 F3"},
    {"kTestCaptionReview", kaztexts::kTestCaptionReview,
     "D2 E5 F1 F2 20 E6 E0 F3 EF F2 E0 F0 FB ED 20 F2 E5 EA F1 E5 F0 F3"},
    {"kInfoCaption", kaztexts::kInfoCaption, "CA EE F0 FB F2 FB ED E4 FB"},
    {"kKazCaption", kaztexts::kKazCaption, ""},
    {"kMainLabel1Line1", kaztexts::kMainLabel1Line1,
     "D2 E5 F1 F2 20 F2 E0 EF F1 FB F0 F3 20 BE F8 69 ED 20 BA E0 EB E0 B9 E0 ED"},
    {"kMainLabel1Line2", kaztexts::kMainLabel1Line2,
     "E2 E0 F0 E8 E0 ED F2 FB BB FB E7 E4 FB 20 F2 E0 BB E4 E0 BB FB E7 3A"},
    {"kMainLabel1", kaztexts::kMainLabel1,
     "D2 E5 F1 F2 20 F2 E0 EF F1 FB F0 F3 20 BE F8 69 ED 20 BA E0 EB E0 B9 E0 ED 0D 0A E2 E0 F0 E8 "
     "E0 ED F2 FB BB FB E7 E4 FB 20 F2 E0 BB E4 E0 BB FB E7 3A"},
    {"kMainLabel2", kaztexts::kMainLabel2, "C0 F2 FB 2D E6 BC ED 69 BB 69 E7 3A"},
    {"kQuestNoPrefix", kaztexts::kQuestNoPrefix, "D1 BD F0 E0 BA 20 ED BC EC 69 F0 69 3A 20"},
    {"kQuestNoFirst", kaztexts::kQuestNoFirst, "D1 BD F0 E0 BA 20 ED BC EC 69 F0 69 3A 20 31"},
    {"kInfoHeading", kaztexts::kInfoHeading,
     "D2 E0 EB E0 EF EA E5 F0 EB E5 F0 E4 69 BB 20 E6 E8 ED E0 B9 E0 ED 20 E1 E0 EB E4 E0 F0 FB ED "
     "FB BB 20 BA EE F0 FB F2 FB ED E4 FB F1 FB"},
    {"kKazLabelSample", kaztexts::kKazLabelSample,
     "33 30 20 F1 BD F0 E0 BA F2 E0 F0 E4 FB BB 20 E0 F0 E0 F1 FB ED E0 ED 20 D1 69 E7 20 32 35 20 "
     "E4 BD F0 FB F1 20 E6 E0 F3 E0 EF 20 E1 E5 F0 E4 69 BB 69 E7 21"},
    {"kBtnTest", kaztexts::kBtnTest, "D2 E5 F1 F2 20 F2 E0 EF F1 FB F0 F3"},
    {"kBtnReview", kaztexts::kBtnReview, "C6 E0 F3 E0 EF F2 E0 F0 E4 FB 20 BA E0 F0 E0 F3"},
    {"kBtnResults", kaztexts::kBtnResults, "B2 EE F0 FB F2 FB ED E4 FB"},
    {"kBtnAbout", kaztexts::kBtnAbout, "CF F0 EE E3 F0 E0 EC EC E0 20 E6 E0 E9 FB ED E4 E0"},
    {"kBtnExit", kaztexts::kBtnExit, "D8 FB B9 F3"},
    {"kBtnNext", kaztexts::kBtnNext, "CA E5 EB E5 F1 69 20 F1 BD F0 E0 BA"},
    {"kBtnOk", kaztexts::kBtnOk, "CC E5 E9 EB 69"},
    {"kStatusCountPrefix", kaztexts::kStatusCountPrefix,
     "D1 BD F0 E0 BA F2 E0 F0 E4 FB BB 20 E6 E0 EB EF FB 20 F1 E0 ED FB 3A 20"},
    {"kStatusRightPrefix", kaztexts::kStatusRightPrefix,
     "C4 BD F0 FB F1 20 E6 E0 F3 E0 EF F2 E0 F0 FB 3A 20"},
    {"kStatusRightFirst", kaztexts::kStatusRightFirst,
     "C4 BD F0 FB F1 20 E6 E0 F3 E0 EF F2 E0 F0 FB 3A 20 30"},
    {"kStatusReview", kaztexts::kStatusReview,
     "C4 BD F0 FB F1 20 E6 E0 F3 E0 E1 FB 20 E1 E5 EB E3 69 EB E5 ED E3 E5 ED"},
    {"kGridName", kaztexts::kGridName, "C0 D2 DB 2D C6 B4 CD 49"},
    {"kGridVariant", kaztexts::kGridVariant, "C2 C0 D0 C8 C0 CD D2"},
    {"kGridCount", kaztexts::kGridCount, "D1 B5 D0 C0 B2 D2 C0 D0"},
    {"kGridAnswers", kaztexts::kGridAnswers, "C6 C0 D3 C0 CF D2 C0 D0"},
    {"kGridDate", kaztexts::kGridDate, "C4 C0 D2 C0 D1 DB"},
    {"kMsgNoName", kaztexts::kMsgNoName,
     "C0 F2 FB 2D E6 BC ED 69 BB 69 E7 E4 69 20 F2 E5 F0 69 BB 69 E7 21"},
    {"kMsgNoAnswer", kaztexts::kMsgNoAnswer,
     "D1 69 E7 20 E2 E0 F0 E8 E0 ED F2 20 E6 E0 F3 E0 E1 FB ED 20 F2 E0 BB E4 E0 EC E0 E4 FB BB FB "
     "E7 21"},
    {"kFinalGiven", kaztexts::kFinalGiven, "D1 69 E7 20 E1 E5 F0 69 EB E3 E5 ED 20"},
    {"kFinalQuestions", kaztexts::kFinalQuestions,
     "20 F1 BD F0 E0 BA F2 FB BB 20 E0 F0 E0 F1 FB ED E0 ED 20"},
    {"kFinalSuffixIne", kaztexts::kFinalSuffixIne,
     "2D 69 ED E5 20 E4 BD F0 FB F1 20 E6 E0 F3 E0 EF 20 E1 E5 F0 E4 69 BB 69 E7 21"},
    {"kFinalSuffixYna", kaztexts::kFinalSuffixYna,
     "2D FB ED E0 20 E4 BD F0 FB F1 20 E6 E0 F3 E0 EF 20 E1 E5 F0 E4 69 BB 69 E7 21"},
    {"kFinalTime", kaztexts::kFinalTime, "D3 E0 BA FB F2 3A 20"},
    {"kAboutLine1", kaztexts::kAboutLine1,
     "CF F0 EE E3 F0 E0 EC EC E0 ED FB 20 E6 E0 F1 E0 B9 E0 ED 3A"},
    {"kAboutLine2", kaztexts::kAboutLine2,
     "4B 61 7A 54 65 73 74 20 E6 E0 F1 E0 F3 F8 FB EB E0 F0 20 F2 EE E1 FB 2C 20 32 30 32 36 20 E6 "
     "2E"},
    {"kAboutLine3", kaztexts::kAboutLine3, "C0 EB EC E0 F2 FB 2C 20 B2 E0 E7 E0 BA F1 F2 E0 ED"},
    {"kAboutText", kaztexts::kAboutText,
     "CF F0 EE E3 F0 E0 EC EC E0 ED FB 20 E6 E0 F1 E0 B9 E0 ED 3A 0D 4B 61 7A 54 65 73 74 20 E6 E0 "
     "F1 E0 F3 F8 FB EB E0 F0 20 F2 EE E1 FB 2C 20 32 30 32 36 20 E6 2E 0D C0 EB EC E0 F2 FB 2C 20 "
     "B2 E0 E7 E0 BA F1 F2 E0 ED"},
};

std::string Hex(std::string_view bytes) {
    std::string out;
    for (char c : bytes) {
        char b[4];
        std::snprintf(b, sizeof b, "%02X", static_cast<unsigned char>(c));
        if (!out.empty()) out += ' ';
        out += b;
    }
    return out;
}

TEST(Catalogue, EveryTextHasItsBytes) {
    for (const Expected& e : kCatalogue) {
        EXPECT_EQ(Hex(e.text), e.hex) << e.name;
    }
}

TEST(Catalogue, KazakhTextsReadAsKazakh) {
    using kaztexts::DisplayText;
    struct Reading {
        std::string_view text;
        const char* utf8;
    };
    const Reading readings[] = {
        {kaztexts::kBtnResults, "Қорытынды"},
        {kaztexts::kBtnReview, "Жауаптарды қарау"},
        {kaztexts::kBtnExit, "Шығу"},
        {kaztexts::kBtnNext, "Келесi сұрақ"},
        {kaztexts::kMainLabel1, "Тест тапсыру үшiн қалаған\r\nвариантыңызды таңдаңыз:"},
        {kaztexts::kMainLabel2, "Аты-жөнiңiз:"},
        {kaztexts::kQuestNoFirst, "Сұрақ нөмiрi: 1"},
        {kaztexts::kInfoHeading, "Талапкерлердiң жинаған балдарының қорытындысы"},
        {kaztexts::kStatusCountPrefix, "Сұрақтардың жалпы саны: "},
        {kaztexts::kStatusRightFirst, "Дұрыс жауаптары: 0"},
        {kaztexts::kStatusReview, "Дұрыс жауабы белгiленген"},
        {kaztexts::kGridName, "АТЫ-ЖӨНI"},
        {kaztexts::kGridCount, "СҰРАҚТАР"},
        {kaztexts::kMsgNoName, "Аты-жөнiңiздi терiңiз!"},
        {kaztexts::kMsgNoAnswer, "Сiз вариант жауабын таңдамадыңыз!"},
        {kaztexts::kFinalQuestions, " сұрақтың арасынан "},
        {kaztexts::kFinalSuffixIne, "-iне дұрыс жауап бердiңiз!"},
        {kaztexts::kFinalSuffixYna, "-ына дұрыс жауап бердiңiз!"},
        {kaztexts::kFinalTime, "Уақыт: "},
        {kaztexts::kAboutText,
         "Программаны жасаған:\rKazTest жасаушылар тобы, 2026 ж.\rАлматы, Қазақстан"},
    };
    for (const Reading& r : readings) {
        EXPECT_EQ(DisplayText::ToUtf8(r.text), r.utf8);
    }
}

TEST(Catalogue, LinesAreSeparatedAsTheWindowsExpect) {
    // The main window's first label: two lines joined by CR LF.
    EXPECT_EQ(std::string(kaztexts::kMainLabel1), std::string(kaztexts::kMainLabel1Line1) + "\r\n" +
                                                      std::string(kaztexts::kMainLabel1Line2));
    // The About text: three lines joined by carriage returns only.
    EXPECT_EQ(std::string(kaztexts::kAboutText), std::string(kaztexts::kAboutLine1) + "\r" +
                                                     std::string(kaztexts::kAboutLine2) + "\r" +
                                                     std::string(kaztexts::kAboutLine3));
    EXPECT_EQ(kaztexts::kAboutText.find('\n'), std::string_view::npos);
    // The texts followed by a number end in the blank that separates it.
    EXPECT_EQ(std::string(kaztexts::kQuestNoPrefix) + "1", kaztexts::kQuestNoFirst);
    EXPECT_EQ(std::string(kaztexts::kStatusRightPrefix) + "0", kaztexts::kStatusRightFirst);
}

TEST(Catalogue, LettersVariantsAndFonts) {
    ASSERT_EQ(kaztexts::kAnswerLetters.size(), 5u);
    EXPECT_EQ(kaztexts::kAnswerLetters[0], "A");
    EXPECT_EQ(kaztexts::kAnswerLetters[4], "E");
    ASSERT_EQ(kaztexts::kVariantItems.size(), 30u);
    for (size_t i = 0; i < kaztexts::kVariantItems.size(); ++i) {
        EXPECT_EQ(kaztexts::kVariantItems[i], std::to_string(i + 1));
    }
    EXPECT_EQ(kaztexts::kKazakhFont, "Helv/Kazakh");
    EXPECT_EQ(kaztexts::kTimeFormat, "h:nn:ss");
    EXPECT_TRUE(kaztexts::kKazCaption.empty());
}

}  // namespace

#pragma once
// The catalogue of the program's display texts: every caption, label, button, status
// text, grid title and message, as the Windows-1251 bytes the program stores and draws
// in the font "Helv/Kazakh". For Qt, kaztexts::ToQString (app/texts/KazQString.h, library
// kaztexts_qt) turns display bytes into a QString, and kaztexts::FromQString turns typed
// text back into display bytes; app/texts/KazEncoding.h holds the byte table itself.
//
// The Kazakh letters sit at the positions of rarely used Cyrillic characters, so the
// Windows-1251 reading in the comments looks odd: І (B2) is Қ, ґ (B4) Ө, µ (B5) Ұ,
// № (B9) ғ, є (BA) қ, » (BB) ң, ј (BC) ө, Ѕ (BD) ұ, ѕ (BE) ү; the Kazakh і and І are
// written as the Latin i and I. A carriage return inside a text starts a new line.
//
// Each text is kept byte for byte: the windows compare against some of them and the
// tests check them all. Every comment gives the Windows-1251 reading, then what the
// text is for.

#include <array>
#include <string_view>

namespace kaztexts {

// Window captions. Titles are drawn in the system's font, not the Kazakh one, so the
// results window's caption spells its first letter with a plain К, and the review
// caption keeps the program's old spelling "жауптарын".
// "Тест тапсыру" -- task-bar title: test taking
inline constexpr std::string_view kAppTitle = "\xD2\xE5\xF1\xF2 \xF2\xE0\xEF\xF1\xFB\xF0\xF3";
// "Тест тапсыру программасы" -- main window: test-taking program
inline constexpr std::string_view kMainCaption =
    "\xD2\xE5\xF1\xF2 \xF2\xE0\xEF\xF1\xFB\xF0\xF3 \xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xE0\xF1\xFB";
// "Тест тапсыру" -- test window in test mode: test taking
inline constexpr std::string_view kTestCaptionTest =
    "\xD2\xE5\xF1\xF2 \xF2\xE0\xEF\xF1\xFB\xF0\xF3";
// "Тест жауптарын тексеру" -- test window in review mode: checking the test answers
inline constexpr std::string_view kTestCaptionReview =
    "\xD2\xE5\xF1\xF2 \xE6\xE0\xF3\xEF\xF2\xE0\xF0\xFB\xED \xF2\xE5\xEA\xF1\xE5\xF0\xF3";
// "Корытынды" -- results window: results
inline constexpr std::string_view kInfoCaption = "\xCA\xEE\xF0\xFB\xF2\xFB\xED\xE4\xFB";
// "" -- message dialog: no caption
inline constexpr std::string_view kKazCaption = "";

// Labels.
// "Тест тапсыру ѕшiн єала№ан" -- main window fcLabel1, first line
inline constexpr std::string_view kMainLabel1Line1 =
    "\xD2\xE5\xF1\xF2 \xF2\xE0\xEF\xF1\xFB\xF0\xF3 \xBE\xF8i\xED \xBA\xE0\xEB\xE0\xB9\xE0\xED";
// "варианты»ызды та»да»ыз:" -- main window fcLabel1, second line
inline constexpr std::string_view kMainLabel1Line2 =
    "\xE2\xE0\xF0\xE8\xE0\xED\xF2\xFB\xBB\xFB\xE7\xE4\xFB \xF2\xE0\xBB\xE4\xE0\xBB\xFB\xE7:";
// "Тест тапсыру ѕшiн єала№ан<CR LF>варианты»ызды та»да»ыз:" -- main window fcLabel1: choose the
// variant you want for the test (CR LF between the lines)
inline constexpr std::string_view kMainLabel1 =
    "\xD2\xE5\xF1\xF2 \xF2\xE0\xEF\xF1\xFB\xF0\xF3 \xBE\xF8i\xED "
    "\xBA\xE0\xEB\xE0\xB9\xE0\xED\r\n\xE2\xE0\xF0\xE8\xE0\xED\xF2\xFB\xBB\xFB\xE7\xE4\xFB "
    "\xF2\xE0\xBB\xE4\xE0\xBB\xFB\xE7:";
// "Аты-жјнi»iз:" -- main window fcLabel2: your name
inline constexpr std::string_view kMainLabel2 = "\xC0\xF2\xFB-\xE6\xBC\xEDi\xBBi\xE7:";
// "СЅрає нјмiрi: " -- test window QuestNoLabel, followed by the question number
inline constexpr std::string_view kQuestNoPrefix = "\xD1\xBD\xF0\xE0\xBA \xED\xBC\xECi\xF0i: ";
// "СЅрає нјмiрi: 1" -- test window QuestNoLabel on opening
inline constexpr std::string_view kQuestNoFirst = "\xD1\xBD\xF0\xE0\xBA \xED\xBC\xECi\xF0i: 1";
// "Талапкерлердi» жина№ан балдарыны» єорытындысы" -- results window QuestNoLabel: the candidates'
// scores
inline constexpr std::string_view kInfoHeading =
    "\xD2\xE0\xEB\xE0\xEF\xEA\xE5\xF0\xEB\xE5\xF0\xE4i\xBB \xE6\xE8\xED\xE0\xB9\xE0\xED "
    "\xE1\xE0\xEB\xE4\xE0\xF0\xFB\xED\xFB\xBB \xBA\xEE\xF0\xFB\xF2\xFB\xED\xE4\xFB\xF1\xFB";
// "30 сЅраєтарды» арасынан Сiз 25 дЅрыс жауап бердi»iз!" -- message dialog QLabel design text
// (always replaced before showing)
inline constexpr std::string_view kKazLabelSample =
    "30 \xF1\xBD\xF0\xE0\xBA\xF2\xE0\xF0\xE4\xFB\xBB \xE0\xF0\xE0\xF1\xFB\xED\xE0\xED \xD1i\xE7 25 "
    "\xE4\xBD\xF0\xFB\xF1 \xE6\xE0\xF3\xE0\xEF \xE1\xE5\xF0\xE4i\xBBi\xE7!";

// Buttons.
// "Тест тапсыру" -- main window fcShapeBtn1: take the test
inline constexpr std::string_view kBtnTest = "\xD2\xE5\xF1\xF2 \xF2\xE0\xEF\xF1\xFB\xF0\xF3";
// "Жауаптарды єарау" -- main window fcShapeBtn2: review the answers
inline constexpr std::string_view kBtnReview =
    "\xC6\xE0\xF3\xE0\xEF\xF2\xE0\xF0\xE4\xFB \xBA\xE0\xF0\xE0\xF3";
// "Іорытынды" -- main window fcShapeBtn3: results
inline constexpr std::string_view kBtnResults = "\xB2\xEE\xF0\xFB\xF2\xFB\xED\xE4\xFB";
// "Программа жайында" -- main window fcShapeBtn4: about the program
inline constexpr std::string_view kBtnAbout =
    "\xCF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xE0 \xE6\xE0\xE9\xFB\xED\xE4\xE0";
// "Шы№у" -- main window fcShapeBtn5, test and results windows CloseBtn: exit
inline constexpr std::string_view kBtnExit = "\xD8\xFB\xB9\xF3";
// "Келесi сЅрає" -- test window OKBtn: next question
inline constexpr std::string_view kBtnNext = "\xCA\xE5\xEB\xE5\xF1i \xF1\xBD\xF0\xE0\xBA";
// "Мейлi" -- message dialog fcShapeBtn2: all right
inline constexpr std::string_view kBtnOk = "\xCC\xE5\xE9\xEBi";

// Status bar of the test window.
// "СЅраєтарды» жалпы саны: " -- panel 0, followed by the question count
inline constexpr std::string_view kStatusCountPrefix =
    "\xD1\xBD\xF0\xE0\xBA\xF2\xE0\xF0\xE4\xFB\xBB \xE6\xE0\xEB\xEF\xFB \xF1\xE0\xED\xFB: ";
// "ДЅрыс жауаптары: " -- panel 1 in test mode, followed by the right count
inline constexpr std::string_view kStatusRightPrefix =
    "\xC4\xBD\xF0\xFB\xF1 \xE6\xE0\xF3\xE0\xEF\xF2\xE0\xF0\xFB: ";
// "ДЅрыс жауаптары: 0" -- panel 1 in test mode on opening
inline constexpr std::string_view kStatusRightFirst =
    "\xC4\xBD\xF0\xFB\xF1 \xE6\xE0\xF3\xE0\xEF\xF2\xE0\xF0\xFB: 0";
// "ДЅрыс жауабы белгiленген" -- panel 1 in review mode: the right answer is marked
inline constexpr std::string_view kStatusReview =
    "\xC4\xBD\xF0\xFB\xF1 \xE6\xE0\xF3\xE0\xE1\xFB \xE1\xE5\xEB\xE3i\xEB\xE5\xED\xE3\xE5\xED";

// Results grid column titles, in column order.
// "АТЫ-ЖґНI" -- NAME: name
inline constexpr std::string_view kGridName = "\xC0\xD2\xDB-\xC6\xB4\xCDI";
// "ВАРИАНТ" -- VARIANT: variant
inline constexpr std::string_view kGridVariant = "\xC2\xC0\xD0\xC8\xC0\xCD\xD2";
// "СµРАІТАР" -- COUNT: questions
inline constexpr std::string_view kGridCount = "\xD1\xB5\xD0\xC0\xB2\xD2\xC0\xD0";
// "ЖАУАПТАР" -- TRUECOUNT: answers
inline constexpr std::string_view kGridAnswers = "\xC6\xC0\xD3\xC0\xCF\xD2\xC0\xD0";
// "ДАТАСЫ" -- DATE: its date
inline constexpr std::string_view kGridDate = "\xC4\xC0\xD2\xC0\xD1\xDB";

// Messages shown in the message dialog.
// "Аты-жјнi»iздi терi»iз!" -- scored test with a blank name: type your name
inline constexpr std::string_view kMsgNoName =
    "\xC0\xF2\xFB-\xE6\xBC\xEDi\xBBi\xE7\xE4i \xF2\xE5\xF0i\xBBi\xE7!";
// "Сiз вариант жауабын та»дамады»ыз!" -- OK with no answer chosen: you have not chosen an answer
inline constexpr std::string_view kMsgNoAnswer =
    "\xD1i\xE7 \xE2\xE0\xF0\xE8\xE0\xED\xF2 \xE6\xE0\xF3\xE0\xE1\xFB\xED "
    "\xF2\xE0\xBB\xE4\xE0\xEC\xE0\xE4\xFB\xBB\xFB\xE7!";
// "Сiз берiлген " -- final message, before the question count: out of the given
inline constexpr std::string_view kFinalGiven = "\xD1i\xE7 \xE1\xE5\xF0i\xEB\xE3\xE5\xED ";
// " сЅраєты» арасынан " -- final message, after the question count: questions
inline constexpr std::string_view kFinalQuestions =
    " \xF1\xBD\xF0\xE0\xBA\xF2\xFB\xBB \xE0\xF0\xE0\xF1\xFB\xED\xE0\xED ";
// "-iне дЅрыс жауап бердi»iз!" -- final message, after the right count (0 and most counts): you
// answered right
inline constexpr std::string_view kFinalSuffixIne =
    "-i\xED\xE5 \xE4\xBD\xF0\xFB\xF1 \xE6\xE0\xF3\xE0\xEF \xE1\xE5\xF0\xE4i\xBBi\xE7!";
// "-ына дЅрыс жауап бердi»iз!" -- final message, after a right count of 6, 9, 10, 16, 19, 20, 26,
// 29 or 30
inline constexpr std::string_view kFinalSuffixYna =
    "-\xFB\xED\xE0 \xE4\xBD\xF0\xFB\xF1 \xE6\xE0\xF3\xE0\xEF \xE1\xE5\xF0\xE4i\xBBi\xE7!";
// "Уаєыт: " -- final message, before the elapsed time: time
inline constexpr std::string_view kFinalTime = "\xD3\xE0\xBA\xFB\xF2: ";
// "Программаны жаса№ан:" -- About, first line: made by
inline constexpr std::string_view kAboutLine1 =
    "\xCF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xE0\xED\xFB \xE6\xE0\xF1\xE0\xB9\xE0\xED:";
// "KazTest жасаушылар тобы, 2026 ж." -- About, second line: the KazTest developers' team, 2026
inline constexpr std::string_view kAboutLine2 =
    "KazTest \xE6\xE0\xF1\xE0\xF3\xF8\xFB\xEB\xE0\xF0 \xF2\xEE\xE1\xFB, 2026 \xE6.";
// "Алматы, Іазаєстан" -- About, third line: Almaty, Kazakhstan
inline constexpr std::string_view kAboutLine3 =
    "\xC0\xEB\xEC\xE0\xF2\xFB, \xB2\xE0\xE7\xE0\xBA\xF1\xF2\xE0\xED";
// "Программаны жаса№ан:<CR>KazTest жасаушылар тобы, 2026 ж.<CR>Алматы, Іазаєстан" -- About: the
// three lines above joined by carriage returns
inline constexpr std::string_view kAboutText =
    "\xCF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xE0\xED\xFB \xE6\xE0\xF1\xE0\xB9\xE0\xED:\rKazTest "
    "\xE6\xE0\xF1\xE0\xF3\xF8\xFB\xEB\xE0\xF0 \xF2\xEE\xE1\xFB, 2026 "
    "\xE6.\r\xC0\xEB\xEC\xE0\xF2\xFB, \xB2\xE0\xE7\xE0\xBA\xF1\xF2\xE0\xED";

// The answer letters of the test window's radio items, A to E.
inline constexpr std::array<std::string_view, 5> kAnswerLetters = {"A", "B", "C", "D", "E"};

// The variant list of the main window: "1" to "30", in that order.
inline constexpr int kVariantCount = 30;
inline constexpr std::array<std::string_view, kVariantCount> kVariantItems = {
    "1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9",  "10", "11", "12", "13", "14", "15",
    "16", "17", "18", "19", "20", "21", "22", "23", "24", "25", "26", "27", "28", "29", "30"};

// The format of the elapsed time in the final message: hours without a leading zero,
// minutes and seconds with two digits.
inline constexpr std::string_view kTimeFormat = "h:nn:ss";

// Fonts used by name. Where "Helv/Kazakh" is missing, the fallback draws the texts
// (converted to Unicode, it has every Kazakh letter).
inline constexpr std::string_view kKazakhFont = "Helv/Kazakh";
inline constexpr std::string_view kKazakhFallbackFont = "DejaVu Sans";
inline constexpr std::string_view kBaseFont = "Arial";
inline constexpr std::string_view kGridTitleBaseFont = "MS Sans Serif";

}  // namespace kaztexts

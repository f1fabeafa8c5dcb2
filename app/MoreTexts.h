#pragma once
// The display texts of what the program offers beyond its first catalogue: the review of
// one's wrong answers, the warning about a damaged question table, the export of the
// results log and its search and orders. Windows-1251 bytes with the Kazakh letters at
// the program's positions.

#include <string_view>

namespace kaztexts {

inline constexpr std::string_view kBtnMistakes =
    "\xB2\xE0\xF2\xE5\xEB\xE5\xF0\xE4i \xBA\xE0\xF0\xE0\xF3";  // Қателерді қарау
inline constexpr std::string_view kMistakesCaption =
    "\xB2\xE0\xF2\xE5\xEB\xE5\xF0\xE4i \xBA\xE0\xF0\xE0\xF3";  // Қателерді қарау
inline constexpr std::string_view kMistakesCountPrefix =
    "\xB2\xE0\xF2\xE5 \xE6\xE0\xF3\xE0\xEF\xF2\xE0\xF0 \xF1\xE0\xED\xFB: ";  // Қате жауаптар саны:
inline constexpr std::string_view kMistakesYours =
    "\xD1i\xE7\xE4i\xBB \xE6\xE0\xF3\xE0\xE1\xFB\xBB\xFB\xE7: ";  // Сіздің жауабыңыз:
inline constexpr std::string_view kMistakesRight =
    ", \xE4\xBD\xF0\xFB\xF1\xFB: ";  // , дұрысы:
inline constexpr std::string_view kDamagedTableSuffix =
    " \xEA\xE5\xF1\xF2\xE5\xF1i \xE1\xBE\xEBi\xED\xE3\xE5\xED:";  //  кестесі бүлінген:
inline constexpr std::string_view kDamagedHeaderPrefix =
    "\xF2\xE0\xBA\xFB\xF0\xFB\xE1\xFB\xED\xE4\xE0 ";  // тақырыбында
inline constexpr std::string_view kDamagedHeaderMiddle =
    " \xF1\xBD\xF0\xE0\xBA, \xF4\xE0\xE9\xEB\xE4\xE0 ";  //  сұрақ, файлда
inline constexpr std::string_view kDamagedRunPrefix =
    "\xD2\xE5\xF1\xF2 ";  // Тест
inline constexpr std::string_view kDamagedRunSuffix =
    " \xF1\xBD\xF0\xE0\xBA\xEF\xE5\xED \xBC\xF2\xE5\xE4i.";  //  сұрақпен өтеді.
inline constexpr std::string_view kBtnExport =
    "CSV-\xE3\xE5 \xF1\xE0\xBA\xF2\xE0\xF3";  // CSV-ге сақтау
inline constexpr std::string_view kExportCaption =
    "\xCD\x9A\xF2\xE8\xE6\xE5\xEB\xE5\xF0\xE4i CSV \xF4\xE0\xE9\xEB\xFB\xED\xE0 \xF1\xE0\xBA\xF2\xE0\xF3";  // Нәтижелерді CSV файлына сақтау
inline constexpr std::string_view kExportFilter =
    "CSV \xF4\xE0\xE9\xEB\xE4\xE0\xF0\xFB (*.csv)";  // CSV файлдары (*.csv)

// The results window's search box (its hint) and the orders its column titles give.
inline constexpr std::string_view kSearchHint =
    "\xC0\xF2\xFB \xE1\xEE\xE9\xFB\xED\xF8\xE0 i\xE7\xE4\xE5\xF3";  // Аты бойынша іздеу
inline constexpr std::string_view kOrderByDate =
    "\xEA\xBE\xEDi \xE1\xEE\xE9\xFB\xED\xF8\xE0";  // күні бойынша
inline constexpr std::string_view kOrderByName =
    "\xE0\xF2\xFB \xE1\xEE\xE9\xFB\xED\xF8\xE0";  // аты бойынша
inline constexpr std::string_view kOrderByVariant =
    "\xE2\xE0\xF0\xE8\xE0\xED\xF2 \xE1\xEE\xE9\xFB\xED\xF8\xE0";  // вариант бойынша

}  // namespace kaztexts

#pragma once
// The names of the program's data files and of the fields it reads in them, for the
// windows and the tools that make the files.

#include <array>
#include <string>
#include <string_view>

namespace kaztexts {

// The question table of a variant: "Kaz" + the variant number + ".dbf".
inline std::string QuestionTableName(int variant) {
    return "Kaz" + std::to_string(variant) + ".dbf";
}

// The fields of a question table, in table order: the question, the right answer, then
// the four wrong ones.
inline constexpr std::array<std::string_view, 6> kQuestionFields = {"Input", "A", "B",
                                                                    "C",     "D", "E"};

// The name memory and its one field.
inline constexpr std::string_view kNameTable = "NAME.DBF";
inline constexpr std::string_view kNameField = "Name";

// The results log and its fields, in the order a result is appended.
inline constexpr std::string_view kInfoTable = "INFO.DBF";
inline constexpr std::array<std::string_view, 5> kInfoFields = {"NAME", "VARIANT", "COUNT",
                                                                "TRUECOUNT", "DATE"};

}  // namespace kaztexts

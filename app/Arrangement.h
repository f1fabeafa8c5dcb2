#pragma once
// Which question-table field each answer label shows, for each position of the right
// answer. Field "A" always stands in the label at the right answer's position.

#include <array>

// The fields of labels A to E for `rightAnswerPos` (1 to 5).
std::array<char, 5> ArrangementFor(int rightAnswerPos);

#include "app/Arrangement.h"

#include <stdexcept>

std::array<char, 5> ArrangementFor(int rightAnswerPos) {
    static constexpr std::array<std::array<char, 5>, 5> kRows{{
        {'A', 'C', 'E', 'D', 'B'},
        {'B', 'A', 'E', 'D', 'C'},
        {'C', 'B', 'A', 'E', 'D'},
        {'B', 'E', 'D', 'A', 'C'},
        {'B', 'C', 'D', 'E', 'A'},
    }};
    if (rightAnswerPos < 1 || rightAnswerPos > 5) throw std::out_of_range("Answer position out of range");
    return kRows[size_t(rightAnswerPos - 1)];
}

#include "app/FinalMessage.h"

#include "app/Elapsed.h"
#include "app/texts/KazTexts.h"

#include <algorithm>
#include <array>

std::string_view FinalSuffixFor(int64_t rightCount) {
    static constexpr std::array<int64_t, 9> kBackVowel{6, 9, 10, 16, 19, 20, 26, 29, 30};
    const bool back = std::find(kBackVowel.begin(), kBackVowel.end(), rightCount) != kBackVowel.end();
    return back ? kaztexts::kFinalSuffixYna : kaztexts::kFinalSuffixIne;
}

std::string FinalMessage(int64_t questionCount, int64_t rightCount, int64_t elapsedMilliseconds) {
    std::string m;
    m += kaztexts::kFinalGiven;
    m += std::to_string(questionCount);
    m += kaztexts::kFinalQuestions;
    m += '\r';
    m += std::to_string(rightCount);
    m += FinalSuffixFor(rightCount);
    m += '\r';
    m += kaztexts::kFinalTime;
    m += FormatElapsed(elapsedMilliseconds);
    return m;
}

#pragma once
// The message at the end of a scored test: the question count, the right count with its
// Kazakh suffix and the time taken, on three lines, as display bytes.

#include <cstdint>
#include <string>
#include <string_view>

// "-ына ..." for the right counts whose spoken numeral ends in a back vowel (6, 9, 10,
// 16, 19, 20, 26, 29, 30), "-iне ..." for every other count.
std::string_view FinalSuffixFor(int64_t rightCount);
std::string FinalMessage(int64_t questionCount, int64_t rightCount, int64_t elapsedMilliseconds);

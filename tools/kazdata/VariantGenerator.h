#pragma once
// Generated variants: arithmetic, units of measure, calendar and clock questions worded
// in Kazakh, each with its right answer and four different, plausible wrong ones. The
// output is an Aiken bank in UTF-8, the same for the same variant number.

#include <string>

namespace kazdata {

class VariantGenerator {
  public:
    static constexpr int kQuestions = 20;

    static std::string Generate(int variant);
};

}  // namespace kazdata

#include "tools/kazdata/QuestionCheck.h"

#include <cstdio>
#include <string>

#include "app/texts/DisplayText.h"
#include "app/texts/KazEncoding.h"

namespace kazdata {
namespace {

// Line breaks and tabs inside a text become blanks.
std::string Flatten(const std::string& text) {
    std::string out = text;
    for (char& c : out) {
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    }
    return out;
}

// Checks one text; answers its display bytes, or reports and answers nothing.
bool EncodeText(const Question& q, size_t i, std::string& bytes, Problems& problems) {
    const std::string text = Flatten(q.texts[i]);
    const long line = q.lines[i];
    if (text.empty()) {
        problems.push_back(Problem{line, q.names[i] + " is empty"});
        return false;
    }
    kaztexts::EncodedText encoded = kaztexts::DisplayText::FromUtf8(text);
    bool good = true;
    auto report = [&](size_t character, const std::string& what) {
        problems.push_back(
            Problem{line, q.names[i] + ", character " + std::to_string(character) + ": " + what});
        good = false;
    };
    for (const kaztexts::TextRefusal& r : encoded.refused) {
        report(r.column, r.invalidUtf8 ? "is not valid UTF-8"
                                       : "holds " + r.CharacterText() +
                                             ", which the display encoding cannot hold");
    }
    for (size_t k = 0; good && k < encoded.bytes.size(); ++k) {
        const auto b = static_cast<unsigned char>(encoded.bytes[k]);
        // Byte 98 reads as a control character too.
        if (b < 0x20 || b == 0x7F || b == 0x98) {
            kaztexts::TextRefusal control{k + 1, kaztexts::KazEncoding::ToUnicode(b), false};
            report(k + 1, "a control character " + control.CharacterText());
        }
    }
    if (good && encoded.bytes.size() > QuestionCheck::kMaxLength) {
        problems.push_back(Problem{line, q.names[i] + " is " +
                                             std::to_string(encoded.bytes.size()) +
                                             " characters long; at most " +
                                             std::to_string(QuestionCheck::kMaxLength) + " fit"});
        good = false;
    }
    bytes = std::move(encoded.bytes);
    return good;
}

}  // namespace

bool QuestionCheck::Encode(const std::vector<Question>& questions,
                           std::vector<EncodedQuestion>& out, Problems& problems) {
    const size_t before = problems.size();
    for (const Question& q : questions) {
        EncodedQuestion e;
        bool good = true;
        for (size_t i = 0; i < 6; ++i) good = EncodeText(q, i, e.fields[i], problems) && good;
        if (!good) continue;
        bool distinct = true;
        for (size_t a = 1; a < 6 && distinct; ++a) {
            for (size_t b = a + 1; b < 6 && distinct; ++b) {
                if (e.fields[a] == e.fields[b]) {
                    problems.push_back(
                        Problem{q.lines[b], q.names[b] + " is the same as " + q.names[a]});
                    distinct = false;
                }
            }
        }
        if (distinct) out.push_back(std::move(e));
    }
    return problems.size() == before;
}

}  // namespace kazdata

#include "tools/kazdata/AikenReader.h"

#include <algorithm>
#include <string>

#include "tools/kazdata/SourceLines.h"

namespace kazdata {
namespace {

bool IsAnswerLine(std::string_view line) {
    return line.size() >= 2 && line[0] >= 'A' && line[0] <= 'Z' &&
           (line[1] == '.' || line[1] == ')') &&
           (line.size() == 2 || line[2] == ' ' || line[2] == '\t');
}

// "ANSWER: X": the letter, '?' when the line is an ANSWER line without one, 0 otherwise.
char AnswerLetter(std::string_view line) {
    if (line.substr(0, 7) != "ANSWER:") return 0;
    std::string_view rest = SourceLines::Trim(line.substr(7));
    if (rest.size() == 1 && rest[0] >= 'A' && rest[0] <= 'Z') return rest[0];
    return '?';
}

struct Option {
    char letter;
    std::string text;
    long line;
};

class Parser {
  public:
    Parser(std::vector<Question>& questions, Problems& problems)
        : questions_(questions), problems_(problems) {}

    void Line(long n, std::string_view raw) {
        const std::string_view line = SourceLines::Trim(raw);
        switch (state_) {
            case State::Skip:
                // A broken question ends at a blank line or at its ANSWER line.
                if (line.empty() || AnswerLetter(line)) state_ = State::Idle;
                return;
            case State::Idle:
                Idle(n, line);
                return;
            case State::Question:
                InQuestion(n, line);
                return;
            case State::Options:
                InOptions(n, line);
                return;
        }
    }

    void End(long n) {
        if (state_ == State::Question) {
            Fail(questionLine_, "the question has no answers");
        } else if (state_ == State::Options) {
            Fail(n,
                 "the question from line " + std::to_string(questionLine_) + " has no ANSWER line");
        }
    }

  private:
    enum class State { Idle, Question, Options, Skip };

    void Idle(long n, std::string_view line) {
        if (line.empty() || line[0] == '#') return;
        if (IsAnswerLine(line)) return Fail(n, "an answer line without a question before it");
        if (AnswerLetter(line)) return Report(n, "an ANSWER line without a question before it");
        question_ = std::string(line);
        questionLine_ = n;
        options_.clear();
        state_ = State::Question;
    }

    void InQuestion(long n, std::string_view line) {
        if (line.empty()) {
            Fail(questionLine_, "the question has no answers");
            state_ = State::Idle;
        } else if (AnswerLetter(line)) {
            Fail(questionLine_, "the question has no answers");
            state_ = State::Idle;
        } else if (IsAnswerLine(line)) {
            AddOption(n, line);
            if (state_ != State::Skip) state_ = State::Options;
        } else {
            question_ += ' ';
            question_ += line;
        }
    }

    void InOptions(long n, std::string_view line) {
        if (line.empty()) {
            Fail(n, "a blank line before the ANSWER line of the question from line " +
                        std::to_string(questionLine_));
            state_ = State::Idle;
            return;
        }
        if (const char letter = AnswerLetter(line)) return Finish(n, letter);
        if (IsAnswerLine(line)) return AddOption(n, line);
        Fail(n, "expected an answer such as \"C. text\" or the line \"ANSWER: C\"");
    }

    void AddOption(long n, std::string_view line) {
        const char letter = line[0];
        for (const Option& o : options_) {
            if (o.letter == letter)
                return Fail(n, std::string("answer ") + letter + " appears twice");
        }
        std::string_view text = SourceLines::Trim(line.substr(2));
        if (text.empty()) return Fail(n, std::string("answer ") + letter + " is empty");
        options_.push_back(Option{letter, std::string(text), n});
    }

    // The ANSWER line ends the question, good or not; the next line may start another.
    void Finish(long n, char letter) {
        state_ = State::Idle;
        if (letter == '?')
            return Report(n, "the ANSWER line names no letter (write \"ANSWER: C\")");
        if (options_.size() != 5) {
            return Report(questionLine_, "the question has " + std::to_string(options_.size()) +
                                             (options_.size() == 1 ? " answer" : " answers") +
                                             "; a question needs exactly five");
        }
        auto right = std::find_if(options_.begin(), options_.end(),
                                  [letter](const Option& o) { return o.letter == letter; });
        if (right == options_.end()) {
            return Report(n, std::string("the ANSWER line names ") + letter +
                                 ", which is not one of the answers");
        }
        Question q;
        q.texts[0] = question_;
        q.lines[0] = questionLine_;
        q.names[0] = "the question";
        size_t slot = 1;
        auto put = [&](const Option& o) {
            q.texts[slot] = o.text;
            q.lines[slot] = o.line;
            q.names[slot] = std::string("answer ") + o.letter;
            ++slot;
        };
        put(*right);
        for (const Option& o : options_) {
            if (o.letter != letter) put(o);
        }
        questions_.push_back(std::move(q));
    }

    void Report(long n, const std::string& message) { problems_.push_back(Problem{n, message}); }

    // Reports and skips the rest of the question.
    void Fail(long n, const std::string& message) {
        Report(n, message);
        state_ = State::Skip;
    }

    std::vector<Question>& questions_;
    Problems& problems_;
    State state_ = State::Idle;
    std::string question_;
    long questionLine_ = 0;
    std::vector<Option> options_;
};

}  // namespace

bool AikenReader::Read(std::string_view content, std::vector<Question>& questions,
                       Problems& problems) {
    const size_t before = problems.size();
    Parser parser(questions, problems);
    const std::vector<std::string_view> lines = SourceLines::Split(content);
    long n = 0;
    for (std::string_view line : lines) parser.Line(++n, line);
    parser.End(n);
    return problems.size() == before;
}

}  // namespace kazdata

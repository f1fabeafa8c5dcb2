#include "tools/kazdata/CsvReader.h"

#include <string>

#include "tools/kazdata/SourceLines.h"

namespace kazdata {
namespace {

struct Field {
    std::string text;
    long line = 0;
};

struct Record {
    std::vector<Field> fields;
    long line = 0;
    std::string error;  // set when the record is malformed
};

// Cuts the content into records; `pos` and `line` move past the record read.
class Scanner {
  public:
    Scanner(std::string_view content, char separator) : s_(content), sep_(separator) {}

    bool AtEnd() const { return pos_ >= s_.size(); }

    Record Next() {
        Record r;
        r.line = line_;
        for (;;) {
            Field f;
            f.line = line_;
            if (!ReadField(f, r.error)) {
                SkipRestOfLine();
                return r;
            }
            r.fields.push_back(std::move(f));
            if (pos_ >= s_.size()) return r;
            const char c = s_[pos_];
            if (c == sep_) {
                ++pos_;
                continue;
            }
            // End of the record: LF or CR LF.
            if (c == '\r') ++pos_;
            if (pos_ < s_.size() && s_[pos_] == '\n') ++pos_;
            ++line_;
            return r;
        }
    }

  private:
    bool ReadField(Field& f, std::string& error) {
        if (pos_ < s_.size() && s_[pos_] == '"') {
            ++pos_;
            for (;;) {
                if (pos_ >= s_.size()) {
                    error = "a quoted field that is never closed";
                    return false;
                }
                const char c = s_[pos_++];
                if (c == '"') {
                    if (pos_ < s_.size() && s_[pos_] == '"') {
                        f.text += '"';
                        ++pos_;
                        continue;
                    }
                    break;
                }
                if (c == '\n') ++line_;
                if (c == '\r' && pos_ < s_.size() && s_[pos_] == '\n')
                    continue;  // CR LF inside: one line break
                f.text += c;
            }
            if (pos_ < s_.size() && s_[pos_] != sep_ && s_[pos_] != '\r' && s_[pos_] != '\n') {
                error = "text after the closing quote of a field";
                return false;
            }
            return true;
        }
        while (pos_ < s_.size()) {
            const char c = s_[pos_];
            if (c == sep_ || c == '\n' || c == '\r') break;
            if (c == '"') {
                error = "a quote inside a field that does not start with one";
                return false;
            }
            f.text += c;
            ++pos_;
        }
        return true;
    }

    void SkipRestOfLine() {
        while (pos_ < s_.size() && s_[pos_] != '\n') ++pos_;
        if (pos_ < s_.size()) ++pos_;
        ++line_;
    }

    std::string_view s_;
    char sep_;
    size_t pos_ = 0;
    long line_ = 1;
};

bool Blank(const Record& r) {
    return r.error.empty() && r.fields.size() == 1 && SourceLines::Trim(r.fields[0].text).empty();
}

}  // namespace

bool CsvReader::Read(std::string_view content, std::vector<Question>& questions,
                     Problems& problems) const {
    const size_t before = problems.size();
    Scanner scanner(SourceLines::WithoutBom(content), separator_);
    bool headerPending = skipHeader_;
    while (!scanner.AtEnd()) {
        Record r = scanner.Next();
        if (!r.error.empty()) {
            problems.push_back(Problem{r.line, r.error});
            continue;
        }
        if (Blank(r)) continue;
        if (headerPending) {
            headerPending = false;
            continue;
        }
        if (r.fields.size() != 6) {
            const size_t answers = r.fields.size() - 1;
            problems.push_back(Problem{
                r.line, std::to_string(r.fields.size()) + " fields (the question and " +
                            std::to_string(answers) + (answers == 1 ? " answer" : " answers") +
                            "); a question needs its text and exactly five answers"});
            continue;
        }
        Question q;
        for (size_t i = 0; i < 6; ++i) {
            q.texts[i] = std::string(SourceLines::Trim(r.fields[i].text));
            q.lines[i] = r.fields[i].line;
            q.names[i] = i == 0   ? "the question"
                         : i == 1 ? "the right answer"
                                  : "wrong answer " + std::to_string(i - 1);
        }
        questions.push_back(std::move(q));
    }
    return problems.size() == before;
}

}  // namespace kazdata

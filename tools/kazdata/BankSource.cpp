#include "tools/kazdata/BankSource.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "tools/kazdata/AikenReader.h"
#include "tools/kazdata/CsvReader.h"
#include "tools/kazdata/QuestionCheck.h"

namespace kazdata {

bool BankSource::Load(const std::string& path, const BankFormat& format,
                      std::vector<EncodedQuestion>& questions, Problems& problems) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        problems.push_back(Problem{0, "cannot be read"});
        return false;
    }
    std::stringstream content;
    content << in.rdbuf();
    std::vector<Question> read;
    const bool parsed =
        format.kind == BankFormat::Kind::Aiken
            ? AikenReader::Read(content.str(), read, problems)
            : CsvReader(format.separator, format.skipHeader).Read(content.str(), read, problems);
    const bool encoded = QuestionCheck::Encode(read, questions, problems);
    if (parsed && encoded && questions.empty()) {
        problems.push_back(Problem{0, "holds no question"});
        return false;
    }
    return parsed && encoded;
}

void BankSource::Print(const std::string& path, const Problems& problems) {
    for (const Problem& p : problems) {
        if (p.line > 0) {
            std::fprintf(stderr, "%s:%ld: %s\n", path.c_str(), p.line, p.message.c_str());
        } else {
            std::fprintf(stderr, "%s: %s\n", path.c_str(), p.message.c_str());
        }
    }
}

}  // namespace kazdata

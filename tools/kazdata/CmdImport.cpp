// kazdata import: one question bank into one variant table.

#include <cctype>
#include <cstdio>

#include "tools/kazdata/BankSource.h"
#include "tools/kazdata/Commands.h"
#include "tools/kazdata/TableWriter.h"

namespace kazdata {

int RunImport(const Args& args) {
    BankFormat format;
    bool formatGiven = false;
    std::vector<std::string> files;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--aiken" || a == "--csv") {
            format.kind = a == "--csv" ? BankFormat::Kind::Csv : BankFormat::Kind::Aiken;
            formatGiven = true;
        } else if (a == "--separator") {
            if (i + 1 >= args.size() || args[i + 1].size() != 1)
                throw UsageError{"--separator takes one character"};
            format.separator = args[++i][0];
            if (format.separator == '"' || format.separator == '\n' || format.separator == '\r') {
                throw UsageError{"the separator cannot be a quote or a line break"};
            }
        } else if (a == "--header") {
            format.skipHeader = true;
        } else if (a.rfind("--", 0) == 0) {
            throw UsageError{"unknown option " + a};
        } else {
            files.push_back(a);
        }
    }
    if (files.size() != 2) throw UsageError{"expected BANK and TABLE"};
    const std::string& bank = files[0];
    const std::string& table = files[1];
    if (!formatGiven && bank.size() >= 4) {
        std::string ext = bank.substr(bank.size() - 4);
        for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (ext == ".csv") format.kind = BankFormat::Kind::Csv;
    }
    std::vector<EncodedQuestion> questions;
    Problems problems;
    if (!BankSource::Load(bank, format, questions, problems)) {
        BankSource::Print(bank, problems);
        std::fprintf(stderr, "kazdata import: %zu problem%s; %s not written\n", problems.size(),
                     problems.size() == 1 ? "" : "s", table.c_str());
        return 1;
    }
    TableWriter::WriteVariant(table, questions);
    std::printf("%s: %zu question%s\n", table.c_str(), questions.size(),
                questions.size() == 1 ? "" : "s");
    return 0;
}

}  // namespace kazdata

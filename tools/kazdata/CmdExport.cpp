// kazdata export: a variant table back into an Aiken bank, in UTF-8.

#include <cstdio>
#include <string>

#include "app/texts/DataFiles.h"
#include "app/texts/DisplayText.h"
#include "engine/dBHandler.h"
#include "tools/kazdata/Commands.h"

namespace kazdata {
namespace {

std::string Field(GSO_dBHandler& table, std::string_view name) {
    std::string text = table.GetTextByName(std::string(name));
    const size_t end = text.find_last_not_of(' ');
    text.erase(end == std::string::npos ? 0 : end + 1);
    return kaztexts::DisplayText::ToUtf8(text);
}

}  // namespace

int RunExport(const Args& args) {
    if (args.size() != 1 || args[0].rfind("--", 0) == 0) throw UsageError{"expected one TABLE"};
    std::unique_ptr<GSO_dBHandler> table = GSO_dBHandler::Open(args[0], false, true);
    const auto& f = kaztexts::kQuestionFields;
    std::string out;
    table->GoRecord(gsMoveTop);
    while (!table->Eof()) {
        if (!out.empty()) out += '\n';
        out += Field(*table, f[0]) + '\n';
        for (size_t i = 1; i < f.size(); ++i)
            out +=
                std::string(1, static_cast<char>('A' + i - 1)) + ". " + Field(*table, f[i]) + '\n';
        out += "ANSWER: A\n";
        table->GoRecord(gsMoveNext);
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

}  // namespace kazdata

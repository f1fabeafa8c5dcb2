// kazdata build: the pristine sample data directory from the thirty variant sources.

#include <cstdio>
#include <filesystem>
#include <string>

#include "app/texts/DataFiles.h"
#include "app/texts/KazTexts.h"
#include "tools/kazdata/BankSource.h"
#include "tools/kazdata/Commands.h"
#include "tools/kazdata/TableWriter.h"

namespace kazdata {
namespace {

std::string SourceName(int variant) {
    char number[12];
    std::snprintf(number, sizeof number, "%02d", variant);
    return std::string("kaz") + number + ".txt";
}

}  // namespace

int RunBuild(const Args& args) {
    for (const std::string& a : args) {
        if (a.rfind("--", 0) == 0) throw UsageError{"unknown option " + a};
    }
    if (args.size() != 2) throw UsageError{"expected SOURCES and OUTDIR"};
    const std::filesystem::path sources(args[0]);
    const std::filesystem::path out(args[1]);

    // Check every source before writing anything.
    std::vector<std::vector<EncodedQuestion>> variants(kaztexts::kVariantCount);
    size_t problemCount = 0;
    for (int v = 1; v <= kaztexts::kVariantCount; ++v) {
        const std::string path = (sources / SourceName(v)).string();
        Problems problems;
        if (!BankSource::Load(path, BankFormat{}, variants[v - 1], problems)) {
            BankSource::Print(path, problems);
            problemCount += problems.size();
        }
    }
    if (problemCount > 0) {
        std::fprintf(stderr, "kazdata build: %zu problem%s; nothing written\n", problemCount,
                     problemCount == 1 ? "" : "s");
        return 1;
    }

    std::filesystem::create_directories(out);
    size_t total = 0;
    for (int v = 1; v <= kaztexts::kVariantCount; ++v) {
        TableWriter::WriteVariant((out / kaztexts::QuestionTableName(v)).string(), variants[v - 1]);
        total += variants[v - 1].size();
    }
    TableWriter::WriteNameTable((out / kaztexts::kNameTable).string());
    TableWriter::WriteInfoTable((out / kaztexts::kInfoTable).string());
    std::printf("%s: %d variants, %zu questions, empty %s and %s\n", out.string().c_str(),
                kaztexts::kVariantCount, total, std::string(kaztexts::kNameTable).c_str(),
                std::string(kaztexts::kInfoTable).c_str());
    return 0;
}

}  // namespace kazdata

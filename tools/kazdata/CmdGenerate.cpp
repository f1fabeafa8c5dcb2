// kazdata generate: the Aiken source of a generated variant.

#include <cstdio>
#include <fstream>
#include <stdexcept>

#include "tools/kazdata/Commands.h"
#include "tools/kazdata/StagedFile.h"
#include "tools/kazdata/VariantGenerator.h"

namespace kazdata {

int RunGenerate(const Args& args) {
    if (args.empty() || args.size() > 2) throw UsageError{"expected N and at most one FILE"};
    int variant = 0;
    try {
        size_t used = 0;
        variant = std::stoi(args[0], &used);
        if (used != args[0].size()) variant = 0;
    } catch (const std::exception&) {
        variant = 0;
    }
    if (variant < 1 || variant > 999) throw UsageError{"N must be a variant number from 1 to 999"};
    const std::string text = VariantGenerator::Generate(variant);
    if (args.size() == 1) {
        std::fwrite(text.data(), 1, text.size(), stdout);
        return 0;
    }
    StagedFile staged(args[1]);
    {
        std::ofstream out(staged.TempPath(), std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.close();
        if (!out) throw std::runtime_error("cannot write " + args[1]);
    }
    staged.Commit();
    return 0;
}

}  // namespace kazdata

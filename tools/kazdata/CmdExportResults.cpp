// kazdata export-results: the results log as a CSV file, as the results window exports it.

#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "app/tables/ResultsCsv.h"
#include "dataset/RidedezDataSet.h"
#include "tools/kazdata/Commands.h"
#include "tools/kazdata/StagedFile.h"

namespace kazdata {

int RunExportResults(const Args& args) {
    for (const std::string& a : args) {
        if (a.rfind("--", 0) == 0) throw UsageError{"unknown option " + a};
    }
    if (args.size() != 2) throw UsageError{"expected INFO.DBF and OUT.csv"};
    const std::filesystem::path table(args[0]);
    TRidedezDataSet info;
    info.SetDatabaseName(table.has_parent_path() ? table.parent_path().string() : std::string("."));
    info.SetTableName(table.filename().string());
    info.SetTranslateASCII(true);
    info.SetReadOnly(true);
    info.Open();
    const std::string csv = ResultsCsv(info);
    info.Close();

    StagedFile out(args[1]);
    std::FILE* f = std::fopen(out.TempPath().c_str(), "wb");
    if (!f) throw std::runtime_error("cannot write " + args[1]);
    const bool written = std::fwrite(csv.data(), 1, csv.size(), f) == csv.size();
    if (std::fclose(f) != 0 || !written) throw std::runtime_error("cannot write " + args[1]);
    out.Commit();
    return 0;
}

}  // namespace kazdata

#pragma once
// The commands of the kazdata tool, one file each.

#include <string>
#include <vector>

namespace kazdata {

using Args = std::vector<std::string>;

// A command line the command cannot take; main prints it with the usage.
struct UsageError {
    std::string message;
};

// Each answers the exit status: 0 done, 1 bad input (reported on standard error).
int RunBuild(const Args& args);
int RunImport(const Args& args);
int RunGenerate(const Args& args);
int RunExport(const Args& args);
int RunCheck(const Args& args);
int RunExportResults(const Args& args);

}  // namespace kazdata

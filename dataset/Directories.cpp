#include "dataset/Directories.h"

#include <filesystem>
#include <mutex>

#include "dataset/AliasList.h"
#include "engine/platform/Locale.h"

namespace {

std::mutex gMutex;
std::function<std::string()>& ExecutableDirectoryFunction() {
    static std::function<std::string()> fn;
    return fn;
}

std::string RunningProgramDirectory() {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return "";
    return exe.parent_path().string();
}

bool IsDefaultDirectory(const std::string& name) {
    const platform::Locale& loc = platform::CurrentLocale();
    return loc.UpperCase(name) == loc.UpperCase(kDefaultDirectoryName);
}

std::string WithSlash(std::string dir) {
    if (!dir.empty() && dir.back() != '/') dir += '/';
    return dir;
}

}  // namespace

std::string ExecutableDirectory() {
    std::function<std::string()> fn;
    {
        std::lock_guard<std::mutex> g(gMutex);
        fn = ExecutableDirectoryFunction();
    }
    return WithSlash(fn ? fn() : RunningProgramDirectory());
}

void SetExecutableDirectoryFunction(std::function<std::string()> fn) {
    std::lock_guard<std::mutex> g(gMutex);
    ExecutableDirectoryFunction() = std::move(fn);
}

std::string NormaliseDatabaseName(const std::string& value) {
    if (IsDefaultDirectory(value)) return value;
    std::string name = platform::CurrentLocale().UpperCase(value);
    if (!name.empty() && name.back() == '/') name.pop_back();
    TAliasList& aliases = TAliasList::Instance();
    if (!name.empty() && aliases.Directory(name).empty()) aliases.Append(name, name);
    return name;
}

std::string TableDirectory(const std::string& databaseName) {
    if (IsDefaultDirectory(databaseName)) return ExecutableDirectory();
    const std::string upper = platform::CurrentLocale().UpperCase(databaseName);
    std::string dir = TAliasList::Instance().Directory(upper);
    if (dir.empty()) dir = databaseName;
    return WithSlash(dir);
}

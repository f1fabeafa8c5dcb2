// dbf: look into, create and convert xBase tables from the command line.

#include <algorithm>
#include <cstdio>
#include <exception>

#include "tools/dbf/Verbs.h"

namespace dbftool {

namespace {
std::vector<Verb>& Registry() {
    static std::vector<Verb> verbs;
    return verbs;
}
}  // namespace

bool RegisterVerb(const Verb& verb) {
    Registry().push_back(verb);
    return true;
}

const std::vector<Verb>& AllVerbs() { return Registry(); }

std::string HeaderDate(int year, int month, int day) {
    if (month < 1 || month > 12 || day < 1 || day > 31) return "";
    // Writers store years since 1900 or the year modulo 100.
    int full = year >= 100 ? 1900 + year : (year < 80 ? 2000 + year : 1900 + year);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", full, month, day);
    return buf;
}

}  // namespace dbftool

namespace {

void PrintHelp(FILE* out) {
    std::fprintf(out,
                 "dbf - look into, create and convert xBase tables\n\n"
                 "usage: dbf VERB ARGUMENTS...\n       dbf --help | dbf VERB --help\n\n");
    for (const dbftool::Verb& v : dbftool::AllVerbs()) {
        std::fprintf(out, "  %s\n%s\n", v.usage.c_str(), v.help.c_str());
    }
    std::fprintf(out,
                 "Errors go to standard error with the engine's message; the exit status is\n"
                 "0 on success, 1 when the table or input is bad, 2 for a bad command line.\n");
}

}  // namespace

int main(int argc, char** argv) {
    dbftool::Args args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        PrintHelp(args.empty() ? stderr : stdout);
        return args.empty() ? 2 : 0;
    }
    for (const dbftool::Verb& v : dbftool::AllVerbs()) {
        if (v.name != args[0]) continue;
        dbftool::Args rest(args.begin() + 1, args.end());
        for (const std::string& a : rest) {
            if (a == "--") break;
            if (a == "--help" || a == "-h") {
                std::printf("usage: %s\n%s", v.usage.c_str(), v.help.c_str());
                return 0;
            }
        }
        try {
            return v.run(rest);
        } catch (const dbftool::UsageError& e) {
            std::fprintf(stderr, "dbf %s: %s\nusage: %s\n", v.name.c_str(), e.message.c_str(),
                         v.usage.c_str());
            return 2;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "dbf %s: %s\n", v.name.c_str(), e.what());
            return 1;
        }
    }
    std::fprintf(stderr, "dbf: unknown verb '%s' (dbf --help lists them)\n", args[0].c_str());
    return 2;
}

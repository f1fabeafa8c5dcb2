#pragma once
// The verbs of the dbf tool. Each verb lives in its own file and registers itself.

#include <string>
#include <vector>

namespace dbftool {

using Args = std::vector<std::string>;

struct Verb {
    std::string name;
    std::string usage;  // one line: "dbf info FILE"
    std::string help;   // what it does and its options, a few lines
    int (*run)(const Args& args);
};

// Registers a verb; call from a static initializer in the verb's file.
bool RegisterVerb(const Verb& verb);
const std::vector<Verb>& AllVerbs();

// Thrown for a command line the verb cannot take; main prints it with the usage.
struct UsageError {
    std::string message;
};

// "yyyy-mm-dd" of a header's last-update bytes, or "" when they are not a date.
std::string HeaderDate(int year, int month, int day);

}  // namespace dbftool

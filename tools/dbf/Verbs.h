#pragma once
// The verbs of the dbf tool. Each verb lives in its own file and registers itself.

#include <functional>
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

// Reads the command line of a verb that takes options and exactly one FILE. Each option
// ("--name") goes to `option` with the argument after it as its value when `valued` names
// it (an empty value otherwise); `option` answers false for one the verb does not know.
// Answers FILE; raises UsageError for a missing value, an unknown option, no FILE or two.
std::string ParseFileArgs(const Args& args, const std::vector<std::string>& valued,
                          const std::function<bool(const std::string& name, const std::string& value)>& option);

// "yyyy-mm-dd" of a header's last-update bytes, or "" when they are not a date.
std::string HeaderDate(int year, int month, int day);

}  // namespace dbftool

#pragma once
// The command line of a verb, read by one declarative parser: each verb lists its
// positional arguments and its options, and the parser refuses anything else with a
// UsageError (exit 2). Options are "--name" flags or "--name VALUE" / "--name=VALUE";
// they may come before, between or after the positionals; "--" ends the options, so that
// an argument after it is positional even when it starts with "--".

#include <map>
#include <set>
#include <string>
#include <vector>

#include "tools/dbf/Verbs.h"

namespace dbftool {

struct OptionDef {
    std::string name;     // "--format"
    bool valued = false;  // takes the argument after it (or after "=") as its value
    int arity = 1;        // a valued option's number of arguments ("--range LOW HIGH": 2;
                          // only the first may follow "=")
};

struct CommandSyntax {
    std::vector<std::string> positionals;  // required, in order: {"FILE", "EXPR"}
    std::string morePositionals;           // name of further ones allowed ("FIELD"), or ""
    std::vector<OptionDef> options;
};

class CommandLine {
public:
    const std::vector<std::string>& Positionals() const { return positionals_; }
    const std::string& Positional(size_t i) const { return positionals_.at(i); }
    bool Has(const std::string& option) const {
        return flags_.count(option) > 0 || values_.count(option) > 0;
    }
    // The value of a valued option (the last one given), or `fallback`.
    std::string Value(const std::string& option, const std::string& fallback = "") const;
    // Every argument of a valued option (the last one given); empty when not given.
    std::vector<std::string> Values(const std::string& option) const;

private:
    friend CommandLine ParseCommandLine(const CommandSyntax& syntax, const Args& args);
    std::vector<std::string> positionals_;
    std::set<std::string> flags_;
    std::map<std::string, std::vector<std::string>> values_;
};

// Raises UsageError: "unknown option --x", "--x needs a value" ("--x needs 2 values"), "--x takes no value",
// "no FILE given", "expected exactly one FILE" (a verb of one positional) or "unexpected
// argument 'x'".
CommandLine ParseCommandLine(const CommandSyntax& syntax, const Args& args);

}  // namespace dbftool

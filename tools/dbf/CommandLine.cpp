#include "tools/dbf/CommandLine.h"

namespace dbftool {

std::string CommandLine::Value(const std::string& option, const std::string& fallback) const {
    auto it = values_.find(option);
    return it == values_.end() || it->second.empty() ? fallback : it->second.front();
}

std::vector<std::string> CommandLine::Values(const std::string& option) const {
    auto it = values_.find(option);
    return it == values_.end() ? std::vector<std::string>{} : it->second;
}

CommandLine ParseCommandLine(const CommandSyntax& syntax, const Args& args) {
    CommandLine line;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (!optionsEnded && a == "--") {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || a.size() <= 2 || a.compare(0, 2, "--") != 0) {
            line.positionals_.push_back(a);
            continue;
        }
        const size_t eq = a.find('=');
        const std::string name = a.substr(0, eq);
        const OptionDef* option = nullptr;
        for (const OptionDef& o : syntax.options) {
            if (o.name == name) option = &o;
        }
        if (!option) throw UsageError{"unknown option " + name};
        if (!option->valued) {
            if (eq != std::string::npos) throw UsageError{name + " takes no value"};
            line.flags_.insert(name);
        } else {
            std::vector<std::string> values;
            if (eq != std::string::npos) values.push_back(a.substr(eq + 1));
            while (static_cast<int>(values.size()) < option->arity) {
                if (i + 1 >= args.size())
                    throw UsageError{name + (option->arity == 1 ? " needs a value"
                                                                : " needs " + std::to_string(option->arity) + " values")};
                values.push_back(args[++i]);
            }
            line.values_[name] = std::move(values);
        }
    }
    const size_t given = line.positionals_.size();
    const size_t wanted = syntax.positionals.size();
    if (given < wanted) throw UsageError{"no " + syntax.positionals[given] + " given"};
    if (given > wanted && syntax.morePositionals.empty()) {
        if (wanted == 1) throw UsageError{"expected exactly one " + syntax.positionals[0]};
        throw UsageError{"unexpected argument '" + line.positionals_[wanted] + "'"};
    }
    return line;
}

}  // namespace dbftool

#pragma once
// An ordered list of functions that owns them.

#include <memory>
#include <string>
#include <vector>

#include "index/expr/TgsUserDefFunction.h"

class TgsFunctionReg {
public:
    void Add(std::unique_ptr<TgsUserDefFunction> function) {
        functions_.push_back(std::move(function));
    }
    // The first entry named exactly `name` (upper case), or null.
    TgsUserDefFunction* Find(const std::string& name) const {
        for (const auto& f : functions_)
            if (f->FunctionName() == name) return f.get();
        return nullptr;
    }
    size_t Count() const { return functions_.size(); }
    TgsUserDefFunction& At(size_t i) const { return *functions_.at(i); }

private:
    std::vector<std::unique_ptr<TgsUserDefFunction>> functions_;
};

// The built-in functions, ALLTRIM to VAL in alphabetical order, shared by every
// expression; made on first use and kept to the end of the process.
const TgsFunctionReg& GlobalFunctionRegistry();

#pragma once
// An ordered list of field variables that owns them.

#include <memory>
#include <string>
#include <vector>

#include "index/expr/TgsUserDefFieldVar.h"

class TgsFieldVarReg {
public:
    void Add(std::unique_ptr<TgsUserDefFieldVar> var) { vars_.push_back(std::move(var)); }
    // The first entry named exactly `name` (upper case), or null.
    TgsUserDefFieldVar* Find(const std::string& name) const {
        for (const auto& v : vars_)
            if (v->FieldVarName() == name) return v.get();
        return nullptr;
    }
    size_t Count() const { return vars_.size(); }
    TgsUserDefFieldVar& At(size_t i) const { return *vars_.at(i); }

private:
    std::vector<std::unique_ptr<TgsUserDefFieldVar>> vars_;
};

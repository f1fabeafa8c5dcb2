#pragma once
// What a table (or a test) lends its expressions: functions and field variables by
// name, and the default width of STR().

#include <memory>
#include <string>

#include "index/expr/TgsFieldVarReg.h"
#include "index/expr/TgsFunctionReg.h"

class TgsExpUserLink {
public:
    virtual ~TgsExpUserLink() = default;

    // The registries own what is added.
    void AddFunction(std::unique_ptr<TgsUserDefFunction> function) {
        functions_.Add(std::move(function));
    }
    void AddFieldVar(std::unique_ptr<TgsUserDefFieldVar> var) { fieldVars_.Add(std::move(var)); }

    // Names are compared exactly: callers pass upper-case names.
    virtual TgsUserDefFunction* FindFunction(const std::string& name) const {
        return functions_.Find(name);
    }
    virtual TgsUserDefFieldVar* FindFieldVar(const std::string& name) const {
        return fieldVars_.Find(name);
    }

    const TgsFunctionReg& Functions() const { return functions_; }
    const TgsFieldVarReg& FieldVars() const { return fieldVars_; }

    int32_t strDefaultWidth = 10;

private:
    TgsFunctionReg functions_;
    TgsFieldVarReg fieldVars_;
};

#pragma once
// The base of every field variable an expression can name.

#include <cstdint>
#include <string>

#include "index/expr/ExpKinds.h"

class TgsUserDefFieldVar {
public:
    // Keeps an upper-cased copy of the name.
    TgsUserDefFieldVar(const std::string& name, int32_t width, int32_t decimals);
    virtual ~TgsUserDefFieldVar() = default;

    virtual std::string FieldVarName() const { return name_; }
    // Writes the value into `buffer` and reports its kind; false in the base.
    virtual bool GetValue(TgsExpBuffer buffer, TgsExpKind& kind);

    const std::string& Name() const { return name_; }
    int32_t Width() const { return width_; }
    int32_t Decimals() const { return decimals_; }

protected:
    std::string name_;
    int32_t width_;
    int32_t decimals_;
};

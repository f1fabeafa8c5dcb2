#pragma once
// A numeric constant: the value with the width and decimals it was written with.

#include <string>

#include "index/expr/TgsExpBaseObject.h"

class TgsExpNumLit : public TgsExpBaseObject {
public:
    // `width` is the literal's character count, `decimals` its digits after the point.
    TgsExpNumLit(double value, int32_t width, int32_t decimals);
    std::string OwnText() const override;
    void Evaluate(TgsExpBuffer buffer, TgsExpKind& kind) override;
    double Value() const { return value_; }

private:
    double value_;
};

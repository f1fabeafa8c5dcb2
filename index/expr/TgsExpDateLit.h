#pragma once
// A date constant: a Julian day number, or the empty date.

#include <string>

#include "index/expr/TgsExpBaseObject.h"

class TgsExpDateLit : public TgsExpBaseObject {
public:
    // A Julian day number, or kEmptyDate.
    explicit TgsExpDateLit(double day);
    std::string OwnText() const override;
    void Evaluate(TgsExpBuffer buffer, TgsExpKind& kind) override;
    double Value() const { return value_; }

private:
    double value_;
};

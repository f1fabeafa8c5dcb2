#pragma once
// Built-in functions on numbers: rounding, VAL, STR and STRZERO.

#include "index/expr/UdfText.h"

XB_UDF(TgsUDFCeiling, TgsUserDefFunction, "CEILING");
XB_UDF(TgsUDFFloor, TgsUserDefFunction, "FLOOR");
XB_UDF(TgsUDFInt, TgsUserDefFunction, "INT");
XB_UDF(TgsUDFVal, TgsUserDefFunction, "VAL");
XB_UDF(TgsUDFStr, TgsUserDefFunction, "STR");

// STR with its leading blanks made zeros.
class TgsUDFStrZero : public TgsUDFStr {
public:
    std::string FunctionName() const override { return "STRZERO"; }
    bool Execute(TgsExpFunction& call, TgsExpBuffer buffer, TgsExpKind& kind) override;
};

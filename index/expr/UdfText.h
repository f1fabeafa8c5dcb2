#pragma once
// Built-in functions on texts: trimming, case, parts, character codes and SOUNDEX.

#include "index/expr/TgsUserDefFunction.h"

#define XB_UDF(Class, Base, Name)                                                       \
    class Class : public Base {                                                         \
    public:                                                                             \
        std::string FunctionName() const override { return Name; }                      \
        bool Execute(TgsExpFunction& call, TgsExpBuffer buffer, TgsExpKind& kind) override; \
    }

XB_UDF(TgsUDFAllTrim, TgsUserDefFunction, "ALLTRIM");
XB_UDF(TgsUDFLTrim, TgsUserDefFunction, "LTRIM");
XB_UDF(TgsUDFTrim, TgsUserDefFunction, "TRIM");
XB_UDF(TgsUDFUpper, TgsUserDefFunction, "UPPER");
XB_UDF(TgsUDFLower, TgsUserDefFunction, "LOWER");
XB_UDF(TgsUDFLeft, TgsUserDefFunction, "LEFT");
XB_UDF(TgsUDFRight, TgsUserDefFunction, "RIGHT");
XB_UDF(TgsUDFSubStr, TgsUserDefFunction, "SUBSTR");
XB_UDF(TgsUDFAsc, TgsUserDefFunction, "ASC");
XB_UDF(TgsUDFChr, TgsUserDefFunction, "CHR");
XB_UDF(TgsUDFSoundex, TgsUserDefFunction, "SOUNDEX");

// RTRIM is TRIM under its own name.
class TgsUDFRTrim : public TgsUDFTrim {
public:
    std::string FunctionName() const override { return "RTRIM"; }
};

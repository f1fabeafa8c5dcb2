#pragma once
// Built-in functions on values of any kind: DESCEND, EMPTY and IIF.

#include "index/expr/UdfText.h"

XB_UDF(TgsUDFDescend, TgsUserDefFunction, "DESCEND");
XB_UDF(TgsUDFEmpty, TgsUserDefFunction, "EMPTY");
XB_UDF(TgsUDFIif, TgsUserDefFunction, "IIF");

#pragma once
// Built-in functions on dates: CTOD, DATE, DTOC and DTOS.

#include "index/expr/UdfText.h"

XB_UDF(TgsUDFCtoD, TgsUserDefFunction, "CTOD");
XB_UDF(TgsUDFDate, TgsUserDefFunction, "DATE");
XB_UDF(TgsUDFDtoC, TgsUserDefFunction, "DTOC");
XB_UDF(TgsUDFDtoS, TgsUserDefFunction, "DTOS");

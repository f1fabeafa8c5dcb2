#pragma once
// The six functions every table lends its expressions: RECNO, DELETED, BOF, EOF, TYPE
// and LEN, evaluated against the table's current state.

#include "index/expr/TgsUserDefFunction.h"

class GSO_dBaseFld;
class TgsExpUserLink;

class TgslDBFFunction : public TgsUserDefFunction {
public:
    explicit TgslDBFFunction(GSO_dBaseFld& table) : table_(table) {}

protected:
    GSO_dBaseFld& table_;
};

#define XB_DBF_UDF(Class, Name)                                                         \
    class Class : public TgslDBFFunction {                                              \
    public:                                                                             \
        using TgslDBFFunction::TgslDBFFunction;                                         \
        std::string FunctionName() const override { return Name; }                      \
        bool Execute(TgsExpFunction& call, TgsExpBuffer buffer, TgsExpKind& kind) override; \
    }

XB_DBF_UDF(TgslDBFRecNo, "RECNO");      // the current record number
XB_DBF_UDF(TgslDBFDeleted, "DELETED");  // whether the current record is marked deleted
XB_DBF_UDF(TgslDBFBOF, "BOF");          // the beginning-of-file flag
XB_DBF_UDF(TgslDBFEOF, "EOF");          // the end-of-file flag
XB_DBF_UDF(TgslDBFType, "TYPE");        // the type letter of the named field
XB_DBF_UDF(TgslDBFLen, "LEN");          // the length of the named field

#undef XB_DBF_UDF

// Fills `link` with one TgslDBFFieldVars per field of `table` (in field order) and the
// six table functions. Call once the table's fields are known; the link must not
// outlive the table.
void TgslDBFRegisterTable(TgsExpUserLink& link, GSO_dBaseFld& table);

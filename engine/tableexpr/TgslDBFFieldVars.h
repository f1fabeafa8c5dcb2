#pragma once
// A table field as an expression's field variable: named after the field, reading the
// table's current record buffer.

#include "index/expr/TgsUserDefFieldVar.h"

class GSO_dBaseFld;

class TgslDBFFieldVars : public TgsUserDefFieldVar {
public:
    // `field` is 1-based. Width and decimals are the field's (a C field's full length,
    // decimals 0).
    TgslDBFFieldVars(GSO_dBaseFld& table, int field);

    // C: the text as stored, trailing blanks kept (cut to the buffer); D: the Julian day
    // (an empty field gives the empty date); F, N: the number; L: the logical; any other
    // type: a field reference (kind 9).
    bool GetValue(TgsExpBuffer buffer, TgsExpKind& kind) override;

    int Field() const { return field_; }

private:
    GSO_dBaseFld& table_;
    int field_;
    char type_;
    int32_t position_;
    int32_t length_;
};

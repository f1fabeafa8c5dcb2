#include "engine/tableexpr/TgslDBFFieldVars.h"

#include <cstring>

#include "engine/dBaseFld.h"

namespace {

const TgsDBFField& FieldOf(GSO_dBaseFld& table, int field) {
    return table.Fields().at(static_cast<size_t>(field - 1));
}

}  // namespace

TgslDBFFieldVars::TgslDBFFieldVars(GSO_dBaseFld& table, int field)
    : TgsUserDefFieldVar(FieldOf(table, field).name, FieldOf(table, field).length,
                         FieldOf(table, field).type == 'C' ? 0 : FieldOf(table, field).decimals),
      table_(table),
      field_(field),
      type_(FieldOf(table, field).type),
      position_(FieldOf(table, field).position),
      length_(FieldOf(table, field).length) {}

bool TgslDBFFieldVars::GetValue(TgsExpBuffer buffer, TgsExpKind& kind) {
    switch (type_) {
        case 'C': {
            // The field's bytes up to a zero byte, read in place: no copy per record.
            const char* p = reinterpret_cast<const char*>(table_.CurrentBuffer()) + position_;
            size_t n = static_cast<size_t>(length_);
            if (const void* nul = std::memchr(p, 0, n)) n = static_cast<size_t>(static_cast<const char*>(nul) - p);
            buffer.SetTextClamped(p, n);
            kind = expkind::Text;
            return true;
        }
        case 'D': {
            int32_t day = table_.GetDate(field_);
            buffer.SetNumber(day > 0 ? static_cast<double>(day) : kEmptyDate);
            kind = expkind::Date;
            return true;
        }
        case 'F':
        case 'N':
            buffer.SetNumber(table_.GetNumber(field_));
            kind = expkind::Number;
            return true;
        case 'L':
            buffer.SetLogical(table_.GetLogical(field_));
            kind = expkind::Logical;
            return true;
        default:
            buffer.SetFieldRef({&table_, field_});
            kind = expkind::Field;
            return true;
    }
}

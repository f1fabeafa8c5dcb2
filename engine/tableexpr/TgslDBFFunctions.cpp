#include "engine/tableexpr/TgslDBFFunctions.h"

#include "engine/dBaseFld.h"
#include "engine/platform/Locale.h"
#include "index/expr/TgsExpFunction.h"
#include "index/expr/TgsExpUserLink.h"
#include "engine/tableexpr/TgslDBFFieldVars.h"

namespace {

// The field named by argument 0, upper-cased; an unknown name is reported by the
// table's field lookup.
const TgsDBFField& NamedField(GSO_dBaseFld& table, TgsExpFunction& call, TgsExpBuffer buffer) {
    TgsExpKind k;
    TgsUserDefFunction::FetchArgument(call, 0, buffer, expkind::Text, k);
    std::string name = platform::CurrentLocale().UpperCase(std::string(buffer.Text(), buffer.TextLength()));
    return *table.FieldDescriptor(name);
}

}  // namespace

bool TgslDBFRecNo::Execute(TgsExpFunction&, TgsExpBuffer buffer, TgsExpKind& kind) {
    buffer.SetNumber(table_.RecordNumber());
    kind = expkind::Number;
    return true;
}

bool TgslDBFDeleted::Execute(TgsExpFunction&, TgsExpBuffer buffer, TgsExpKind& kind) {
    buffer.SetLogical(table_.IsDeleted());
    kind = expkind::Logical;
    return true;
}

bool TgslDBFBOF::Execute(TgsExpFunction&, TgsExpBuffer buffer, TgsExpKind& kind) {
    buffer.SetLogical(table_.Bof());
    kind = expkind::Logical;
    return true;
}

bool TgslDBFEOF::Execute(TgsExpFunction&, TgsExpBuffer buffer, TgsExpKind& kind) {
    buffer.SetLogical(table_.Eof());
    kind = expkind::Logical;
    return true;
}

bool TgslDBFType::Execute(TgsExpFunction& call, TgsExpBuffer buffer, TgsExpKind& kind) {
    const char type = NamedField(table_, call, buffer).type;
    buffer.SetText(&type, 1, "TYPE");
    kind = expkind::Text;
    return true;
}

bool TgslDBFLen::Execute(TgsExpFunction& call, TgsExpBuffer buffer, TgsExpKind& kind) {
    // The field's whole length: for a C field longer than 255 the decimals byte counts.
    buffer.SetNumber(NamedField(table_, call, buffer).length);
    kind = expkind::Number;
    return true;
}

void TgslDBFRegisterTable(TgsExpUserLink& link, GSO_dBaseFld& table) {
    for (int n = 1; n <= table.FieldCount(); ++n)
        link.AddFieldVar(std::make_unique<TgslDBFFieldVars>(table, n));
    link.AddFunction(std::make_unique<TgslDBFRecNo>(table));
    link.AddFunction(std::make_unique<TgslDBFDeleted>(table));
    link.AddFunction(std::make_unique<TgslDBFBOF>(table));
    link.AddFunction(std::make_unique<TgslDBFEOF>(table));
    link.AddFunction(std::make_unique<TgslDBFType>(table));
    link.AddFunction(std::make_unique<TgslDBFLen>(table));
}

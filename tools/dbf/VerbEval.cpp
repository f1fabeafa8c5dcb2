#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/DBFDate.h"
#include "engine/ErrorCodes.h"
#include "engine/ErrorHandler.h"
#include "engine/dBHandler.h"
#include "index/expr/TgsExpHandler.h"
#include "index/expr/TgsExpUserLink.h"
#include "engine/tableexpr/TgslDBFFunctions.h"
#include "tools/dbf/CommandLine.h"
#include "tools/dbf/Json.h"
#include "tools/dbf/Verbs.h"

namespace dbftool {
namespace {

// One record's line: {"_recno": N, "kind": ..., "value": ...}.
std::string Line(TgsExpHandler& h, GSO_dBHandler& table) {
    char buffer[kExpOperandBuffer];
    h.Evaluate(buffer, sizeof buffer);
    TgsExpBuffer b{buffer, sizeof buffer};
    JsonObject out;
    out.Int("_recno", table.RecordNumber());
    switch (h.ResultType()) {
        case expkind::Text:
            out.Text("kind", "text").Text("value", std::string(b.Text(), b.TextLength()));
            break;
        case expkind::Number:
        case expkind::Number5:
        case expkind::Number7:
            out.Text("kind", "number").Raw("value", JsonNumber(b.Number()));
            break;
        case expkind::Date: {
            double v = b.Number();
            std::string value = "null";
            if (v > 0 && v <= 2147483647.0) {
                int y, m, d;
                TgsDBFDate::Instance().JulianSplit(static_cast<int32_t>(v), y, m, d);
                char text[48];
                std::snprintf(text, sizeof text, "%04d-%02d-%02d", y, m, d);
                value = JsonString(text);
            }
            out.Text("kind", "date").Raw("value", value);
            break;
        }
        case expkind::Logical:
            out.Text("kind", "logical").Bool("value", b.Logical());
            break;
        case expkind::Field: {
            TgsExpFieldRef ref = b.FieldRef();
            out.Text("kind", "field").Text("value", table.FieldName(ref.field));
            break;
        }
        default:
            out.Text("kind", "none").Raw("value", "null");
            break;
    }
    return out.Str();
}

int RunEval(const Args& args) {
    const CommandLine line = ParseCommandLine({{"FILE", "EXPR"}, "", {{"--recno", true}}}, args);
    const std::string& file = line.Positional(0);
    const std::string& expression = line.Positional(1);
    const bool one = line.Has("--recno");
    long recno = 0;
    if (one) {
        const std::string text = line.Value("--recno");
        char* end = nullptr;
        recno = std::strtol(text.c_str(), &end, 10);
        if (text.empty() || !end || *end || recno < 1 || recno > 2147483647L) {
            throw UsageError{"--recno takes a record number from 1"};
        }
    }

    auto table = GSO_dBHandler::Open(file, false, true);
    TgsExpUserLink link;
    TgslDBFRegisterTable(link, *table);
    if (one) {
        if (recno > table->RecordCount()) ReportEngineError(gsErr::kBeyondEof, gsSub::kRecord, file);
        table->GoRecord(static_cast<int32_t>(recno));
    } else if (table->RecordCount() == 0) {
        table->BlankRecord();
    } else {
        table->SetReadAhead(true);
        table->GoRecord(gsMoveTop);
    }
    // Built against the record now current, as every handler is.
    TgsExpHandler h(&link, false, expression);
    if (one || table->RecordCount() == 0) {
        std::printf("%s\n", Line(h, *table).c_str());
        return 0;
    }
    while (!table->Eof()) {
        std::printf("%s\n", Line(h, *table).c_str());
        table->GoRecord(gsMoveNext);
    }
    return 0;
}

const bool registered = RegisterVerb(
    {"eval", "dbf eval FILE [--recno N] [--] EXPR",
     "    Evaluates an xBase expression (an index key, a filter) for every record, or for\n"
     "    record N, and prints one JSON object per record: _recno, kind (text, number,\n"
     "    date, logical, field) and value (dates as yyyy-mm-dd or null). A table with no\n"
     "    records gives one line for a blank record. An expression error exits with 1.\n"
     "    Put -- before an expression that starts with \"--\".\n",
     RunEval});

}  // namespace
}  // namespace dbftool

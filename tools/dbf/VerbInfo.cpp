#include <cstdio>

#include "engine/DbfLayout.h"
#include "engine/DiskFile.h"
#include "tools/dbf/CommandLine.h"
#include "tools/dbf/Json.h"
#include "tools/dbf/Verbs.h"

namespace dbftool {
namespace {

int RunInfo(const Args& args) {
    const CommandLine line = ParseCommandLine({{"FILE"}, "", {}}, args);
    GSO_DiskFile file(line.Positional(0), false, true);
    file.Open();
    TgsDBFLayout layout;
    layout.Read(file);
    const TgsDBFHeader& h = layout.header;
    std::string fields = "[";
    for (const TgsDBFField& f : layout.fields) {
        if (fields.size() > 1) fields += ", ";
        fields += JsonObject()
                      .Text("name", f.name)
                      .Text("type", std::string(1, f.type))
                      .Int("length", f.length)
                      .Int("decimals", f.decimals)
                      .Str();
    }
    fields += "]";
    std::string date = HeaderDate(h.StoredYear(), h.StoredMonth(), h.StoredDay());
    std::string out = JsonObject()
                          .Int("version", h.Version())
                          .Int("records", layout.recordCount)
                          .Int("header_length", h.HeaderLength())
                          .Int("record_length", h.RecordLength())
                          .Int("flags", h.bytes[28])
                          .Int("language_driver", h.LanguageDriver())
                          .Raw("last_update", date.empty() ? "null" : JsonString(date))
                          .Raw("fields", fields)
                          .Str();
    std::printf("%s\n", out.c_str());
    return 0;
}

const bool registered = RegisterVerb(
    {"info", "dbf info FILE",
     "    Prints the table's header as one JSON object: version, records (from the file\n"
     "    size), header_length, record_length, flags, language_driver, last_update\n"
     "    (yyyy-mm-dd) and fields (name, type, length, decimals).\n",
     RunInfo});

}  // namespace
}  // namespace dbftool

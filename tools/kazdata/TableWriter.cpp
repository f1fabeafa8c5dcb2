#include "tools/kazdata/TableWriter.h"

#include <algorithm>
#include <stdexcept>

#include "app/texts/DataFiles.h"
#include "engine/DbfCreate.h"
#include "engine/dBHandler.h"
#include "tools/kazdata/StagedFile.h"

namespace kazdata {
namespace {

// dBase III tables without memo; language driver bytes: Windows Cyrillic for the question
// tables (display bytes), Russian DOS for the two tables the program keeps in OEM text.
constexpr uint8_t kVersion = 0x03;
constexpr uint8_t kDriverWindowsCyrillic = 0xC9;
constexpr uint8_t kDriverDosRussian = 0x26;

// Wide enough for the longest text of the column, in steps of ten.
int ColumnWidth(const std::vector<EncodedQuestion>& questions, size_t column) {
    size_t longest = 1;
    for (const EncodedQuestion& q : questions) longest = std::max(longest, q.fields[column].size());
    const size_t width = (longest + 9) / 10 * 10;
    return static_cast<int>(std::min<size_t>(width, 254));
}

void CreateEmpty(const std::string& path, const std::vector<TgsFieldDef>& fields, uint8_t driver) {
    StagedFile staged(path);
    TgsCreateOptions options;
    options.languageDriver = driver;
    options.overwrite = true;
    CreateDBFTable(staged.TempPath(), kVersion, fields, options);
    staged.Commit();
}

}  // namespace

void TableWriter::WriteVariant(const std::string& path,
                               const std::vector<EncodedQuestion>& questions) {
    const auto& names = kaztexts::kQuestionFields;
    std::vector<TgsFieldDef> fields;
    for (size_t i = 0; i < names.size(); ++i) {
        fields.push_back(TgsFieldDef{std::string(names[i]), 'C', ColumnWidth(questions, i), 0});
    }
    StagedFile staged(path);
    TgsCreateOptions options;
    options.languageDriver = kDriverWindowsCyrillic;
    options.overwrite = true;
    CreateDBFTable(staged.TempPath(), kVersion, fields, options);
    {
        std::unique_ptr<GSO_dBHandler> table = GSO_dBHandler::Open(staged.TempPath(), true, false);
        for (const EncodedQuestion& q : questions) {
            table->BlankRecord();
            for (size_t i = 0; i < names.size(); ++i) {
                if (!table->PutTextByName(std::string(names[i]), q.fields[i])) {
                    throw std::runtime_error("cannot store field " + std::string(names[i]));
                }
            }
            table->AddRecord();
        }
        table->CloseTable();
    }
    staged.Commit();
}

void TableWriter::WriteNameTable(const std::string& path) {
    CreateEmpty(path, {TgsFieldDef{std::string(kaztexts::kNameField), 'C', 15, 0}},
                kDriverDosRussian);
}

void TableWriter::WriteInfoTable(const std::string& path) {
    const auto& f = kaztexts::kInfoFields;
    auto def = [](std::string_view name, char type, int length) {
        return TgsFieldDef{std::string(name), type, length, 0};
    };
    CreateEmpty(path,
                {def(f[0], 'C', 15), def(f[1], 'C', 2), def(f[2], 'N', 3), def(f[3], 'N', 3),
                 def(f[4], 'D', 0)},
                kDriverDosRussian);
}

}  // namespace kazdata

// kazdata check: whether tables are fit for the program. Question tables need the fields
// Input and A to E and at least one question; NAME.DBF the character field Name;
// INFO.DBF the fields NAME, VARIANT, COUNT, TRUECOUNT and DATE as the program binds them.
// Every table's header must count the records its file holds.

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/tables/TableCheck.h"
#include "app/texts/DataFiles.h"
#include "engine/DbfHeader.h"
#include "engine/dBHandler.h"
#include "tools/kazdata/Commands.h"

namespace kazdata {
namespace {

enum class TableKind { Questions, Names, Results };

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

TableKind KindOf(const std::string& path) {
    const std::string name = Upper(std::filesystem::path(path).filename().string());
    if (name == Upper(std::string(kaztexts::kNameTable))) return TableKind::Names;
    if (name == Upper(std::string(kaztexts::kInfoTable))) return TableKind::Results;
    return TableKind::Questions;
}

std::string Trimmed(std::string s) {
    const size_t end = s.find_last_not_of(' ');
    s.erase(end == std::string::npos ? 0 : end + 1);
    return s;
}

const TgsDBFField* FindField(const GSO_dBHandler& t, std::string_view name) {
    for (const TgsDBFField& f : t.Fields())
        if (FieldNameMatches(f, std::string(name))) return &f;
    return nullptr;
}

struct Checker {
    std::string path;
    std::vector<std::string> problems;

    void Problem(const std::string& text) { problems.push_back(text); }

    // The field exists with one of `types`; numbers narrower than 5 digits when `smallInt`.
    bool Field(const GSO_dBHandler& t, std::string_view name, std::string_view types, bool smallInt = false) {
        const TgsDBFField* f = FindField(t, name);
        if (!f) {
            Problem("no field " + std::string(name));
            return false;
        }
        if (types.find(f->type) == std::string_view::npos) {
            Problem("field " + std::string(name) + " is of type " + std::string(1, f->type) + ", not " +
                    std::string(types));
            return false;
        }
        if (smallInt && (f->length < 1 || f->length > 4 || f->decimals != 0)) {
            Problem("field " + std::string(name) + " is N(" + std::to_string(f->length) + "," +
                    std::to_string(f->decimals) + "); the program needs at most 4 digits and no decimals");
            return false;
        }
        return true;
    }

    void Counts(GSO_dBHandler& t) {
        const RecordCountCheck c = CheckRecordCount(t);
        if (!c.Agrees())
            Problem("the header counts " + std::to_string(c.headerCount) + " records, the file holds " +
                    std::to_string(c.wholeRecords));
        const int64_t rest =
            t.FileSize() - t.HeaderLength() - int64_t(c.wholeRecords) * std::max<int64_t>(1, t.RecordLength());
        if (rest > 1)
            Problem("the file ends inside record " + std::to_string(c.wholeRecords + 1) + " (" + std::to_string(rest) +
                    " of " + std::to_string(t.RecordLength()) + " bytes)");
    }

    void Questions(GSO_dBHandler& t) {
        bool fields = true;
        for (std::string_view f : kaztexts::kQuestionFields) fields = Field(t, f, "CM") && fields;
        if (!fields) return;
        int questions = 0;
        t.SetUseDeleted(false);
        for (t.GoRecord(gsMoveTop); !t.Eof(); t.GoRecord(gsMoveNext)) {
            ++questions;
            const std::string at = "record " + std::to_string(t.RecordNumber()) + ": ";
            std::vector<std::string> texts;
            for (std::string_view f : kaztexts::kQuestionFields) {
                texts.push_back(Trimmed(t.GetTextByName(std::string(f))));
                if (texts.back().empty()) Problem(at + "field " + std::string(f) + " is blank");
            }
            for (size_t i = 1; i < texts.size(); ++i)
                for (size_t j = i + 1; j < texts.size(); ++j)
                    if (!texts[i].empty() && texts[i] == texts[j])
                        Problem(at + "answers " + std::string(kaztexts::kQuestionFields[i]) + " and " +
                                std::string(kaztexts::kQuestionFields[j]) + " are the same");
        }
        if (questions == 0) Problem("holds no questions");
    }

    void Run() {
        std::unique_ptr<GSO_dBHandler> t;
        try {
            t = GSO_dBHandler::Open(path, false, true);
        } catch (const std::exception& e) {
            Problem(e.what());
            return;
        }
        Counts(*t);
        switch (KindOf(path)) {
            case TableKind::Names: Field(*t, kaztexts::kNameField, "C"); break;
            case TableKind::Results: {
                const auto& f = kaztexts::kInfoFields;
                Field(*t, f[0], "C");
                Field(*t, f[1], "C");
                Field(*t, f[2], "N", true);
                Field(*t, f[3], "N", true);
                Field(*t, f[4], "D");
                break;
            }
            case TableKind::Questions: Questions(*t); break;
        }
    }
};

}  // namespace

int RunCheck(const Args& args) {
    for (const std::string& a : args) {
        if (a.rfind("--", 0) == 0) throw UsageError{"unknown option " + a};
    }
    if (args.empty()) throw UsageError{"expected at least one TABLE"};
    bool allGood = true;
    for (const std::string& path : args) {
        Checker c{path, {}};
        c.Run();
        if (c.problems.empty()) {
            std::printf("%s: ok\n", path.c_str());
            continue;
        }
        allGood = false;
        for (const std::string& p : c.problems) std::printf("%s: %s\n", path.c_str(), p.c_str());
    }
    return allGood ? 0 : 1;
}

}  // namespace kazdata

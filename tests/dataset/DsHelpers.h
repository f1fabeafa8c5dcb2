#pragma once
// Helpers of the dataset tests: tables made by the creation facility and filled through
// the dataset or the table object, the program's three datasets, a fixed clock, and
// error capture.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "dataset/RidedezDataSet.h"
#include "engine/DbfCreate.h"
#include "engine/Exception.h"
#include "engine/dBHandler.h"
#include "engine/platform/Clock.h"
#include "engine/platform/Locale.h"
#include "engine/platform/Paths.h"

namespace dstest {

// The text of the exception `f` raises, or "" when it raises none.
inline std::string ErrorText(const std::function<void()>& f) {
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "";
}

// The kind of exception: 'D' database error, 'R' engine error, 'O' other, 0 none.
inline char ErrorKind(const std::function<void()>& f) {
    try {
        f();
    } catch (const EDatabaseError&) {
        return 'D';
    } catch (const ERidedezError&) {
        return 'R';
    } catch (...) {
        return 'O';
    }
    return 0;
}

inline std::vector<TgsFieldDef> Defs(const std::vector<std::string>& definitions) {
    std::vector<TgsFieldDef> out;
    for (const auto& s : definitions) out.push_back(ParseFieldDef(s));
    return out;
}

// Appends records of raw field texts through the table object (no translation).
inline void AppendRaw(const std::string& path, const std::vector<std::vector<std::string>>& rows) {
    auto t = GSO_dBHandler::Open(path, true, false);
    for (const auto& row : rows) {
        t->BlankRecord();
        for (size_t i = 0; i < row.size(); ++i) t->PutText(static_cast<int>(i + 1), row[i]);
        t->AddRecord();
    }
    t->CloseTable();
}

// Marks record n deleted through the table object.
inline void MarkDeleted(const std::string& path, int32_t n) {
    auto t = GSO_dBHandler::Open(path, true, false);
    t->GoRecord(n);
    t->DeleteRecord();
    t->CloseTable();
}

// The program's name table: NAME.DBF with one text field "Name", opened exclusively with
// translation, in `dir` (through DatabaseName).
inline void ConfigureExclusive(TRidedezDataSet& ds, const std::string& dir, const std::string& table) {
    ds.SetDatabaseName(dir);
    ds.SetTableName(table);
    ds.SetExclusive(true);
    ds.SetTranslateASCII(true);
    ds.SetUseDeleted(false);
}

// Installs a fixed clock for the lifetime of the object.
class FixedTime {
public:
    explicit FixedTime(platform::DateTime t) : clock_(std::make_shared<platform::FixedClock>(t)) {
        previous_ = platform::SetClock(clock_);
    }
    ~FixedTime() { platform::SetClock(previous_); }
    platform::FixedClock& Clock() { return *clock_; }

private:
    std::shared_ptr<platform::FixedClock> clock_;
    std::shared_ptr<platform::Clock> previous_;
};

// Bytes written as hexadecimal pairs ("C0F1") as a string.
inline std::string Bytes(const std::string& hex) {
    std::string out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return out;
}

inline std::string Hex(const std::string& bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

}  // namespace dstest

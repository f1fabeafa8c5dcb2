#pragma once
// One field of the current record as the tool prints it: null, a logical, a number (as
// JSON number text) or a text (UTF-8).

#include <memory>
#include <string>
#include <vector>

#include "tools/dbf/CodePage.h"

class GSO_dBHandler;
class GSobjMemo;

namespace dbftool {

struct Cell {
    enum class Kind { Null, Bool, Number, Text };
    Kind kind = Kind::Null;
    bool boolean = false;
    std::string text;
};

// Reads the fields of a table's current record as cells. Numbers blank or filled with
// '*', dates blank or "00000000", and logicals blank or '?' are null: the forms other
// writers use for a missing value. Memo fields give their memo's text.
class CellReader {
public:
    CellReader(GSO_dBHandler& table, const CodePage& codePage);
    ~CellReader();

    Cell Read(int n);

private:
    std::string MemoOf(int n);
    Cell TextCell(const std::string& bytes) const;

    GSO_dBHandler& table_;
    CodePage codePage_;
    // Version 0x30 tables whose writer left the memo flag clear still have their memo
    // file beside them; the reader opens it itself.
    std::unique_ptr<GSobjMemo> strayMemo_;
    bool strayMemoTried_ = false;
};

// The number as the shortest JSON number text that reads back as the same double, or
// "null" when it is not finite.
std::string JsonNumberText(double value);

}  // namespace dbftool

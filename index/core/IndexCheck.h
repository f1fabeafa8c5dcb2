#pragma once
// The index checker: walks every page of a tag and compares what it holds with its table.
// It follows each link once (a page reached twice is a cycle or a shared child and is not
// followed again, so a hostile file cannot make the walk endless or exponential), stops
// at the deepest tree the engine follows, and reports what it finds as a list of
// problems; a damaged file is a finding, never an exception.

#include <cstdint>
#include <string>
#include <vector>

class GSobjIndexFile;
class GSobjIndexTag;

struct TgsTagCheck {
    std::string tag;
    int64_t keys = 0;   // entries found in the leaves
    int64_t pages = 0;  // pages read
    int depth = 0;      // levels below and including the root
    std::vector<std::string> problems;
    // What xBase programs leave behind by design and a rebuild tidies, not damage: a unique
    // tag whose record with a key was edited away keeps no other record of that key.
    std::vector<std::string> notes;
    bool Ok() const { return problems.empty(); }
};

class TgsIndexCheck {
public:
    // At most this many problems are listed per tag; the rest are counted in one line.
    static constexpr size_t kMaxProblems = 50;

    // Checks the tag's tree, and, when the tag has a table and a key expression, every
    // record against it: each key equal to its record's key, each record present once, or
    // absent when its FOR condition is false or (unique tags) another record holds its key;
    // a unique tag's key that no record holds any more is a note.
    static TgsTagCheck CheckTag(GSobjIndexTag& tag, bool againstTable = true);
    // Every tag of the file, and its directory first when it has one.
    static std::vector<TgsTagCheck> CheckFile(GSobjIndexFile& file);
};

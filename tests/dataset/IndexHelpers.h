#pragma once
// Helpers of the dataset's index tests: a table of people, index files of each format
// built on it through the index layer, and walks of a dataset.

#include <memory>
#include <string>
#include <vector>

#include "DsHelpers.h"
#include "index/cdx/GSobjCDXFile.h"
#include "index/mdx/GSobjMDXFile.h"
#include "index/ndx/GSobjNDXFile.h"
#include "index/ntx/GSobjNTXFile.h"

namespace dstest {

enum class IndexFormat { NDX, NTX, CDX, MDX };

inline const char* Extension(IndexFormat f) {
    switch (f) {
        case IndexFormat::NDX: return ".NDX";
        case IndexFormat::NTX: return ".NTX";
        case IndexFormat::MDX: return ".MDX";
        default: return ".CDX";
    }
}

inline std::string FormatName(IndexFormat f) { return std::string(Extension(f) + 1); }

struct TagDef {
    std::string name;  // the file's base name for NDX and NTX
    std::string key;
    std::string forText;
};

// Builds index files on the table at `tablePath`: one file per tag for NDX and NTX
// (named after the tag), one file `cdxName` with every tag for CDX (and the same name
// with ".MDX" for MDX). Answers the IndexFiles entries.
inline std::vector<std::string> BuildIndexes(IndexFormat format, const std::string& tablePath,
                                             const std::vector<TagDef>& tags,
                                             const std::string& cdxName = "TAGS.CDX") {
    auto table = GSO_dBHandler::Open(tablePath, true, false);
    const std::string dir = platform::DirectoryPart(tablePath);
    std::vector<std::string> entries;
    if (format == IndexFormat::CDX) {
        GSobjCDXFile f(table.get(), true, true, false, true, dir + cdxName);
        for (const TagDef& t : tags) f.CreateTag(t.name, t.key, t.forText, false, true);
        entries.push_back(cdxName);
    } else if (format == IndexFormat::MDX) {
        const std::string mdxName = cdxName.substr(0, cdxName.rfind('.')) + ".MDX";
        GSobjMDXFile f(table.get(), true, true, false, true, dir + mdxName);
        for (const TagDef& t : tags) f.CreateTag(t.name, t.key, t.forText, false, true);
        entries.push_back(mdxName);
    } else {
        for (const TagDef& t : tags) {
            const std::string name = t.name + Extension(format);
            if (format == IndexFormat::NDX) {
                GSobjNDXFile f(table.get(), true, true, false, true, dir + name);
                f.CreateTag("", t.key, t.forText, false, true);
            } else {
                GSobjNTXFile f(table.get(), true, true, false, true, dir + name);
                f.CreateTag("", t.key, t.forText, false, true);
            }
            entries.push_back(name);
        }
    }
    table->CloseTable();
    return entries;
}

// PEOPLE.DBF: NAME C(10), AGE N(3,0), CITY C(10).
inline std::string PeopleTable(const testutil::TempDir& dir, const std::vector<std::vector<std::string>>& rows) {
    const std::string path = dir.File("PEOPLE.DBF");
    CreateDBFTable(path, 0x03, Defs({"NAME:C:10", "AGE:N:3", "CITY:C:10"}));
    AppendRaw(path, rows);
    return path;
}

// The records of the dataset from First on, as "field 1 value@RecNo".
inline std::vector<std::string> Walk(TRidedezDataSet& ds, int field = 0) {
    std::vector<std::string> out;
    for (ds.First(); !ds.Eof(); ds.Next()) out.push_back(ds.Field(field).AsString() + "@" + std::to_string(ds.RecNo()));
    return out;
}

// The record numbers of the dataset from First on.
inline std::vector<int32_t> RecNos(TRidedezDataSet& ds) {
    std::vector<int32_t> out;
    for (ds.First(); !ds.Eof(); ds.Next()) out.push_back(ds.RecNo());
    return out;
}

// The table of a closed dataset (a new table name clears IndexFiles: set them after).
inline void Configure(TRidedezDataSet& ds, const testutil::TempDir& dir, const std::string& table) {
    ds.SetDatabaseName(dir.Path());
    ds.SetTableName(table);
    ds.SetExclusive(true);
}

inline void OpenIn(TRidedezDataSet& ds, const testutil::TempDir& dir, const std::string& table) {
    Configure(ds, dir, table);
    ds.Open();
}

}  // namespace dstest

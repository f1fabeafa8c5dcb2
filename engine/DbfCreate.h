#pragma once
// Creating tables: a valid empty DBF file of one of the five versions, from a field list,
// together with the empty memo file its version uses. The table object itself never
// creates files; tools, tests and the bundled data use this.

#include <cstdint>
#include <string>
#include <vector>

struct TgsFieldDef {
    std::string name;  // 1 to 10 ASCII letters, digits or underscores
    char type = 'C';
    int length = 0;    // 0: the type's fixed length (D, L, M, I, T, Y, B, G)
    int decimals = 0;
};

struct TgsCreateOptions {
    uint8_t languageDriver = 0;
    bool overwrite = false;  // replace an existing table (and memo file) of that name
};

// The memo file a version uses: ".DBT", ".FPT" or "" (none; 0x30 only with memo fields).
std::string MemoExtensionFor(uint8_t version, const std::vector<TgsFieldDef>& fields);

// Checks the definition and writes the table. A bad definition raises ERidedezError
// with what is wrong and touches no file. An existing table or memo file of that name, in
// any case, is refused (183) unless `options.overwrite`; a name that fits several files
// but for case is refused (1012). Both files are written whole under temporary names and
// then renamed into place, the memo file first: when writing fails or the process dies,
// there is no new table, or a whole one, and a replaced table is the old one until then.
void CreateDBFTable(const std::string& path, uint8_t version,
                    const std::vector<TgsFieldDef>& fields,
                    const TgsCreateOptions& options = {});

// Parses "NAME:TYPE[:LENGTH[:DECIMALS]]".
TgsFieldDef ParseFieldDef(const std::string& text);

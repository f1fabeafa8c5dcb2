#pragma once
// The body shared by the index fuzz targets: the input is an index file over a small
// table (NAME C(10), AMOUNT N(8,2), BDATE D, ACTIVE L); the target opens it, walks both
// ways for a bounded number of steps, seeks, and inserts a key for a new record. Every
// failure must be one of our exceptions.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "engine/DbfCreate.h"
#include "engine/Exception.h"
#include "engine/dBHandler.h"
#include "index/core/GSobjIndexFile.h"

namespace fuzzindex {

inline GSO_dBHandler& Table() {
    static std::unique_ptr<GSO_dBHandler> table = [] {
        const std::string path = "/dev/shm/fuzz_index_" + std::to_string(getpid()) + ".dbf";
        TgsCreateOptions opt;
        opt.overwrite = true;
        CreateDBFTable(path, 0x03,
                       {{"NAME", 'C', 10, 0}, {"AMOUNT", 'N', 8, 2}, {"BDATE", 'D', 8, 0}, {"ACTIVE", 'L', 1, 0}},
                       opt);
        auto t = GSO_dBHandler::Open(path, true, false);
        for (int i = 0; i < 60; ++i) {
            t->BlankRecord();
            t->PutTextByName("NAME", std::string(1, static_cast<char>('A' + i % 26)) + std::to_string(i));
            t->PutNumberByName("AMOUNT", i * 3.5 - 50);
            t->PutTextByName("BDATE", i % 7 ? "2001020" + std::to_string(1 + i % 9) : "");
            t->PutLogicalByName("ACTIVE", i % 2 == 0);
            t->AddRecord();
        }
        return t;
    }();
    return *table;
}

template <typename Open>
int Run(const char* kind, const uint8_t* data, size_t size, Open open) {
    GSO_dBHandler& table = Table();
    const std::string path = "/dev/shm/fuzz_" + std::string(kind) + "_" + std::to_string(getpid()) + "." + kind;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    if (size > 0 && std::fwrite(data, 1, size, f) != size) {
        std::fclose(f);
        return 0;
    }
    std::fclose(f);
    try {
        std::unique_ptr<GSobjIndexFile> file = open(&table, path);
        if (!file->Opened() || file->TagCount() == 0) return 0;
        GSobjIndexTag& tag = *file->Tag(0);
        // A seek first meets the damage in its own search of the pages, and the step after
        // it builds the path from where that search stopped.
        TgsVariant probe(256);
        probe.SetText("M");
        tag.Seek(probe);
        tag.MoveTo(-1);
        int steps = 0;
        for (int32_t r = tag.MoveTo(-3); r != 0 && steps < 3000; r = tag.MoveTo(-1)) ++steps;
        for (int32_t r = tag.MoveTo(-4); r != 0 && steps < 6000; r = tag.MoveTo(-2)) ++steps;
        TgsVariant key(256);
        key.SetText("M3");
        tag.Seek(key);
        key.SetNumber(20);
        tag.Seek(key);
        table.GoRecord(1 + static_cast<int32_t>(size % 60));
        file->UpdateTagsForRecord(table.RecordNumber(), true);
        tag.ReleasePath();
    } catch (const Exception&) {
    }
    return 0;
}

}  // namespace fuzzindex

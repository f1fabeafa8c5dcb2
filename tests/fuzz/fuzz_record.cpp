// Feeds arbitrary record bytes to the field decoding of the table object: one table per
// kind (dBase III with its memo file, FoxPro 0x30 with every binary type and its memo
// file), the record buffer filled from the input, then every typed get, the display text,
// the memo reads and a write and re-read of the record. Anything but a value or one of
// our errors is a finding, and so is a text longer than its field.

#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/DbfCreate.h"
#include "engine/Exception.h"
#include "engine/dBHandler.h"

namespace {

struct Table {
    std::unique_ptr<GSO_dBHandler> table;
    std::string path;
};

Table Make(const std::string& name, uint8_t version, const std::vector<TgsFieldDef>& fields) {
    Table t;
    t.path = "/dev/shm/fuzz_record_" + std::to_string(getpid()) + "_" + name + ".dbf";
    TgsCreateOptions opt;
    opt.overwrite = true;
    CreateDBFTable(t.path, version, fields, opt);
    t.table = GSO_dBHandler::Open(t.path, true, false);
    // A few memos, so that block numbers in the fuzzed records find real ones too.
    for (int i = 0; i < 4; ++i) {
        t.table->BlankRecord();
        for (int n = 1; n <= t.table->FieldCount(); ++n) {
            if (t.table->IsMemoField(n) && t.table->MemoFile(n)) {
                const std::string text(static_cast<size_t>(1 + i * 300), static_cast<char>('a' + i));
                t.table->MemoWrite(n, text.data(), static_cast<int32_t>(text.size()));
            }
        }
        t.table->AddRecord();
    }
    return t;
}

std::vector<Table>& Tables() {
    static std::vector<Table> tables = [] {
        std::vector<Table> v;
        v.push_back(Make("d3", 0x83,
                         {{"NAME", 'C', 12, 0}, {"LONGTEXT", 'C', 300, 0}, {"AMOUNT", 'N', 10, 2},
                          {"RATE", 'F', 12, 4}, {"BDATE", 'D', 0, 0}, {"ACTIVE", 'L', 0, 0},
                          {"NOTES", 'M', 0, 0}}));
        v.push_back(Make("d4", 0x8B, {{"NAME", 'C', 5, 0}, {"QTY", 'N', 3, 0}, {"NOTES", 'M', 0, 0}}));
        v.push_back(Make("fox", 0x30,
                         {{"NAME", 'C', 8, 0}, {"AMOUNT", 'N', 8, 2}, {"BDATE", 'D', 0, 0},
                          {"ACTIVE", 'L', 0, 0}, {"ID", 'I', 0, 0}, {"STAMP", 'T', 0, 0},
                          {"PRICE", 'Y', 0, 0}, {"RATIO", 'B', 0, 0}, {"NOTES", 'M', 0, 0},
                          {"BLOB", 'G', 0, 0}}));
        return v;
    }();
    return tables;
}

template <typename F>
void Guarded(F f) {
    try {
        f();
    } catch (const Exception&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    std::vector<Table>& tables = Tables();
    GSO_dBHandler& t = *tables[data[0] % tables.size()].table;
    const uint8_t mode = data[1];
    data += 2;
    size -= 2;
    const size_t len = t.RecordLength();
    uint8_t* buf = t.CurrentBuffer();
    std::memset(buf, ' ', len);
    std::memcpy(buf, data, size < len ? size : len);

    for (int n = 0; n <= t.FieldCount() + 1; ++n) {  // 0 and count + 1: out of range
        Guarded([&] {
            const std::string text = t.GetText(n);
            if (text.size() > static_cast<size_t>(t.FieldLength(n))) __builtin_trap();
        });
        Guarded([&] { (void)t.GetNumber(n); });
        Guarded([&] { (void)t.GetDate(n); });
        Guarded([&] { (void)t.GetLogical(n); });
        Guarded([&] { (void)t.GetDisplayText(n); });
        Guarded([&] { (void)t.MemoSize(n); });
        Guarded([&] {
            if (t.IsMemoField(n)) (void)t.MemoText(n);
        });
        Guarded([&] {
            char small[16];
            const int32_t got = t.MemoRead(n, small, sizeof small);
            if (got < 0 || got > static_cast<int32_t>(sizeof small)) __builtin_trap();
        });
        const std::string name = t.FieldName(n);
        Guarded([&] { (void)t.GetNumberByName(name); });
        Guarded([&] { (void)t.GetDateByName(name); });
        Guarded([&] { (void)t.GetLogicalByName(name); });
        Guarded([&] { (void)t.GetDisplayTextByName(name); });
    }
    // The record through the file: rewrite it, read it back with and without the cache.
    if (mode & 1) {
        Guarded([&] {
            const std::vector<uint8_t> image(buf, buf + len);
            t.PutRecord(1);
            t.SetReadAhead((mode & 2) != 0);
            t.GoRecord(gsMoveTop);
            if (std::memcmp(t.CurrentBuffer(), image.data(), len) != 0) __builtin_trap();
            t.SetReadAhead(false);
        });
    }
    // Storing each field's own text back must not write outside the field.
    if (mode & 4) {
        for (int n = 1; n <= t.FieldCount(); ++n) {
            Guarded([&] {
                const std::vector<uint8_t> before(buf, buf + len);
                t.PutFromText(n, t.GetText(n));
                const int from = t.FieldOffset(n), to = from + t.FieldLength(n);
                for (int k = 0; k < static_cast<int>(len); ++k) {
                    if ((k < from || k >= to) && buf[k] != before[static_cast<size_t>(k)]) __builtin_trap();
                }
            });
        }
    }
    return 0;
}

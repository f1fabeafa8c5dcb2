// Parses and evaluates arbitrary expression texts against a table with one field of each
// type, into the buffer sizes index code uses and into a small guarded buffer. Anything
// but a value or one of our errors is a finding, and so is a write past a buffer's end.

#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "engine/DbfCreate.h"
#include "engine/Exception.h"
#include "engine/dBHandler.h"
#include "index/expr/TgsExpHandler.h"
#include "index/expr/TgsExpUserLink.h"
#include "index/expr/TgsVariant.h"
#include "engine/tableexpr/TgslDBFFunctions.h"

namespace {

struct Fixture {
    std::unique_ptr<GSO_dBHandler> table;
    TgsExpUserLink link;

    Fixture() {
        std::string path = "/dev/shm/fuzz_expr_" + std::to_string(getpid()) + ".dbf";
        TgsCreateOptions opt;
        opt.overwrite = true;
        CreateDBFTable(path, 0x83,
                       {{"NAME", 'C', 12, 0}, {"AMOUNT", 'N', 10, 2}, {"RATE", 'F', 12, 4},
                        {"BDATE", 'D', 0, 0}, {"ACTIVE", 'L', 0, 0}, {"NOTES", 'M', 0, 0},
                        {"LONGTEXT", 'C', 600, 0}},
                       opt);
        table = GSO_dBHandler::Open(path, true, false);
        table->BlankRecord();
        table->PutTextByName("NAME", "Smith");
        table->PutNumberByName("AMOUNT", -1234.5);
        table->PutNumberByName("RATE", 0.25);
        table->PutTextByName("BDATE", "20240229");
        table->PutLogicalByName("ACTIVE", true);
        table->PutTextByName("LONGTEXT", std::string(600, 'x'));
        table->AddRecord();
        table->BlankRecord();
        table->AddRecord();
        TgslDBFRegisterTable(link, *table);
        unlink(path.c_str());
        std::string memo = path.substr(0, path.size() - 3) + "dbt";
        unlink(memo.c_str());
    }
};

Fixture& Shared() {
    static Fixture f;
    return f;
}

void Run(TgsExpHandler& h) {
    char big[kExpOperandBuffer];
    h.Evaluate(big, sizeof big);
    TgsVariant v(kExpVariantBuffer);
    h.EvaluateToVariant(v);
    v.AsText();
    h.ExpressionText();
    // The smallest buffer, with guard bytes behind it.
    char small[kExpMinBuffer + 16];
    std::memset(small, 0x5a, sizeof small);
    try {
        h.Evaluate(small, kExpMinBuffer);
    } catch (const Exception&) {
    }
    for (size_t i = kExpMinBuffer; i < sizeof small; ++i)
        if (small[i] != 0x5a) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    Fixture& f = Shared();
    // The first byte picks the record and the handler's flags.
    const uint8_t mode = data[0];
    f.table->GoRecord(mode & 1 ? 2 : 1);
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    try {
        TgsExpHandler h(&f.link, (mode & 2) != 0);
        h.caseInsensitive = (mode & 4) != 0;
        h.wildcard = (mode & 8) == 0;
        h.SetExpression(text);
        Run(h);
    } catch (const Exception&) {
        // ERidedezExpression, ERidedezError from the table, arithmetic run-time errors.
    }
    return 0;
}

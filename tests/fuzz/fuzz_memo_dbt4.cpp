// Fuzz target: arbitrary bytes as a memo file of the GSobjMemo4 kind.

#include "engine/Memo4.h"
#include "fuzz_memo_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzzmemo::Run<GSobjMemo4>("fuzz_memo_dbt4", 0x8B, data, size);
}
